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
std::optional<std::uint32_t> PlainDottedQuad(std::string_view text) {
    std::uint32_t address = 0;
    std::size_t pos = 0;
    for (int part = 0; part < 4; ++part) {
        const std::size_t start = pos;
        const std::optional<int> value = Number(text, pos, 1, 3, part < 3 ? '.' : '\0');
        if (!value || *value > 255 || (text[start] == '0' && *value != 0) ||
            (*value == 0 && pos - start != (part < 3 ? 2 : 1))) {
            return std::nullopt;
        }
        address = address << 8 | static_cast<std::uint32_t>(*value);
    }
    return address;
}

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

void EntryStatistics::Clear() {
    *this = EntryStatistics();
}

std::uint32_t EntryStatistics::Intern(Index& index, std::vector<std::string>& names,
                                      std::string_view text) {
    const auto found = index.find(text);
    if (found != index.end()) {
        return found->second;
    }
    const auto id = static_cast<std::uint32_t>(names.size());
    names.emplace_back(text);
    index.emplace(names.back(), id);
    return id;
}

std::uint32_t EntryStatistics::SourceId(std::string_view source) {
    const std::optional<std::uint32_t> address = PlainDottedQuad(source);
    if (!address) {
        return Intern(sourceIndex_, sourceNames_, source);
    }
    if ((sourceNames_.size() + 1) * 2 > addressSlots_.size()) {
        std::vector<std::uint64_t> old(std::max<std::size_t>(addressSlots_.size() * 2, 1024), 0);
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
    const std::size_t mask = addressSlots_.size() - 1;
    for (std::size_t slot = Mix(*address) & mask;; slot = (slot + 1) & mask) {
        const std::uint64_t value = addressSlots_[slot];
        if (value == 0) {
            const auto id = static_cast<std::uint32_t>(sourceNames_.size());
            sourceNames_.emplace_back(source);
            addressSlots_[slot] = static_cast<std::uint64_t>(*address) << 32 | (id + 1);
            return id;
        }
        if (value >> 32 == *address) {
            return static_cast<std::uint32_t>(value) - 1;
        }
    }
}

std::uint32_t EntryStatistics::PortId(std::string_view port) {
    const std::optional<unsigned> number = CanonicalPort(port);
    if (!number) {
        return Intern(portIndex_, portNames_, port);
    }
    if (portIds_.empty()) {
        portIds_.assign(65536, 0);
    }
    std::uint32_t& id = portIds_[*number];
    if (id == 0) {
        portNames_.emplace_back(port);
        id = static_cast<std::uint32_t>(portNames_.size());
    }
    return id - 1;
}

bool EntryStatistics::InsertPair(std::uint64_t pair) {
    const std::uint64_t stored = pair + 1;
    if ((pairCount_ + 1) * 2 > pairs_.size()) {
        std::vector<std::uint64_t> old(std::max<std::size_t>(pairs_.size() * 2, 1024), 0);
        old.swap(pairs_);
        const std::size_t mask = pairs_.size() - 1;
        for (const std::uint64_t value : old) {
            if (value != 0) {
                std::size_t slot = Mix(value) & mask;
                while (pairs_[slot] != 0) {
                    slot = (slot + 1) & mask;
                }
                pairs_[slot] = value;
            }
        }
    }
    const std::size_t mask = pairs_.size() - 1;
    std::size_t slot = Mix(stored) & mask;
    while (pairs_[slot] != 0) {
        if (pairs_[slot] == stored) {
            return false;
        }
        slot = (slot + 1) & mask;
    }
    pairs_[slot] = stored;
    ++pairCount_;
    return true;
}

void EntryStatistics::Add(const LogEntry& entry) {
    if (entry.date != lastDate_ || lastDate_.empty()) {
        lastDate_ = entry.date;
        lastDay_ = ParseDay(entry.date);
    }
    std::optional<std::int64_t> when;
    if (lastDay_) {
        const std::optional<std::int64_t> second = ParseTimeOfDay(entry.time);
        if (second) {
            when = *lastDay_ * kSecondsPerDay + *second;
        }
    }
    Add(entry.sourceIp, entry.destinationPort, when);
}

void EntryStatistics::AddListed(std::string_view listText) {
    // The filters were applied when the list was made; none is asked again.
    class NoFilters : public FilterSource {
      public:
        bool IsActiveFilter(std::string_view, std::string_view) const override { return false; }
    };
    static const NoFilters kNone;
    if (ParseEntry(listText, kNone, scratch_)) {
        Add(scratch_);
    }
}

void EntryStatistics::Add(std::string_view source, std::string_view port,
                          std::optional<std::int64_t> when) {
    ++entries_;
    const std::uint32_t sourceId = SourceId(source);
    if (sourceId == sources_.size()) {
        sources_.emplace_back();
    }
    const std::uint32_t portId = PortId(port);
    if (portId == ports_.size()) {
        ports_.emplace_back();
    }
    Source& s = sources_[sourceId];
    Port& p = ports_[portId];
    ++s.count;
    ++p.count;
    if (InsertPair(static_cast<std::uint64_t>(sourceId) << 32 | portId)) {
        ++s.ports;
        ++p.sources;
    }
    if (!when) {
        return;
    }
    if (!s.timed) {
        s.first = s.last = *when;
        s.timed = true;
    } else {
        s.first = std::min(s.first, *when);
        s.last = std::max(s.last, *when);
    }
    first_ = first_ ? std::min(*first_, *when) : *when;
    last_ = last_ ? std::max(*last_, *when) : *when;
    const std::int64_t hour = FloorDiv(*when, kSecondsPerHour);
    if (lastHourCount_ == nullptr || hour != lastHour_) {
        lastHour_ = hour;
        lastHourCount_ = &hours_[hour];
    }
    ++*lastHourCount_;
}

StatisticsReport EntryStatistics::Report(std::size_t top) const {
    StatisticsReport report;
    report.entries = entries_;
    report.first = first_;
    report.last = last_;

    std::vector<std::uint32_t> order(sources_.size());
    for (std::uint32_t i = 0; i < order.size(); ++i) {
        order[i] = i;
    }
    const auto sourceBefore = [&](std::uint32_t a, std::uint32_t b) {
        if (sources_[a].count != sources_[b].count) {
            return sources_[a].count > sources_[b].count;
        }
        return AddressBefore(sourceNames_[a], sourceNames_[b]);
    };
    std::size_t keep = top == 0 ? order.size() : std::min(top, order.size());
    std::partial_sort(order.begin(), order.begin() + static_cast<std::ptrdiff_t>(keep), order.end(),
                      sourceBefore);
    for (std::size_t i = 0; i < keep; ++i) {
        const Source& s = sources_[order[i]];
        SourceRow row{sourceNames_[order[i]], s.count, std::nullopt, std::nullopt, s.ports};
        if (s.timed) {
            row.first = s.first;
            row.last = s.last;
        }
        report.sources.push_back(std::move(row));
    }

    order.resize(ports_.size());
    for (std::uint32_t i = 0; i < order.size(); ++i) {
        order[i] = i;
    }
    const auto portBefore = [&](std::uint32_t a, std::uint32_t b) {
        if (ports_[a].count != ports_[b].count) {
            return ports_[a].count > ports_[b].count;
        }
        return PortBefore(portNames_[a], portNames_[b]);
    };
    keep = top == 0 ? order.size() : std::min(top, order.size());
    std::partial_sort(order.begin(), order.begin() + static_cast<std::ptrdiff_t>(keep), order.end(),
                      portBefore);
    for (std::size_t i = 0; i < keep; ++i) {
        const Port& p = ports_[order[i]];
        report.ports.push_back({portNames_[order[i]], p.count, p.sources, {}});
    }

    if (first_) {
        const std::int64_t from = FloorDiv(*first_, kSecondsPerHour);
        const std::int64_t to = FloorDiv(*last_, kSecondsPerHour);
        report.hours.reserve(static_cast<std::size_t>(to - from + 1));
        for (std::int64_t hour = from; hour <= to; ++hour) {
            const auto found = hours_.find(hour);
            report.hours.push_back({hour, found == hours_.end() ? 0 : found->second});
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
