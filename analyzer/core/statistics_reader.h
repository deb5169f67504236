#pragma once

#include "analyzer/core/entry_statistics.h"
#include "analyzer/core/filter_source.h"
#include "analyzer/core/log_list.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace analyzer {

// Pieces this large keep a piece's start-up and merge small beside its reading.
constexpr unsigned long long kLogPieceBytes = 8ULL << 20;

// Counts into `statistics` the entries LoadLogList would list from `files`, on up to
// `threads` threads. A large plain log is cut at line ends into pieces read side by side;
// the pieces are counted apart and merged in order, so the figures and the problems are
// those of reading the logs one after another. Returns the problems, in file order.
// A piece holds at least `pieceBytes` of its log.
std::vector<LogFileProblem> ReadLogStatistics(const std::vector<std::string>& files,
                                              const LogOpener& open, const FilterSource& filters,
                                              std::size_t threads, EntryStatistics& statistics,
                                              unsigned long long pieceBytes = kLogPieceBytes);

}  // namespace analyzer
