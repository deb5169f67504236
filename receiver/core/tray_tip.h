#pragma once

#include <string>
#include <string_view>

namespace receiver {

// The tray icon's tip: the running state and the list's count text.
std::string FormatTrayTip(bool running, std::string_view recordCountText);

}  // namespace receiver
