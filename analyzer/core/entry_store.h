#pragma once

#include "analyzer/core/entry_loader.h"
#include "analyzer/core/log_entry.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace analyzer {

// A run of list entries kept as packed fields: sixteen bytes an entry, and its text made
// again when asked. A token is packed only when its text comes back from the fields byte
// for byte (no leading zeros, no odd times, no overlong tokens); an entry with any other
// token keeps its whole text aside, so every entry reads back exactly as it was listed.
class EntryChunk {
  public:
    // Room for `entries` without moving what is held.
    void Reserve(std::size_t entries) { records_.reserve(entries); }
    void Clear();
    // Gives back room reserved but not used, when that is much.
    void Trim();

    void Append(const EntryTokens& tokens);
    // An entry known only by its list text; packed only when its text comes back the same.
    void AppendText(std::string_view text);

    std::size_t size() const { return records_.size(); }
    bool empty() const { return records_.empty(); }
    // Bytes the entries' texts take, as if each were kept as text.
    unsigned long long textSize() const { return textSize_; }

    // The list text of entry `index`, replacing the content of `out`.
    void EntryInto(std::size_t index, std::string& out) const;
    std::size_t TextLength(std::size_t index) const;
    // Keeps only the first `entries`.
    void Truncate(std::size_t entries);

    // Entries that keep their text rather than packed fields.
    std::size_t unpackedCount() const { return textEnds_.size(); }

  private:
    struct Record {
        std::uint32_t source;  // address, or the index of the kept text
        std::uint32_t target;
        std::uint16_t sourcePort;
        std::uint16_t targetPort;
        // Second of the day in the low 17 bits, then 5 bits of direction and 10 of date,
        // both indexes into the names below.
        std::uint32_t when;
    };
    static constexpr unsigned kSecondBits = 17;
    static constexpr unsigned kDirectionBits = 5;
    static constexpr std::uint32_t kKeptText = (1u << kDirectionBits) - 1;
    static constexpr std::size_t kMaxDates = 1u << (32 - kSecondBits - kDirectionBits);
    static constexpr std::size_t kMaxNameLength = 32;

    static unsigned DirectionOf(std::uint32_t when) {
        return (when >> kSecondBits) & ((1u << kDirectionBits) - 1);
    }
    bool Pack(const EntryTokens& tokens, Record& record);
    void Keep(std::string_view text);
    static std::size_t Intern(std::vector<std::string>& names, std::size_t& last,
                              std::string_view name, std::size_t limit);

    std::vector<Record> records_;
    std::vector<std::string> dates_;
    std::vector<std::string> directions_;
    std::size_t lastDate_ = 0;
    std::size_t lastDirection_ = 0;
    std::string keptText_;
    std::vector<std::size_t> textEnds_;
    unsigned long long textSize_ = 0;
};

// The texts of the entry list as runs of packed entries. A million entries cost about
// sixteen megabytes, and nothing held is ever moved as the list grows.
class EntryStore : public EntrySink {
  public:
    // Most text the list takes before it refuses a line, counted as if each entry were
    // kept as text.
    static constexpr std::size_t kDefaultTextLimit = std::size_t{1} << 31;
    // Entries of one run before the next begins, so growing never copies much.
    static constexpr std::size_t kRunEntries = std::size_t{1} << 16;

    explicit EntryStore(std::size_t textLimit = kDefaultTextLimit);

    void ClearEntries() override;
    // False, and nothing stored, once the text limit would be passed.
    bool AppendEntry(std::string_view text) override;
    bool AppendParsedEntry(const LogEntry& entry, std::string_view text) override;
    bool NeedsText() const override { return false; }
    // Takes the last entry off again.
    void RemoveLast();
    // A run read elsewhere, such as on another thread, taken over whole; false when the
    // text limit cut it short (what fitted is kept).
    bool AppendChunk(EntryChunk&& chunk);

    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    // The list text of entry `index`, exactly as it was listed.
    std::string Entry(std::size_t index) const;
    // The same into `out`, whose storage is reused entry after entry.
    void EntryInto(std::size_t index, std::string& out) const;

  private:
    EntryChunk& OpenRun();
    bool Admit(unsigned long long textLength) const;

    std::size_t textLimit_;
    unsigned long long textSize_ = 0;
    std::size_t size_ = 0;
    std::vector<EntryChunk> runs_;
    std::vector<std::size_t> runStarts_;
};

// Reads on from where `log` is, adding each accepted entry to `chunk` until it holds
// `entries` or the log ends, exactly as a fill lists them; true once the log ended.
bool ReadEntriesInto(LogReader& log, const FilterSource& filters, EntryChunk& chunk,
                     std::size_t entries);

}  // namespace analyzer
