#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

namespace common {

// Replaces every "%1", "%2", ... of a string-table text by the matching argument;
// placeholders without an argument stay as they are.
std::string FillPlaceholders(std::string_view pattern,
                             std::initializer_list<std::string_view> args);

}  // namespace common
