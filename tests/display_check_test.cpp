#include "app/display_check.h"

#include <gtest/gtest.h>

namespace zelbo {
namespace {

TEST(DisplayCheck, EachPlatformNeedsItsOwnDisplay) {
  const struct {
    const char *platform, *x11, *wayland;
    bool available;
  } cases[] = {
      {"", "", "", false}, {"", ":0", "", true}, {"", "", "wayland-0", true},
      {"xcb", "", "wayland-0", false}, {"xcb", ":1", "", true}, {"xcb:nomitshm", ":1", "", true},
      {"wayland", ":1", "", false}, {"wayland-egl", "", "wayland-0", true},
      {"offscreen", "", "", true}, {"vnc", "", "", true},  // headless
      {"wayland;xcb", ":0", "", true}, {"wayland;xcb", "", "", false},  // any entry of a list
  };
  for (const auto& c : cases)
    EXPECT_EQ(DisplayAvailable(c.platform, c.x11, c.wayland), c.available)
        << c.platform << " / " << c.x11 << " / " << c.wayland;
}

}  // namespace
}  // namespace zelbo
