#pragma once

#include "analyzer/core/log_entry.h"
#include "analyzer/core/settings_file.h"

#include <string>
#include <string_view>

namespace analyzer {

// The inbound target as the copy shows it: unchanged unless MaskInboundTarget is set;
// then IPMask (at most 31 characters) stands in for everything before the last dot, so
// mask a.b.c turns 198.51.100.7 into a.b.c.7. A target without a dot is hidden whole.
std::string MaskTarget(std::string_view destinationIp, SettingsFile& settings);

// The entry in the list's form with its target masked: the text Copy Log Entry puts on
// the clipboard, without a line break and without any length limit.
std::string CopyText(const LogEntry& entry, SettingsFile& settings);

}  // namespace analyzer
