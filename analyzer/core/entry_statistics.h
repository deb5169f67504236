#pragma once

#include "analyzer/core/log_entry.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace analyzer {

class PortTable;

// A log's own local stamp ("%m/%d/%Y", "%H:%M:%S") as seconds on a clock without time
// zone; nullopt when either text is not such a stamp or the year lies outside 1970-2199
// (a stray year must not stretch the hour table over centuries).
std::optional<std::int64_t> ParseLocalStamp(std::string_view date, std::string_view time);
// "2002-09-27T07:00:00"
std::string FormatLocalStamp(std::int64_t seconds);
// The hour that holds the second, as "2002-09-27T07".
std::string FormatLocalHour(std::int64_t hour);
// "2002-09-27"
std::string FormatLocalDay(std::int64_t day);

constexpr std::int64_t kSecondsPerHour = 3600;
constexpr std::int64_t kSecondsPerDay = 86400;

struct SourceRow {
    std::string address;
    std::size_t count = 0;
    std::optional<std::int64_t> first;
    std::optional<std::int64_t> last;
    std::size_t ports = 0;  // distinct destination ports
};

struct PortRow {
    std::string port;  // the token as the log writes it
    std::size_t count = 0;
    std::size_t sources = 0;  // distinct sources
    std::string description;  // filled by whoever knows the ports file
};

struct HourRow {
    std::int64_t hour = 0;  // seconds / 3600
    std::size_t count = 0;
};

struct StatisticsReport {
    std::size_t entries = 0;
    std::optional<std::int64_t> first;
    std::optional<std::int64_t> last;
    std::vector<SourceRow> sources;  // count descending, then address ascending
    std::vector<PortRow> ports;      // count descending, then port ascending
    std::vector<HourRow> hours;      // every hour from first to last, in time order
};

// The port number of a token written as plain decimal 0..65535 without leading zeros.
std::optional<unsigned> CanonicalPort(std::string_view token);
// Orders addresses numerically when both are dotted quads, else after them by text.
bool AddressBefore(std::string_view a, std::string_view b);
// Orders ports numerically when both are plain numbers, else after them by text.
bool PortBefore(std::string_view a, std::string_view b);

// Counts who, what and when over entries handed in one by one. It keeps one row per
// distinct source, port and (source, port) pair, never the entries themselves.
class EntryStatistics {
  public:
    void Clear();
    void Add(const LogEntry& entry);
    void Add(std::string_view source, std::string_view port, std::optional<std::int64_t> when);
    // An entry by its list text, which parses back into its fields.
    void AddListed(std::string_view listText);

    std::size_t entries() const { return entries_; }

    // `top` limits sources and ports; 0 keeps them all.
    StatisticsReport Report(std::size_t top) const;

  private:
    struct TextHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view text) const noexcept;
    };
    using Index = std::unordered_map<std::string, std::uint32_t, TextHash, std::equal_to<>>;

    struct Source {
        std::size_t count = 0;
        std::int64_t first = 0;
        std::int64_t last = 0;
        bool timed = false;
        std::size_t ports = 0;
    };
    struct Port {
        std::size_t count = 0;
        std::size_t sources = 0;
    };

    static std::uint32_t Intern(Index& index, std::vector<std::string>& names,
                                std::string_view text);
    std::uint32_t SourceId(std::string_view source);
    std::uint32_t PortId(std::string_view port);
    bool InsertPair(std::uint64_t pair);

    std::size_t entries_ = 0;
    std::optional<std::int64_t> first_;
    std::optional<std::int64_t> last_;
    Index sourceIndex_;
    std::vector<std::string> sourceNames_;
    std::vector<Source> sources_;
    Index portIndex_;
    std::vector<std::string> portNames_;
    std::vector<Port> ports_;
    // Fast paths for the usual tokens: addresses in plain dotted form, open-addressed by
    // their number ((address << 32) | (id + 1), zero free), and plain port numbers.
    std::vector<std::uint64_t> addressSlots_;
    std::vector<std::uint32_t> portIds_;  // by port number; 0 none, else id + 1
    std::unordered_map<std::int64_t, std::size_t> hours_;
    std::int64_t lastHour_ = 0;
    std::size_t* lastHourCount_ = nullptr;
    // Open-addressed set of (source, port) pairs; zero marks a free slot, so pairs are
    // stored plus one.
    std::vector<std::uint64_t> pairs_;
    std::size_t pairCount_ = 0;
    // Dates repeat line after line; their day number is kept.
    std::string lastDate_;
    std::optional<std::int64_t> lastDay_;
    LogEntry scratch_;
};

// Gives each row the description the ports file holds for its port, reading the file
// once: the first definition whose port text equals the row's, else the unknown text.
void DescribePorts(const PortTable& table, std::vector<PortRow>& rows);

}  // namespace analyzer
