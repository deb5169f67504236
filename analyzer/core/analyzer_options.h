#pragma once

#include "analyzer/core/settings_file.h"

#include <string>
#include <string_view>

namespace analyzer {

// Section and keys of the analyzer's options.
namespace options {
constexpr std::string_view kSection = "Options";
constexpr std::string_view kLogPath = "LogPath";
constexpr std::string_view kViewer = "Viewer";
constexpr std::string_view kMaskInboundTarget = "MaskInboundTarget";
constexpr std::string_view kIpMask = "IPMask";
constexpr std::string_view kLookupSource = "LookupSource";
}  // namespace options

// The options as their users read them, at the moment of use. Paths and commands are
// read whole, whatever their length.

// Where File Open starts; empty leaves the choice to the file dialog.
std::string LogPath(SettingsFile& settings);
// The command View Current Log runs: xdg-open when the key is missing, but a key
// present with an empty value reads as empty.
std::string ViewerCommand(SettingsFile& settings);
// Whether Copy Log Entry masks the inbound target.
bool IsMaskingOn(SettingsFile& settings);
// The mask Copy Log Entry uses: at most 31 characters, empty when unset.
std::string CopyMask(SettingsFile& settings);
// The mask the options page shows: at most 63 characters, "a.b.c" when unset.
std::string OptionsPageMask(SettingsFile& settings);
// Whether every selection looks the source host up; set only by editing the file.
bool IsLookupOnSelection(SettingsFile& settings);

}  // namespace analyzer
