#include "analyzer/core/entry_copy.h"

namespace analyzer {
namespace {

constexpr std::size_t kMaskCapacity = 32;

}  // namespace

std::string MaskTarget(std::string_view destinationIp, SettingsFile& settings) {
    if (settings.ReadInt(options::kSection, options::kMaskInboundTarget, 0) == 0) {
        return std::string(destinationIp);
    }
    std::string target =
        settings.ReadString(options::kSection, options::kIpMask, "", kMaskCapacity);
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
