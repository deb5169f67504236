#pragma once

#include <concepts>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <variant>

namespace common {

// Replaces every "%1", "%2", ... of a string-table text by the matching argument;
// placeholders without an argument stay as they are.
std::string FillPlaceholders(std::string_view pattern,
                             std::initializer_list<std::string_view> args);

// One value for FormatText: a text or a whole number.
class FormatArg {
  public:
    FormatArg(std::string_view text) : value_(text) {}
    FormatArg(const char* text) : value_(std::string_view(text)) {}
    FormatArg(const std::string& text) : value_(std::string_view(text)) {}
    template <std::integral T>
    FormatArg(T number) : value_(static_cast<std::int64_t>(number)) {}

    void AppendTo(std::string& out) const;

  private:
    std::variant<std::string_view, std::int64_t> value_;
};

// Fills the "%s" and "%d" placeholders of a string-table text with the arguments in
// order, and turns "%%" into "%". Nothing in an argument is read as a placeholder, and a
// placeholder without an argument stays as it is.
std::string FormatText(std::string_view pattern, std::initializer_list<FormatArg> args);

}  // namespace common
