#include "receiver/core/formatting.h"

#include <algorithm>

namespace receiver {

std::string FormatCount(std::int64_t n) {
    const std::string digits = std::to_string(n < 0 ? 0 : n);
    std::string grouped;
    grouped.reserve(digits.size() + digits.size() / 3);
    std::size_t groupLength = digits.size() % 3 == 0 ? 3 : digits.size() % 3;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i == groupLength) {
            grouped += ',';
            groupLength += 3;
        }
        grouped += digits[i];
    }
    return grouped;
}

std::string FormatConnectionText(std::string_view s) {
    if (s.find("==>") != std::string_view::npos) {
        return std::string(s);
    }
    std::size_t spaces[4];
    std::size_t from = 0;
    for (std::size_t& space : spaces) {
        space = s.find(' ', from);
        if (space == std::string_view::npos) {
            return std::string(s);
        }
        from = space + 1;
    }
    auto between = [s](std::size_t left, std::size_t right) {
        return s.substr(left + 1, right - left - 1);
    };
    // The leading copy is fixed at 3 or 4 characters: the direction word and its space
    // for "in" and "out".
    std::string out(s.substr(0, std::min<std::size_t>(s.size(), s.starts_with('i') ? 3 : 4)));
    out.append(between(spaces[0], spaces[1]));
    out += '[';
    out.append(between(spaces[1], spaces[2]));
    out += "] ==> ";
    out.append(between(spaces[2], spaces[3]));
    out += '[';
    out.append(s.substr(spaces[3] + 1));
    out += ']';
    return out;
}

}  // namespace receiver
