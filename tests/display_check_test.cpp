#include "app/display_check.h"

#include <gtest/gtest.h>

namespace zelbo {
namespace {

TEST(DisplayCheck, DefaultPlatformNeedsSomeDisplay) {
  EXPECT_FALSE(DisplayAvailable("", "", ""));
  EXPECT_TRUE(DisplayAvailable("", ":0", ""));
  EXPECT_TRUE(DisplayAvailable("", "", "wayland-0"));
}

TEST(DisplayCheck, EachWindowSystemNeedsItsOwnDisplay) {
  EXPECT_FALSE(DisplayAvailable("xcb", "", "wayland-0"));
  EXPECT_TRUE(DisplayAvailable("xcb", ":1", ""));
  EXPECT_FALSE(DisplayAvailable("wayland", ":1", ""));
  EXPECT_TRUE(DisplayAvailable("wayland-egl", "", "wayland-0"));
  EXPECT_TRUE(DisplayAvailable("xcb:nomitshm", ":1", ""));
}

TEST(DisplayCheck, HeadlessPlatformsNeedNoDisplay) {
  EXPECT_TRUE(DisplayAvailable("offscreen", "", ""));
  EXPECT_TRUE(DisplayAvailable("vnc", "", ""));
}

TEST(DisplayCheck, ListWorksWhenAnyEntryDoes) {
  EXPECT_TRUE(DisplayAvailable("wayland;xcb", ":0", ""));
  EXPECT_FALSE(DisplayAvailable("wayland;xcb", "", ""));
}

}  // namespace
}  // namespace zelbo
