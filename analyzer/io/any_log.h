#pragma once

#include "analyzer/core/log_reader.h"

#include <string>

namespace analyzer {

// Opens a log whatever its form: gzip data (known by its first bytes, not its name) is
// read through a decompressor, anything else as plain text. False with errno set.
bool OpenAnyLog(LogReader& log, const std::string& path);

}  // namespace analyzer
