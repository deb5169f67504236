#include <cstdint>
#include <string>
#include <vector>

#include "analyzer/core/entry_loader.h"
#include "analyzer/core/entry_store.h"
#include "analyzer/core/log_entry.h"
#include "analyzer/core/log_reader.h"
#include "analyzer/core/settings_file.h"
#include "fuzz/fuzz_support.h"

using namespace analyzer;

namespace {

// The reader's read size: a padded input straddles two reads, so a CR at the end of
// the first read meets its LF only in the second.
constexpr std::size_t kReadSize = 256 * 1024;

struct OneFilter : FilterSource {
    explicit OneFilter(std::string_view s = {}, std::string_view k = {}) : section(s), key(k) {}
    std::string_view section, key;
    bool IsActiveFilter(std::string_view s, std::string_view k) const override {
        return s == section && k == key;
    }
};

struct Collector : EntrySink {
    std::vector<std::string> entries;
    void ClearEntries() override { entries.clear(); }
    bool AppendEntry(std::string_view text) override {
        entries.emplace_back(text);
        return true;
    }
};

// Every CR LF pair becomes LF; any other CR stays.
std::string TextMode(std::string_view raw) {
    std::string text;
    for (std::size_t pair; (pair = raw.find("\r\n")) != std::string_view::npos;
         raw.remove_prefix(pair + 2)) {
        text.append(raw.substr(0, pair)).append("\n");
    }
    return text.append(raw);
}

bool SameFields(const LogEntry& a, const LogEntry& b) {
    return a.date == b.date && a.time == b.time && a.direction == b.direction &&
           a.sourceIp == b.sourceIp && a.sourcePort == b.sourcePort &&
           a.destinationIp == b.destinationIp && a.destinationPort == b.destinationPort;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const fuzz::TempDir dir("log_entry_fuzz");
    static const std::string path = dir.path() + "/Velmora-incoming-2002-09-27.log";
    if (size == 0) {
        return 0;
    }
    std::string raw(reinterpret_cast<const char*>(data) + 1, size - 1);
    // Padding is slow, so only one input in sixteen takes it.
    if ((data[0] & 15) == 15) {
        raw.insert(0, kReadSize - (data[0] >> 4), 'x');
    }
    fuzz::WriteFile(path, raw);

    // One reader for the whole run: opening a log must leave nothing of the last one.
    static LogReader reader;
    FUZZ_CHECK(reader.Open(path));
    const OneFilter none;
    std::string joined;
    std::vector<std::string> accepted;
    bool lastWithoutLf = false;
    while (const auto chunk = reader.NextChunk()) {
        // Only a full-length chunk or the last one may end without a line feed.
        FUZZ_CHECK(!lastWithoutLf);
        FUZZ_CHECK(!chunk->empty() && chunk->size() <= LogReader::kChunkLimit);
        FUZZ_CHECK(chunk->find('\n') == std::string_view::npos ||
                   chunk->find('\n') == chunk->size() - 1);
        lastWithoutLf = !chunk->ends_with('\n') && chunk->size() < LogReader::kChunkLimit;
        joined += *chunk;

        const std::string_view line = chunk->substr(0, chunk->find('\0'));
        LogEntry entry;
        if (!HasInboundMarker(line) || !ParseEntry(line, none, entry)) {
            continue;
        }
        // The listed form parses back to the same fields.
        const std::string text = FormatEntry(entry, entry.destinationIp);
        LogEntry again;
        FUZZ_CHECK(ParseEntry(text, none, again) && SameFields(entry, again));
        accepted.push_back(text);

        // An active filter on the entry's source address or target port hides it.
        LogEntry hidden;
        const OneFilter bySource(kSourceIpFilters, entry.sourceIp);
        const OneFilter byPort(kTargetPortFilters, entry.destinationPort);
        FUZZ_CHECK(!ParseEntry(line, bySource, hidden) && !ParseEntry(line, byPort, hidden));
    }
    FUZZ_CHECK(reader.readError() == 0);
    FUZZ_CHECK(joined == TextMode(raw));

    // The loader lists exactly the accepted chunks, and a second pass reads them again.
    SettingsFile settings(dir.path() + "/no-settings.ini");
    Collector list;
    for (int pass = 0; pass < 2; ++pass) {
        const LoadResult result = LoadEntries(reader, settings, list);
        FUZZ_CHECK(!result.refused && result.listed == accepted.size());
        FUZZ_CHECK(list.entries == accepted);
    }

    // Packed, the list reads back byte for byte, whether filled line by line, read in
    // runs as worker threads do, or given as text.
    EntryStore store;
    LoadEntries(reader, settings, store);
    FUZZ_CHECK(store.size() == accepted.size());
    EntryStore joinedRuns;
    FUZZ_CHECK(reader.Rewind());
    for (bool ended = false; !ended;) {
        EntryChunk run;
        ended = ReadEntriesInto(reader, none, run, 3);
        FUZZ_CHECK(joinedRuns.AppendChunk(std::move(run)));
    }
    FUZZ_CHECK(joinedRuns.size() == accepted.size());
    EntryStore texts;
    std::string text;
    for (std::size_t i = 0; i < accepted.size(); ++i) {
        FUZZ_CHECK(store.Entry(i) == accepted[i]);
        joinedRuns.EntryInto(i, text);
        FUZZ_CHECK(text == accepted[i]);
        FUZZ_CHECK(texts.AppendEntry(accepted[i]) && texts.Entry(i) == accepted[i]);
    }
    // Raw lines as list texts: kept or packed, never changed.
    FUZZ_CHECK(texts.AppendEntry(raw) && texts.Entry(texts.size() - 1) == raw);
    return 0;
}
