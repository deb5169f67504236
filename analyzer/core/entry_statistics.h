#pragma once

#include "analyzer/core/log_entry.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
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
// distinct source and port and the distinct ports of each source, never the entries.
// Sources in plain dotted form and plain port numbers, the usual tokens, are kept as
// numbers; only other tokens keep their text.
class EntryStatistics {
  public:
    void Clear();
    void Add(const LogEntry& entry);
    void Add(const EntryTokens& tokens);
    void Add(std::string_view source, std::string_view port, std::optional<std::int64_t> when);
    // An entry by its list text, which parses back into its fields.
    void AddListed(std::string_view listText);

    std::size_t entries() const { return entries_; }

    // Counts everything `other` counted as if it had been added here: entries read in
    // pieces, one EntryStatistics each, add up to the figures of reading them in one.
    // `other` is left empty.
    void Merge(EntryStatistics&& other);

    // `top` limits sources and ports; 0 keeps them all. Counts what is still pending
    // first.
    StatisticsReport Report(std::size_t top);

  private:
    struct TextHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view text) const noexcept;
    };
    using Index = std::unordered_map<std::string, std::uint32_t, TextHash, std::equal_to<>>;

    // The distinct port numbers one source was seen with: a small open-addressed table
    // of two-byte slots while few, a bit per port once the table would be as large.
    class PortSet {
      public:
        bool Insert(std::uint16_t port);
        template <typename Visit>
        void ForEach(Visit visit) const;
        // Asks for the memory Insert(port) will look at first.
        void Prefetch(std::uint16_t port) const;

      private:
        static constexpr unsigned kFirstShift = 3;  // 8 slots
        static constexpr unsigned kLastShift = 11;  // 2048 slots; beyond, the bits
        static constexpr std::size_t kBitWords = 65536 / 16;
        void Grow();
        // Slots hold port + 1, zero free; port 65535 is the flag below.
        std::unique_ptr<std::uint16_t[]> slots_;
        std::uint32_t size_ = 0;
        std::uint8_t shift_ = 0;  // log2 of the slots; 0 before the first
        bool bits_ = false;       // slots_ holds a bit per port
        bool top_ = false;
    };

    struct Source {
        std::uint64_t count = 0;
        std::int64_t first = 0;
        std::int64_t last = 0;
        std::uint32_t ports = 0;
        // The address when dotted, else the index of its text in namedSources_.
        std::uint32_t key = 0;
        bool dotted = false;
        bool timed = false;
        PortSet numbers;
    };
    struct Port {
        std::uint64_t count = 0;
        std::uint64_t sources = 0;
    };
    // Eight bytes, so the table of all port numbers is half a megabyte: a count that
    // passes 2^32 carries into numberedWraps_. Sources are at most the 2^32 source ids.
    struct NumberedPort {
        std::uint32_t count = 0;
        std::uint32_t sources = 0;
    };

    // Sources and port numbers miss the cache entry after entry, so the usual entries
    // wait in a batch; counting a batch asks for the memory of every entry in it first.
    struct Pending {
        std::int64_t when;
        std::uint32_t address;
        std::uint16_t port;
        bool timed;
    };
    static constexpr std::size_t kBatch = 64;

    void AddFields(std::string_view date, std::string_view time, std::string_view source,
                   std::string_view port);
    void CountPending();
    void CountNumbered(Source& source, std::uint16_t number, const std::int64_t* when);
    static void CountTime(Source& source, std::int64_t when);
    // Room for `more` dotted sources without passing half the slots.
    void ReserveAddresses(std::size_t more);
    std::uint32_t DottedSourceId(std::uint32_t address);
    std::uint32_t NamedSourceId(std::string_view source);
    std::uint32_t NewSource(bool dotted, std::uint32_t key);
    std::uint32_t NamedPortId(std::string_view port);
    bool InsertNamedPair(std::uint64_t pair);
    void CountHour(std::int64_t hour, std::uint64_t entries = 1);
    void CountPort(std::uint16_t number, std::uint64_t entries);
    std::uint64_t PortCount(std::uint16_t number) const;
    // The id here of `other`'s source `id`, made when new.
    std::uint32_t SourceIdOf(const EntryStatistics& other, std::uint32_t id);

    std::size_t entries_ = 0;
    std::optional<std::int64_t> first_;
    std::optional<std::int64_t> last_;
    std::vector<Source> sources_;
    // Dotted sources open-addressed by their number ((address << 32) | (id + 1), zero free).
    std::vector<std::uint64_t> addressSlots_;
    std::size_t dottedSources_ = 0;
    Index sourceIndex_;
    std::vector<std::string> namedSources_;
    // Plain port numbers index this directly once one is seen.
    std::vector<NumberedPort> numberedPorts_;
    std::unordered_map<std::uint32_t, std::uint64_t> numberedWraps_;
    // Other port tokens, and the (source, port) pairs they are seen in, open-addressed
    // ((source << 32 | port) + 1, zero free).
    Index portIndex_;
    std::vector<std::string> portNames_;
    std::vector<Port> namedPorts_;
    std::vector<std::uint64_t> namedPairs_;
    std::size_t namedPairCount_ = 0;
    // Entries per hour, from firstHour_ on, every hour between.
    std::int64_t firstHour_ = 0;
    std::vector<std::uint64_t> hourCounts_;
    // Dates repeat line after line; their day number is kept.
    std::string lastDate_;
    std::optional<std::int64_t> lastDay_;
    std::array<Pending, kBatch> pending_;
    std::size_t pendingCount_ = 0;
};

// Gives each row the description the ports file holds for its port, reading the file
// once: the first definition whose port text equals the row's, else the unknown text.
void DescribePorts(const PortTable& table, std::vector<PortRow>& rows);

}  // namespace analyzer
