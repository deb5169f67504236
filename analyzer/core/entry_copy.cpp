#include "analyzer/core/entry_copy.h"

#include "analyzer/core/analyzer_options.h"

namespace analyzer {

std::string MaskTarget(std::string_view destinationIp, SettingsFile& settings) {
    if (!IsMaskingOn(settings)) {
        return std::string(destinationIp);
    }
    std::string target = CopyMask(settings);
    const std::size_t lastDot = destinationIp.rfind('.');
    if (lastDot != std::string_view::npos) {
        target.append(destinationIp.substr(lastDot));
    }
    return target;
}

std::string CopyText(const LogEntry& entry, SettingsFile& settings) {
    return FormatEntry(entry, MaskTarget(entry.destinationIp, settings));
}

}  // namespace analyzer
