#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdint>
#include <string>

#include "fuzz/fuzz_support.h"
#include "receiver/core/formatting.h"

using receiver::FormatConnectionText;
using receiver::FormatCount;

namespace {

void CheckCount(std::int64_t n) {
    const std::string text = FormatCount(n);
    std::string digits;
    std::size_t start = 0;
    // Groups of three from the right, the leftmost one shorter when it must be.
    for (std::size_t comma; (comma = text.find(',', start)) != std::string::npos;
         start = comma + 1) {
        const std::size_t group = comma - start;
        FUZZ_CHECK(group == 3 || (start == 0 && group >= 1 && group < 3));
        digits += text.substr(start, group);
    }
    const std::size_t last = text.size() - start;
    FUZZ_CHECK(last == 3 || (start == 0 && last >= 1 && last < 3));
    digits += text.substr(start);
    // Negative counts show as zero.
    FUZZ_CHECK(digits == std::to_string(n < 0 ? 0 : n));
}

std::size_t SpaceCount(std::string_view s) {
    return static_cast<std::size_t>(std::count(s.begin(), s.end(), ' '));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    CheckCount(input.ConsumeIntegral<std::int64_t>());
    const std::string s = input.ConsumeRemainingBytesAsString();

    const std::string out = FormatConnectionText(s);
    if (s.find("==>") != std::string::npos || SpaceCount(s) < 4) {
        FUZZ_CHECK(out == s);
        return 0;
    }
    // The leading copy is three or four characters whatever the first word's length,
    // so a one-character word before a leading blank grows the text most: by nine.
    FUZZ_CHECK(out.size() <= s.size() + 9);
    FUZZ_CHECK(out.find("] ==> ") != std::string::npos && out.back() == ']');
    // The engine formats a record once for the list and again for the log.
    FUZZ_CHECK(FormatConnectionText(out) == out);

    // A well-formed record: the direction word, four fields, the last one the rest.
    const std::size_t first = s.find(' ');
    const std::string_view word = std::string_view(s).substr(0, first);
    if (word == "in" || word == "out") {
        std::string fields[4];
        std::size_t from = first + 1;
        for (int i = 0; i < 3; ++i) {
            const std::size_t space = s.find(' ', from);
            fields[i] = s.substr(from, space - from);
            from = space + 1;
        }
        fields[3] = s.substr(from);
        FUZZ_CHECK(out == std::string(word) + " " + fields[0] + "[" + fields[1] + "] ==> " +
                              fields[2] + "[" + fields[3] + "]");
    }
    return 0;
}
