#include "analyzer/core/entry_copy.h"

#include "analyzer/core/analyzer_options.h"
#include "analyzer/core/analyzer_strings.h"

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

std::string CallFailedText(std::string_view callName, int code) {
    std::string text(AnalyzerString(ids::kCallFailed));
    // The number first: a name holding "%d" must stay as it is.
    if (const std::size_t number = text.rfind("%d"); number != std::string::npos) {
        text.replace(number, 2, std::to_string(code));
    }
    if (const std::size_t name = text.find("%s"); name != std::string::npos) {
        text.replace(name, 2, callName);
    }
    return text;
}

}  // namespace analyzer
