#include "analyzer/core/entry_statistics.h"

#include "analyzer/core/analyzer_strings.h"
#include "analyzer/core/port_table.h"

#include <algorithm>
#include <array>
#include <cstdio>

namespace analyzer {
namespace {

constexpr int kFirstYear = 1970;
constexpr int kLastYear = 2199;

// Reads a run of 1..maxDigits decimal digits ending at `stop` (or the end), advancing pos.
std::optional<int> Number(std::string_view text, std::size_t& pos, std::size_t minDigits,
                          std::size_t maxDigits, char stop) {
    int value = 0;
    std::size_t digits = 0;
    while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9') {
        if (++digits > maxDigits) {
            return std::nullopt;
        }
        value = value * 10 + (text[pos] - '0');
        ++pos;
    }
    if (digits < minDigits) {
        return std::nullopt;
    }
    if (stop != '\0') {
        if (pos >= text.size() || text[pos] != stop) {
            return std::nullopt;
        }
        ++pos;
    } else if (pos != text.size()) {
        return std::nullopt;
    }
    return value;
}

bool IsLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month) {
    constexpr std::array<int, 12> kDays{31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : kDays[static_cast<std::size_t>(month - 1)];
}

// Days since 1970-01-01 of a civil date (proleptic Gregorian).
std::int64_t DaysFromCivil(int year, int month, int day) {
    year -= month <= 2 ? 1 : 0;
    const int era = year / 400;
    const int yearOfEra = year - era * 400;
    const int dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const int dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return static_cast<std::int64_t>(era) * 146097 + dayOfEra - 719468;
}

struct Civil {
    int year;
    int month;
    int day;
};

Civil CivilFromDays(std::int64_t days) {
    days += 719468;
    const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const auto dayOfEra = static_cast<int>(days - era * 146097);
    const int yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const int dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const int mp = (5 * dayOfYear + 2) / 153;
    const int day = dayOfYear - (153 * mp + 2) / 5 + 1;
    const int month = mp < 10 ? mp + 3 : mp - 9;
    const int year = static_cast<int>(yearOfEra + era * 400) + (month <= 2 ? 1 : 0);
    return {year, month, day};
}

std::optional<std::int64_t> ParseDay(std::string_view date) {
    std::size_t pos = 0;
    const std::optional<int> month = Number(date, pos, 1, 2, '/');
    const std::optional<int> day = month ? Number(date, pos, 1, 2, '/') : std::nullopt;
    const std::optional<int> year = day ? Number(date, pos, 4, 4, '\0') : std::nullopt;
    if (!year || *year < kFirstYear || *year > kLastYear || *month < 1 || *month > 12 || *day < 1 ||
        *day > DaysInMonth(*year, *month)) {
        return std::nullopt;
    }
    return DaysFromCivil(*year, *month, *day);
}

std::optional<std::int64_t> ParseTimeOfDay(std::string_view time) {
    std::size_t pos = 0;
    const std::optional<int> hour = Number(time, pos, 1, 2, ':');
    const std::optional<int> minute = hour ? Number(time, pos, 2, 2, ':') : std::nullopt;
    const std::optional<int> second = minute ? Number(time, pos, 2, 2, '\0') : std::nullopt;
    if (!second || *hour > 23 || *minute > 59 || *second > 59) {
        return std::nullopt;
    }
    return *hour * kSecondsPerHour + *minute * 60 + *second;
}

std::int64_t FloorDiv(std::int64_t value, std::int64_t divisor) {
    return value >= 0 ? value / divisor : -((-value + divisor - 1) / divisor);
}

std::optional<std::uint32_t> DottedQuad(std::string_view text) {
    std::uint32_t address = 0;
    std::size_t pos = 0;
    for (int part = 0; part < 4; ++part) {
        const std::optional<int> value = Number(text, pos, 1, 3, part < 3 ? '.' : '\0');
        if (!value || *value > 255) {
            return std::nullopt;
        }
        address = address << 8 | static_cast<std::uint32_t>(*value);
    }
    return address;
}

// A dotted quad written the plain way (no leading zeros), so one text is one number.
// Every inbound entry's source passes here, so it reads the text in one pass.
std::optional<std::uint32_t> PlainDottedQuad(std::string_view text) {
    const char* at = text.data();
    const char* const end = at + text.size();
    std::uint32_t address = 0;
    for (int part = 0; part < 4; ++part) {
        if (at == end) {
            return std::nullopt;
        }
        unsigned value = static_cast<unsigned>(*at - '0');
        if (value > 9) {
            return std::nullopt;
        }
        ++at;
        // A part that starts with 0 is 0 alone.
        for (int more = 0; value != 0 && more < 2 && at != end; ++more) {
            const auto digit = static_cast<unsigned>(*at - '0');
            if (digit > 9) {
                break;
            }
            value = value * 10 + digit;
            ++at;
        }
        if (value > 255) {
            return std::nullopt;
        }
        address = address << 8 | value;
        if (part < 3) {
            if (at == end || *at != '.') {
                return std::nullopt;
            }
            ++at;
        }
    }
    if (at != end) {
        return std::nullopt;
    }
    return address;
}

// What separates the tokens of a log line and so of an entry's list text.
constexpr std::array<bool, 256> kListDelimiters = [] {
    std::array<bool, 256> table{};
    for (const char c : std::string_view(" []=>\n")) {
        table[static_cast<unsigned char>(c)] = true;
    }
    return table;
}();

std::uint64_t Mix(std::uint64_t value) {
    value ^= value >> 33;
    value *= 0xff51afd7ed558ccdULL;
    value ^= value >> 33;
    return value;
}

}  // namespace

std::optional<std::int64_t> ParseLocalStamp(std::string_view date, std::string_view time) {
    const std::optional<std::int64_t> day = ParseDay(date);
    const std::optional<std::int64_t> second = day ? ParseTimeOfDay(time) : std::nullopt;
    if (!second) {
        return std::nullopt;
    }
    return *day * kSecondsPerDay + *second;
}

std::string FormatLocalDay(std::int64_t day) {
    const Civil civil = CivilFromDays(day);
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", civil.year, civil.month, civil.day);
    return text;
}

std::string FormatLocalHour(std::int64_t hour) {
    const std::int64_t day = FloorDiv(hour, 24);
    char text[16];
    std::snprintf(text, sizeof text, "T%02d", static_cast<int>(hour - day * 24));
    return FormatLocalDay(day) + text;
}

std::string FormatLocalStamp(std::int64_t seconds) {
    const std::int64_t day = FloorDiv(seconds, kSecondsPerDay);
    const auto rest = static_cast<int>(seconds - day * kSecondsPerDay);
    char text[32];
    std::snprintf(text, sizeof text, "T%02d:%02d:%02d", rest / 3600, rest / 60 % 60, rest % 60);
    return FormatLocalDay(day) + text;
}

std::optional<unsigned> CanonicalPort(std::string_view token) {
    if (token.empty() || token.size() > 5 || (token.size() > 1 && token.front() == '0')) {
        return std::nullopt;
    }
    unsigned value = 0;
    for (const char c : token) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        value = value * 10 + static_cast<unsigned>(c - '0');
    }
    return value <= 65535 ? std::optional<unsigned>(value) : std::nullopt;
}

bool AddressBefore(std::string_view a, std::string_view b) {
    const std::optional<std::uint32_t> x = DottedQuad(a);
    const std::optional<std::uint32_t> y = DottedQuad(b);
    if (x && y) {
        return *x != *y ? *x < *y : a < b;
    }
    if (x || y) {
        return x.has_value();
    }
    return a < b;
}

bool PortBefore(std::string_view a, std::string_view b) {
    const std::optional<unsigned> x = CanonicalPort(a);
    const std::optional<unsigned> y = CanonicalPort(b);
    if (x && y) {
        return *x < *y;
    }
    if (x || y) {
        return x.has_value();
    }
    return a < b;
}

std::size_t EntryStatistics::TextHash::operator()(std::string_view text) const noexcept {
    // FNV-1a: short keys, called once per field of every entry.
    std::uint64_t hash = 0xcbf29ce484222325ULL;
    for (const char c : text) {
        hash = (hash ^ static_cast<unsigned char>(c)) * 0x100000001b3ULL;
    }
    return static_cast<std::size_t>(hash);
}

bool EntryStatistics::PortSet::Insert(std::uint16_t port) {
    if (bits_) {
        std::uint16_t& word = slots_[port >> 4];
        const auto bit = static_cast<std::uint16_t>(1u << (port & 15));
        if ((word & bit) != 0) {
            return false;
        }
        word = static_cast<std::uint16_t>(word | bit);
        return true;
    }
    if (port == 65535) {
        const bool added = !top_;
        top_ = true;
        return added;
    }
    if ((size_ + 1) * 4 > (std::uint32_t{3} << shift_)) {
        Grow();
        if (bits_) {
            return Insert(port);
        }
    }
    const auto stored = static_cast<std::uint16_t>(port + 1);
    const std::uint32_t mask = (std::uint32_t{1} << shift_) - 1;
    // Fibonacci hashing: the top bits of the product spread nearby ports apart.
    for (std::uint32_t slot = (std::uint32_t{stored} * 2654435769u) >> (32 - shift_);;
         slot = (slot + 1) & mask) {
        const std::uint16_t value = slots_[slot];
        if (value == stored) {
            return false;
        }
        if (value == 0) {
            slots_[slot] = stored;
            ++size_;
            return true;
        }
    }
}

void EntryStatistics::PortSet::Prefetch(std::uint16_t port) const {
    if (bits_) {
        __builtin_prefetch(&slots_[port >> 4], 1);
    } else if (shift_ != 0) {
        const auto stored = static_cast<std::uint16_t>(port + 1);
        __builtin_prefetch(&slots_[(std::uint32_t{stored} * 2654435769u) >> (32 - shift_)], 1);
    }
}

void EntryStatistics::PortSet::Grow() {
    const std::uint32_t oldSlots = shift_ == 0 ? 0 : std::uint32_t{1} << shift_;
    std::unique_ptr<std::uint16_t[]> old = std::move(slots_);
    if (shift_ >= kLastShift) {
        slots_ = std::make_unique<std::uint16_t[]>(kBitWords);
        bits_ = true;
        for (std::uint32_t i = 0; i < oldSlots; ++i) {
            if (old[i] != 0) {
                const auto port = static_cast<std::uint16_t>(old[i] - 1);
                slots_[port >> 4] =
                    static_cast<std::uint16_t>(slots_[port >> 4] | 1u << (port & 15));
            }
        }
        if (top_) {
            slots_[65535 >> 4] = static_cast<std::uint16_t>(slots_[65535 >> 4] | 1u << 15);
        }
        return;
    }
    shift_ = shift_ == 0 ? kFirstShift : static_cast<std::uint8_t>(shift_ + 1);
    slots_ = std::make_unique<std::uint16_t[]>(std::size_t{1} << shift_);
    const std::uint32_t mask = (std::uint32_t{1} << shift_) - 1;
    for (std::uint32_t i = 0; i < oldSlots; ++i) {
        if (old[i] != 0) {
            std::uint32_t slot = (std::uint32_t{old[i]} * 2654435769u) >> (32 - shift_);
            while (slots_[slot] != 0) {
                slot = (slot + 1) & mask;
            }
            slots_[slot] = old[i];
        }
    }
}

template <typename Visit>
void EntryStatistics::PortSet::ForEach(Visit visit) const {
    if (bits_) {
        for (std::uint32_t word = 0; word < kBitWords; ++word) {
            for (std::uint32_t bit = 0; bit < 16; ++bit) {
                if ((slots_[word] >> bit & 1u) != 0) {
                    visit(static_cast<std::uint16_t>(word << 4 | bit));
                }
            }
        }
        return;
    }
    const std::uint32_t slots = shift_ == 0 ? 0 : std::uint32_t{1} << shift_;
    for (std::uint32_t slot = 0; slot < slots; ++slot) {
        if (slots_[slot] != 0) {
            visit(static_cast<std::uint16_t>(slots_[slot] - 1));
        }
    }
    if (top_) {
        visit(std::uint16_t{65535});
    }
}

void EntryStatistics::Clear() {
    *this = EntryStatistics();
}

std::uint32_t EntryStatistics::NewSource(bool dotted, std::uint32_t key) {
    const auto id = static_cast<std::uint32_t>(sources_.size());
    Source& source = sources_.emplace_back();
    source.dotted = dotted;
    source.key = key;
    return id;
}

std::uint32_t EntryStatistics::NamedSourceId(std::string_view source) {
    const auto found = sourceIndex_.find(source);
    if (found != sourceIndex_.end()) {
        return found->second;
    }
    const std::uint32_t id = NewSource(false, static_cast<std::uint32_t>(namedSources_.size()));
    namedSources_.emplace_back(source);
    sourceIndex_.emplace(namedSources_.back(), id);
    return id;
}

void EntryStatistics::ReserveAddresses(std::size_t more) {
    std::size_t size = std::max<std::size_t>(addressSlots_.size(), 1024);
    while ((dottedSources_ + more) * 2 > size) {
        size *= 2;
    }
    if (size == addressSlots_.size()) {
        return;
    }
    std::vector<std::uint64_t> old(size, 0);
    old.swap(addressSlots_);
    const std::size_t mask = addressSlots_.size() - 1;
    for (const std::uint64_t value : old) {
        if (value != 0) {
            std::size_t slot = Mix(value >> 32) & mask;
            while (addressSlots_[slot] != 0) {
                slot = (slot + 1) & mask;
            }
            addressSlots_[slot] = value;
        }
    }
}

std::uint32_t EntryStatistics::DottedSourceId(std::uint32_t address) {
    const std::size_t mask = addressSlots_.size() - 1;
    for (std::size_t slot = Mix(address) & mask;; slot = (slot + 1) & mask) {
        const std::uint64_t value = addressSlots_[slot];
        if (value == 0) {
            const std::uint32_t id = NewSource(true, address);
            addressSlots_[slot] = static_cast<std::uint64_t>(address) << 32 | (id + 1);
            ++dottedSources_;
            return id;
        }
        if (value >> 32 == address) {
            return static_cast<std::uint32_t>(value) - 1;
        }
    }
}

std::uint32_t EntryStatistics::NamedPortId(std::string_view port) {
    const auto found = portIndex_.find(port);
    if (found != portIndex_.end()) {
        return found->second;
    }
    const auto id = static_cast<std::uint32_t>(portNames_.size());
    portNames_.emplace_back(port);
    portIndex_.emplace(portNames_.back(), id);
    namedPorts_.emplace_back();
    return id;
}

bool EntryStatistics::InsertNamedPair(std::uint64_t pair) {
    const std::uint64_t stored = pair + 1;
    if ((namedPairCount_ + 1) * 2 > namedPairs_.size()) {
        std::vector<std::uint64_t> old(std::max<std::size_t>(namedPairs_.size() * 2, 64), 0);
        old.swap(namedPairs_);
        const std::size_t mask = namedPairs_.size() - 1;
        for (const std::uint64_t value : old) {
            if (value != 0) {
                std::size_t slot = Mix(value) & mask;
                while (namedPairs_[slot] != 0) {
                    slot = (slot + 1) & mask;
                }
                namedPairs_[slot] = value;
            }
        }
    }
    const std::size_t mask = namedPairs_.size() - 1;
    std::size_t slot = Mix(stored) & mask;
    while (namedPairs_[slot] != 0) {
        if (namedPairs_[slot] == stored) {
            return false;
        }
        slot = (slot + 1) & mask;
    }
    namedPairs_[slot] = stored;
    ++namedPairCount_;
    return true;
}

void EntryStatistics::CountHour(std::int64_t hour, std::uint64_t entries) {
    if (hourCounts_.empty()) {
        firstHour_ = hour;
    }
    if (hour < firstHour_) {
        hourCounts_.insert(hourCounts_.begin(), static_cast<std::size_t>(firstHour_ - hour), 0);
        firstHour_ = hour;
    }
    const auto index = static_cast<std::size_t>(hour - firstHour_);
    if (index >= hourCounts_.size()) {
        hourCounts_.resize(index + 1, 0);
    }
    hourCounts_[index] += entries;
}

void EntryStatistics::CountPort(std::uint16_t number, std::uint64_t entries) {
    NumberedPort& p = numberedPorts_[number];
    const std::uint64_t sum = p.count + entries;
    p.count = static_cast<std::uint32_t>(sum);
    if (sum >> 32 != 0) {
        numberedWraps_[number] += sum >> 32;
    }
}

std::uint64_t EntryStatistics::PortCount(std::uint16_t number) const {
    const auto wraps = numberedWraps_.find(number);
    return (wraps == numberedWraps_.end() ? 0 : wraps->second << 32) + numberedPorts_[number].count;
}

void EntryStatistics::Add(const LogEntry& entry) {
    AddFields(entry.date, entry.time, entry.sourceIp, entry.destinationPort);
}

void EntryStatistics::Add(const EntryTokens& tokens) {
    AddFields(tokens.date, tokens.time, tokens.sourceIp, tokens.destinationPort);
}

void EntryStatistics::AddFields(std::string_view date, std::string_view time,
                                std::string_view source, std::string_view port) {
    if (date != lastDate_ || lastDate_.empty()) {
        lastDate_ = date;
        lastDay_ = ParseDay(date);
    }
    std::optional<std::int64_t> when;
    if (lastDay_) {
        const auto digit = [&](std::size_t i) { return static_cast<unsigned>(time[i] - '0'); };
        // "HH:MM:SS", the way every log writes it, read without the general parser.
        if (time.size() == 8 && time[2] == ':' && time[5] == ':' && digit(0) <= 2 &&
            digit(1) <= 9 && digit(3) <= 5 && digit(4) <= 9 && digit(6) <= 5 && digit(7) <= 9) {
            const unsigned hour = digit(0) * 10 + digit(1);
            if (hour <= 23) {
                when = *lastDay_ * kSecondsPerDay + hour * kSecondsPerHour +
                       (digit(3) * 10 + digit(4)) * 60 + digit(6) * 10 + digit(7);
            }
        } else if (const std::optional<std::int64_t> second = ParseTimeOfDay(time)) {
            when = *lastDay_ * kSecondsPerDay + *second;
        }
    }
    Add(source, port, when);
}

void EntryStatistics::AddListed(std::string_view listText) {
    // The list text splits into tokens as the log line did (ParseEntry); only the four
    // counted are kept, as views, with no filter asked: the list is already filtered.
    std::array<std::string_view, 7> tokens;
    const char* at = listText.data();
    const char* const end = at + listText.size();
    for (std::string_view& token : tokens) {
        while (at != end && kListDelimiters[static_cast<unsigned char>(*at)]) {
            ++at;
        }
        if (at == end) {
            return;
        }
        const char* const start = at;
        while (at != end && !kListDelimiters[static_cast<unsigned char>(*at)]) {
            ++at;
        }
        token = std::string_view(start, static_cast<std::size_t>(at - start));
    }
    AddFields(tokens[0], tokens[1], tokens[3], tokens[6]);
}

void EntryStatistics::CountTime(Source& source, std::int64_t when) {
    if (!source.timed) {
        source.first = source.last = when;
        source.timed = true;
    } else {
        source.first = std::min(source.first, when);
        source.last = std::max(source.last, when);
    }
}

void EntryStatistics::CountNumbered(Source& source, std::uint16_t number,
                                    const std::int64_t* when) {
    ++source.count;
    CountPort(number, 1);
    if (source.numbers.Insert(number)) {
        ++source.ports;
        ++numberedPorts_[number].sources;
    }
    if (when != nullptr) {
        CountTime(source, *when);
    }
}

void EntryStatistics::CountPending() {
    const std::size_t n = pendingCount_;
    pendingCount_ = 0;
    ReserveAddresses(n);
    const std::size_t mask = addressSlots_.size() - 1;
    for (std::size_t i = 0; i < n; ++i) {
        __builtin_prefetch(&addressSlots_[Mix(pending_[i].address) & mask]);
    }
    std::array<std::uint32_t, kBatch> ids;
    for (std::size_t i = 0; i < n; ++i) {
        ids[i] = DottedSourceId(pending_[i].address);
        __builtin_prefetch(&sources_[ids[i]], 1);
        __builtin_prefetch(&numberedPorts_[pending_[i].port], 1);
    }
    for (std::size_t i = 0; i < n; ++i) {
        sources_[ids[i]].numbers.Prefetch(pending_[i].port);
    }
    for (std::size_t i = 0; i < n; ++i) {
        const Pending& entry = pending_[i];
        CountNumbered(sources_[ids[i]], entry.port, entry.timed ? &entry.when : nullptr);
    }
}

void EntryStatistics::Add(std::string_view source, std::string_view port,
                          std::optional<std::int64_t> when) {
    ++entries_;
    if (when) {
        if (!first_) {
            first_ = last_ = *when;
        } else {
            first_ = std::min(*first_, *when);
            last_ = std::max(*last_, *when);
        }
        const std::int64_t hour = FloorDiv(*when, kSecondsPerHour);
        const auto index = static_cast<std::uint64_t>(hour - firstHour_);
        if (!hourCounts_.empty() && index < hourCounts_.size()) {
            ++hourCounts_[index];
        } else {
            CountHour(hour);
        }
    }
    const std::optional<unsigned> number = CanonicalPort(port);
    if (number && numberedPorts_.empty()) {
        numberedPorts_.resize(65536);
    }
    const std::optional<std::uint32_t> address = PlainDottedQuad(source);
    if (number && address) {
        pending_[pendingCount_++] = {when.value_or(0), *address,
                                     static_cast<std::uint16_t>(*number), when.has_value()};
        if (pendingCount_ == kBatch) {
            CountPending();
        }
        return;
    }
    std::uint32_t sourceId = 0;
    if (address) {
        ReserveAddresses(1);
        sourceId = DottedSourceId(*address);
    } else {
        sourceId = NamedSourceId(source);
    }
    Source& s = sources_[sourceId];
    if (number) {
        CountNumbered(s, static_cast<std::uint16_t>(*number), when ? &*when : nullptr);
        return;
    }
    ++s.count;
    const std::uint32_t portId = NamedPortId(port);
    Port& p = namedPorts_[portId];
    ++p.count;
    if (InsertNamedPair(static_cast<std::uint64_t>(sourceId) << 32 | portId)) {
        ++s.ports;
        ++p.sources;
    }
    if (when) {
        CountTime(s, *when);
    }
}

std::uint32_t EntryStatistics::SourceIdOf(const EntryStatistics& other, std::uint32_t id) {
    const Source& source = other.sources_[id];
    if (!source.dotted) {
        return NamedSourceId(other.namedSources_[source.key]);
    }
    ReserveAddresses(1);
    return DottedSourceId(source.key);
}

void EntryStatistics::Merge(EntryStatistics&& other) {
    if (entries_ == 0) {
        // Nothing counted here yet: the first piece is taken over whole.
        std::swap(*this, other);
        other.Clear();
        return;
    }
    CountPending();
    other.CountPending();
    entries_ += other.entries_;
    if (other.first_) {
        first_ = first_ ? std::min(*first_, *other.first_) : *other.first_;
        last_ = last_ ? std::max(*last_, *other.last_) : *other.last_;
    }
    for (std::size_t i = 0; i < other.hourCounts_.size(); ++i) {
        if (other.hourCounts_[i] != 0) {
            CountHour(other.firstHour_ + static_cast<std::int64_t>(i), other.hourCounts_[i]);
        }
    }
    if (!other.numberedPorts_.empty()) {
        if (numberedPorts_.empty()) {
            numberedPorts_.resize(65536);
        }
        for (std::uint32_t number = 0; number < other.numberedPorts_.size(); ++number) {
            if (other.numberedPorts_[number].sources != 0) {
                const auto port = static_cast<std::uint16_t>(number);
                CountPort(port, other.PortCount(port));
            }
        }
    }
    std::vector<std::uint32_t> sourceIds(other.sources_.size());
    for (std::uint32_t id = 0; id < other.sources_.size(); ++id) {
        const Source& from = other.sources_[id];
        sourceIds[id] = SourceIdOf(other, id);
        Source& to = sources_[sourceIds[id]];
        to.count += from.count;
        if (from.timed) {
            CountTime(to, from.first);
            CountTime(to, from.last);
        }
        from.numbers.ForEach([&](std::uint16_t port) {
            if (to.numbers.Insert(port)) {
                ++to.ports;
                ++numberedPorts_[port].sources;
            }
        });
    }
    std::vector<std::uint32_t> portIds(other.portNames_.size());
    for (std::uint32_t id = 0; id < other.portNames_.size(); ++id) {
        portIds[id] = NamedPortId(other.portNames_[id]);
        namedPorts_[portIds[id]].count += other.namedPorts_[id].count;
    }
    for (const std::uint64_t stored : other.namedPairs_) {
        if (stored == 0) {
            continue;
        }
        const std::uint64_t pair = stored - 1;
        const std::uint32_t source = sourceIds[pair >> 32];
        const std::uint32_t port = portIds[static_cast<std::uint32_t>(pair)];
        if (InsertNamedPair(static_cast<std::uint64_t>(source) << 32 | port)) {
            ++sources_[source].ports;
            ++namedPorts_[port].sources;
        }
    }
}

StatisticsReport EntryStatistics::Report(std::size_t top) {
    CountPending();
    StatisticsReport report;
    report.entries = entries_;
    report.first = first_;
    report.last = last_;

    // Sources: count descending, then as AddressBefore orders their texts, which is by
    // (dotted quad first, its number, text).
    struct SourceKey {
        std::uint64_t count;
        bool quad;
        std::uint32_t number;
        std::string text;
        std::uint32_t id;
    };
    std::vector<SourceKey> sources;
    sources.reserve(sources_.size());
    for (std::uint32_t id = 0; id < sources_.size(); ++id) {
        const Source& s = sources_[id];
        if (s.dotted) {
            char text[16];
            std::snprintf(text, sizeof text, "%u.%u.%u.%u", s.key >> 24, s.key >> 16 & 255,
                          s.key >> 8 & 255, s.key & 255);
            sources.push_back({s.count, true, s.key, text, id});
        } else {
            const std::string& text = namedSources_[s.key];
            const std::optional<std::uint32_t> number = DottedQuad(text);
            sources.push_back({s.count, number.has_value(), number.value_or(0), text, id});
        }
    }
    const auto sourceBefore = [](const SourceKey& a, const SourceKey& b) {
        if (a.count != b.count) {
            return a.count > b.count;
        }
        if (a.quad != b.quad) {
            return a.quad;
        }
        if (a.quad && a.number != b.number) {
            return a.number < b.number;
        }
        return a.text < b.text;
    };
    std::size_t keep = top == 0 ? sources.size() : std::min(top, sources.size());
    std::partial_sort(sources.begin(), sources.begin() + static_cast<std::ptrdiff_t>(keep),
                      sources.end(), sourceBefore);
    report.sources.reserve(keep);
    for (std::size_t i = 0; i < keep; ++i) {
        const Source& s = sources_[sources[i].id];
        SourceRow row{std::move(sources[i].text), s.count, std::nullopt, std::nullopt, s.ports};
        if (s.timed) {
            row.first = s.first;
            row.last = s.last;
        }
        report.sources.push_back(std::move(row));
    }

    // Ports: count descending, then plain numbers in order, then other texts in order.
    struct PortKey {
        std::uint64_t count;
        bool named;
        std::uint32_t index;  // the number, or the index in portNames_
    };
    std::vector<PortKey> ports;
    for (std::uint32_t number = 0; number < numberedPorts_.size(); ++number) {
        if (numberedPorts_[number].sources != 0) {
            ports.push_back({PortCount(static_cast<std::uint16_t>(number)), false, number});
        }
    }
    for (std::uint32_t id = 0; id < namedPorts_.size(); ++id) {
        ports.push_back({namedPorts_[id].count, true, id});
    }
    const auto portBefore = [this](const PortKey& a, const PortKey& b) {
        if (a.count != b.count) {
            return a.count > b.count;
        }
        if (a.named != b.named) {
            return b.named;
        }
        return a.named ? portNames_[a.index] < portNames_[b.index] : a.index < b.index;
    };
    keep = top == 0 ? ports.size() : std::min(top, ports.size());
    std::partial_sort(ports.begin(), ports.begin() + static_cast<std::ptrdiff_t>(keep), ports.end(),
                      portBefore);
    report.ports.reserve(keep);
    for (std::size_t i = 0; i < keep; ++i) {
        const PortKey& key = ports[i];
        const std::uint64_t portSources =
            key.named ? namedPorts_[key.index].sources : numberedPorts_[key.index].sources;
        report.ports.push_back({key.named ? portNames_[key.index] : std::to_string(key.index),
                                static_cast<std::size_t>(key.count),
                                static_cast<std::size_t>(portSources),
                                {}});
    }

    if (first_) {
        const std::int64_t from = FloorDiv(*first_, kSecondsPerHour);
        const std::int64_t to = FloorDiv(*last_, kSecondsPerHour);
        report.hours.reserve(static_cast<std::size_t>(to - from + 1));
        for (std::int64_t hour = from; hour <= to; ++hour) {
            const auto index = static_cast<std::uint64_t>(hour - firstHour_);
            report.hours.push_back({hour, index < hourCounts_.size()
                                              ? static_cast<std::size_t>(hourCounts_[index])
                                              : 0});
        }
    }
    return report;
}

void DescribePorts(const PortTable& table, std::vector<PortRow>& rows) {
    std::unordered_map<std::string, std::string> descriptions;
    for (const std::string& line : table.LoadLines().lines) {
        const std::size_t tab = line.find('\t');
        if (IsCommentLine(line) || tab == std::string::npos) {
            continue;
        }
        descriptions.emplace(line.substr(0, tab), line.substr(tab + 1));
    }
    for (PortRow& row : rows) {
        const auto found = descriptions.find(row.port);
        row.description = found != descriptions.end()
                              ? found->second
                              : std::string(AnalyzerString(ids::kUnknownPort));
    }
}

}  // namespace analyzer
