// Whether the program can open a window at all, decided before Qt starts:
// Qt aborts the process when its platform plugin finds no display, so the
// entry point asks first and explains instead.
#pragma once

#include <string_view>

namespace zelbo {

// `platform` is the platform Qt will be asked for (the -platform argument
// or QT_QPA_PLATFORM; empty for the default). On Linux and other X11 /
// Wayland systems a window needs DISPLAY for xcb and WAYLAND_DISPLAY for
// wayland; other platforms (offscreen, vnc, eglfs, ...) need neither. A
// list such as "wayland;xcb" works when any of its entries does.
bool DisplayAvailable(std::string_view platform, std::string_view display,
                      std::string_view waylandDisplay);

inline constexpr const char* NoDisplayMessage =
    "zelbowin: cannot open a window: no display found (DISPLAY and WAYLAND_DISPLAY are not set).\n"
    "To host a table without a window, run zelbowin-server.\n";

}  // namespace zelbo
