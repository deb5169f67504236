#include "analyzer/core/filter_keys.h"

#include "analyzer/core/analyzer_strings.h"
#include "analyzer/core/filter_section_editor.h"
#include "analyzer/core/port_table.h"
#include "common/net_ranges.h"
#include "common/profile_lines.h"
#include "common/text_format.h"

#include <algorithm>
#include <cstdio>
#include <mutex>
#include <set>
#include <string>

namespace analyzer {
namespace {

// A hand-edited file may hold a block or range that does not parse: it matches nothing,
// and is said once per program run, not at every read of the file.
void ReportMalformedKey(std::string_view section, std::string_view key) {
    static std::mutex mutex;
    static std::set<std::string, std::less<>> reported;
    const std::lock_guard<std::mutex> lock(mutex);
    if (reported.insert(std::string(section) + "/" + std::string(key)).second) {
        std::fprintf(stderr,
                     "corvix: [%.*s] %.*s is neither an address block nor a port range and is "
                     "ignored\n",
                     static_cast<int>(section.size()), section.data(), static_cast<int>(key.size()),
                     key.data());
    }
}

}  // namespace

bool IsBlockKey(std::string_view key) {
    return key.find('/') != std::string_view::npos;
}

bool IsRangeKey(std::string_view key) {
    // "-5" was, and stays, a plain key.
    key = common::profile::Trim(key);
    return key.find('-', 1) != std::string_view::npos;
}

bool IsValidSourceIpKey(std::string_view text) {
    const std::size_t slash = text.find('/');
    if (slash == std::string_view::npos) {
        return IsValidSourceIp(text);
    }
    return IsValidSourceIp(text.substr(0, slash)) && common::ParseAddressBlock(text).has_value();
}

bool IsValidPortKey(std::string_view text, common::UserMessages& messages) {
    if (!IsRangeKey(text)) {
        return IsValidPort(text, messages);
    }
    const std::optional<common::PortRange> range = common::ParsePortRange(text);
    if (range && range->first >= 1) {
        return true;
    }
    messages.ShowMessage(common::MessageIcon::kStop,
                         common::FillPlaceholders(AnalyzerString(ids::kPortInvalid), {text}));
    return false;
}

KeyMatcher KeyMatcher::Load(const common::ProfileSnapshot& settings, std::string_view section,
                            Kind kind) {
    KeyMatcher matcher;
    for (const std::string& name : settings.ListKeys(section, "")) {
        if (settings.ReadInt(section, name, 0) == 0) {
            continue;
        }
        matcher.exact_.Insert(name);
        const std::string_view key = common::profile::Trim(name);
        if (kind == Kind::kAddresses && IsBlockKey(key)) {
            if (const auto block = common::ParseAddressBlock(key)) {
                matcher.blocks_.push_back(*block);
            } else {
                ReportMalformedKey(section, name);
            }
        } else if (kind == Kind::kPorts && IsRangeKey(key)) {
            if (const auto range = common::ParsePortRange(key)) {
                matcher.ranges_.push_back(*range);
            } else {
                ReportMalformedKey(section, name);
            }
        }
    }
    return matcher;
}

bool KeyMatcher::Matches(std::string_view key) const {
    if (exact_.Contains(key)) {
        return true;
    }
    if (!blocks_.empty()) {
        const std::optional<std::uint32_t> address = common::ParseAddress(key);
        return address && std::any_of(blocks_.begin(), blocks_.end(),
                                      [&](const auto& block) { return block.Contains(*address); });
    }
    // A port token is one number; "6000-6063" in a log is no port of the range.
    if (!ranges_.empty() && key.find('-') == std::string_view::npos) {
        const std::optional<common::PortRange> port = common::ParsePortRange(key);
        return port && std::any_of(ranges_.begin(), ranges_.end(),
                                   [&](const auto& range) { return range.Contains(port->first); });
    }
    return false;
}

}  // namespace analyzer
