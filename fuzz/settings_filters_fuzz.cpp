#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdint>
#include <ctime>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "analyzer/core/settings_file.h"
#include "fuzz/fuzz_support.h"

using namespace analyzer;

namespace {

// The plain reading of an address the filters compare against: four parts of 1 to 3
// digits, each at most 255. Nothing shared with the program's parser.
std::optional<std::uint32_t> Address(const std::string& text) {
    std::uint32_t value = 0;
    int parts = 0;
    std::size_t i = 0;
    while (parts < 4) {
        std::uint32_t part = 0;
        std::size_t digits = 0;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9' && digits < 4) {
            part = part * 10 + static_cast<std::uint32_t>(text[i++] - '0');
            ++digits;
        }
        if (digits == 0 || digits > 3 || part > 255) {
            return std::nullopt;
        }
        value = value << 8 | part;
        if (++parts < 4) {
            if (i >= text.size() || text[i++] != '.') {
                return std::nullopt;
            }
        }
    }
    return i == text.size() ? std::optional(value) : std::nullopt;
}

struct Block {
    std::uint32_t address;
    int prefix;
    bool active;
};

std::string Quad(std::uint32_t a) {
    return std::to_string(a >> 24) + "." + std::to_string(a >> 16 & 255) + "." +
           std::to_string(a >> 8 & 255) + "." + std::to_string(a & 255);
}

// A second from 2002-09-26 to 2002-09-29, through the C library's calendar.
std::string Stamp(std::time_t second, const char* format) {
    std::tm fields{};
    ::gmtime_r(&second, &fields);
    char text[32];
    std::strftime(text, sizeof text, format, &fields);
    return text;
}

bool InBlock(std::uint32_t address, const Block& b) {
    const std::uint32_t mask = b.prefix == 0 ? 0 : ~std::uint32_t{0} << (32 - b.prefix);
    return (address & mask) == (b.address & mask);
}

}  // namespace

// Filter sections of well-formed blocks and ranges, malformed ones and plain keys: an
// address or port is hidden exactly when a plain key names it or an active well-formed
// block or range holds it; a malformed key hides nothing beyond its own text. A stamp is
// held back exactly when there are active well-formed time ranges and none holds it.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const fuzz::TempDir dir("settings_filters_fuzz");
    static const std::string path = dir.path() + "/corvix.cfg";
    FuzzedDataProvider in(data, size);
    std::vector<Block> blocks;
    std::vector<std::string> junkSources, junkPorts;
    std::vector<std::uint32_t> ranges;  // first << 16 | last, active ones
    std::set<std::string> seen;
    std::string text = "[SourceIPFilters]\n";
    for (int n = in.ConsumeIntegralInRange(0, 6); n > 0; --n) {
        if (in.ConsumeBool()) {
            const Block b{in.ConsumeIntegral<std::uint32_t>(), in.ConsumeIntegralInRange(0, 32),
                          in.ConsumeBool()};
            const std::string key = Quad(b.address) + "/" + std::to_string(b.prefix);
            if (seen.insert(key).second) {
                blocks.push_back(b);
            }
            text += key + "=" + (b.active ? "1" : "0");
        } else {
            // Plain keys of digits, dots and letters: addresses or names, never blocks.
            std::string junk = in.ConsumeRandomLengthString(24);
            for (char& c : junk) {
                c = "0123456789.abcx"[static_cast<unsigned char>(c) % 15];
            }
            if (junk.empty()) {
                continue;
            }
            junkSources.push_back(junk);
            text += junk + "=1";
        }
        text += "\n";
    }
    text += "[TargetPortFilters]\n";
    for (int n = in.ConsumeIntegralInRange(0, 4); n > 0; --n) {
        const unsigned first = in.ConsumeIntegralInRange(0u, 70000u);
        const unsigned last = in.ConsumeIntegralInRange(0u, 70000u);
        const bool active = in.ConsumeBool();
        const std::string key = std::to_string(first) + "-" + std::to_string(last);
        text += key + (active ? "=1\n" : "=0\n");
        // Of two equal keys the first one's value is the one read.
        if (!seen.insert(key).second) {
            continue;
        }
        if (active && first <= last && last <= 65535) {
            ranges.push_back(first << 16 | last);
        }
    }
    // Time ranges, well-formed or not; only active well-formed ones hold entries back.
    constexpr std::time_t kStart = 1032998400;  // 2002-09-26T00:00:00
    std::vector<std::pair<std::time_t, std::time_t>> times;
    text += "[ShowOnlyTimes]\n";
    for (int n = in.ConsumeIntegralInRange(0, 3); n > 0; --n) {
        const std::time_t first = kStart + in.ConsumeIntegralInRange(0, 4 * 86400);
        const std::time_t last = first + in.ConsumeIntegralInRange(-3600, 2 * 86400);
        const bool active = in.ConsumeBool();
        std::string key =
            Stamp(first, "%Y-%m-%dT%H:%M:%S") + "/" + Stamp(last, "%Y-%m-%dT%H:%M:%S");
        if (in.ConsumeBool()) {
            // Mangled: one character of it replaced by one no stamp holds.
            key[in.ConsumeIntegralInRange<std::size_t>(0, key.size() - 1)] = 'x';
        } else if (active && first <= last && seen.count(key) == 0) {
            times.emplace_back(first, last);
        }
        seen.insert(key);
        text += key + (active ? "=1\n" : "=0\n");
    }
    fuzz::WriteFile(path, text);
    SettingsFile settings(path);
    const FilterSource& filters = settings.CurrentFilters();

    for (int n = 0; n < 8 && in.remaining_bytes() > 0; ++n) {
        const std::string token = in.ConsumeBool() ? Quad(in.ConsumeIntegral<std::uint32_t>())
                                                   : in.ConsumeRandomLengthString(20);
        bool expected =
            std::find(junkSources.begin(), junkSources.end(), token) != junkSources.end();
        if (const auto address = Address(token)) {
            for (const Block& b : blocks) {
                expected = expected || (b.active && InBlock(*address, b));
            }
        }
        // A plain key may also have been written in another case or spelling of the
        // same text; only a miss the reference calls a hit is a fault there.
        const bool hidden = filters.IsActiveFilter(kSourceIpFilters, token);
        if (Address(token) &&
            std::find(junkSources.begin(), junkSources.end(), token) == junkSources.end()) {
            FUZZ_CHECK(hidden == expected);
        } else if (expected) {
            FUZZ_CHECK(hidden);
        }

        const unsigned port = in.ConsumeIntegralInRange(0u, 65535u);
        bool inRange = false;
        for (const std::uint32_t r : ranges) {
            inRange = inRange || (port >= (r >> 16) && port <= (r & 0xFFFF));
        }
        FUZZ_CHECK(filters.IsActiveFilter(kTargetPortFilters, std::to_string(port)) == inRange);

        std::time_t second = kStart + in.ConsumeIntegralInRange(-3600, 5 * 86400);
        if (!times.empty() && in.ConsumeBool()) {
            // At an end of a range, or a second either side of it.
            const auto& [first, last] =
                times[in.ConsumeIntegralInRange<std::size_t>(0, times.size() - 1)];
            second = (in.ConsumeBool() ? first : last) + in.ConsumeIntegralInRange(-1, 1);
        }
        bool shown = times.empty();
        for (const auto& [first, last] : times) {
            shown = shown || (second >= first && second <= last);
        }
        FUZZ_CHECK(filters.IsOutsideShownTimes(Stamp(second, "%m/%d/%Y"),
                                               Stamp(second, "%H:%M:%S")) == !shown);
    }
    return 0;
}
