#pragma once

#include <string>
#include <string_view>

namespace common {

// Where a user's configuration files go: $XDG_CONFIG_HOME when it is absolute, else
// ~/.config.
std::string ConfigHome(const char* xdgConfigHome, std::string_view home);

// Whether a display server is named, so that a window can come up.
bool DisplayAvailable(const char* display, const char* waylandDisplay);

}  // namespace common
