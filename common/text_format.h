#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

namespace common {

// Replaces every "%1", "%2", ... of a string-table text by the matching argument;
// placeholders without an argument stay as they are.
std::string FillPlaceholders(std::string_view pattern,
                             std::initializer_list<std::string_view> args);

// Fills a printf-style text of the string tables: each "%s" or "%d" in turn takes the
// next argument, already as text; "%%" is one "%". Placeholders without an argument stay
// as they are, so a short argument list can never read past its end.
std::string FillPrintfPlaceholders(std::string_view pattern,
                                   std::initializer_list<std::string_view> args);

}  // namespace common
