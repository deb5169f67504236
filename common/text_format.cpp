#include "common/text_format.h"

namespace common {

std::string FillPlaceholders(std::string_view pattern,
                             std::initializer_list<std::string_view> args) {
    std::string out;
    out.reserve(pattern.size());
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const char next = i + 1 < pattern.size() ? pattern[i + 1] : '\0';
        const std::size_t index = static_cast<std::size_t>(next - '1');
        if (pattern[i] == '%' && next >= '1' && next <= '9' && index < args.size()) {
            out.append(args.begin()[index]);
            ++i;
        } else {
            out += pattern[i];
        }
    }
    return out;
}

void FormatArg::AppendTo(std::string& out) const {
    if (const auto* text = std::get_if<std::string_view>(&value_)) {
        out.append(*text);
    } else {
        out.append(std::to_string(std::get<std::int64_t>(value_)));
    }
}

std::string FormatText(std::string_view pattern, std::initializer_list<FormatArg> args) {
    std::string out;
    out.reserve(pattern.size());
    const FormatArg* next = args.begin();
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const char type = i + 1 < pattern.size() ? pattern[i + 1] : '\0';
        if (pattern[i] == '%' && type == '%') {
            out += '%';
            ++i;
        } else if (pattern[i] == '%' && (type == 's' || type == 'd') && next != args.end()) {
            (next++)->AppendTo(out);
            ++i;
        } else {
            out += pattern[i];
        }
    }
    return out;
}

}  // namespace common
