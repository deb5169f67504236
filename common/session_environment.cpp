#include "common/session_environment.h"

namespace common {

std::string ConfigHome(const char* xdgConfigHome, std::string_view home) {
    if (xdgConfigHome != nullptr && xdgConfigHome[0] == '/') {
        return xdgConfigHome;
    }
    return std::string(home) + "/.config";
}

bool DisplayAvailable(const char* display, const char* waylandDisplay) {
    return (display != nullptr && *display != '\0') ||
           (waylandDisplay != nullptr && *waylandDisplay != '\0');
}

}  // namespace common
