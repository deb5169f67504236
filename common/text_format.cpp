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

std::string FillPrintfPlaceholders(std::string_view pattern,
                                   std::initializer_list<std::string_view> args) {
    std::string out;
    out.reserve(pattern.size());
    const std::string_view* arg = args.begin();
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const char next = i + 1 < pattern.size() ? pattern[i + 1] : '\0';
        if (pattern[i] == '%' && next == '%') {
            out += '%';
            ++i;
        } else if (pattern[i] == '%' && (next == 's' || next == 'd') && arg != args.end()) {
            out.append(*arg++);
            ++i;
        } else {
            out += pattern[i];
        }
    }
    return out;
}

}  // namespace common
