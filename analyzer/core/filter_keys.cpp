#include "analyzer/core/filter_keys.h"

#include "analyzer/core/analyzer_strings.h"
#include "analyzer/core/filter_section_editor.h"
#include "analyzer/core/port_table.h"
#include "common/net_ranges.h"
#include "common/profile_lines.h"
#include "common/text_format.h"

namespace analyzer {

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

}  // namespace analyzer
