#include "analyzer/core/analyzer_options.h"

#include "analyzer/core/analyzer_strings.h"

namespace analyzer {
namespace {

constexpr std::string_view kDefaultViewer = "xdg-open";
constexpr std::size_t kCopyMaskCapacity = 32;
constexpr std::size_t kPageMaskCapacity = 64;

}  // namespace

std::string LogPath(SettingsFile& settings) {
    return settings.ReadString(options::kSection, options::kLogPath, "");
}

std::string ViewerCommand(SettingsFile& settings) {
    return settings.ReadString(options::kSection, options::kViewer, kDefaultViewer);
}

bool IsMaskingOn(SettingsFile& settings) {
    return settings.ReadInt(options::kSection, options::kMaskInboundTarget, 0) != 0;
}

std::string CopyMask(SettingsFile& settings) {
    return settings.ReadString(options::kSection, options::kIpMask, "", kCopyMaskCapacity);
}

std::string OptionsPageMask(SettingsFile& settings) {
    return settings.ReadString(options::kSection, options::kIpMask, texts::kDefaultMask,
                               kPageMaskCapacity);
}

bool IsLookupOnSelection(SettingsFile& settings) {
    return settings.ReadInt(options::kSection, options::kLookupSource, 0) != 0;
}

}  // namespace analyzer
