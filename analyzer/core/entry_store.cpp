#include "analyzer/core/entry_store.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <stdexcept>
#include <utility>

namespace analyzer {
namespace {

// What the list adds around the seven tokens: three spaces, "[", "] ==> ", "[" and "]".
constexpr std::size_t kFormatOverhead = 12;

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// A decimal number of at most `maxDigits` digits, without leading zeros, up to `max`.
bool ParseCanonical(std::string_view text, std::size_t maxDigits, std::uint32_t max,
                    std::uint32_t& value) {
    if (text.empty() || text.size() > maxDigits || (text[0] == '0' && text.size() > 1)) {
        return false;
    }
    std::uint32_t v = 0;
    for (const char c : text) {
        if (!IsDigit(c)) {
            return false;
        }
        v = v * 10 + static_cast<std::uint32_t>(c - '0');
    }
    if (v > max) {
        return false;
    }
    value = v;
    return true;
}

// Dotted decimal as the receiver writes it: four octets, none with a leading zero.
// One pass, as every listed entry has two.
bool ParseAddress(std::string_view text, std::uint32_t& address) {
    if (text.size() < 7 || text.size() > 15) {
        return false;
    }
    std::uint32_t value = 0;
    std::uint32_t octet = 0;
    int digits = 0;
    int dots = 0;
    for (const char c : text) {
        if (c == '.') {
            if (digits == 0 || ++dots > 3) {
                return false;
            }
            value = (value << 8) | octet;
            octet = 0;
            digits = 0;
        } else if (IsDigit(c)) {
            if (digits == 1 && octet == 0) {
                return false;
            }
            octet = octet * 10 + static_cast<std::uint32_t>(c - '0');
            if (++digits > 3 || octet > 255) {
                return false;
            }
        } else {
            return false;
        }
    }
    if (dots != 3 || digits == 0) {
        return false;
    }
    address = (value << 8) | octet;
    return true;
}

bool ParsePort(std::string_view text, std::uint16_t& port) {
    std::uint32_t value = 0;
    if (!ParseCanonical(text, 5, 65535, value)) {
        return false;
    }
    port = static_cast<std::uint16_t>(value);
    return true;
}

// "HH:MM:SS" of a real second of a day.
bool ParseTime(std::string_view text, std::uint32_t& second) {
    if (text.size() != 8 || text[2] != ':' || text[5] != ':') {
        return false;
    }
    for (const std::size_t i : {0, 1, 3, 4, 6, 7}) {
        if (!IsDigit(text[i])) {
            return false;
        }
    }
    const auto two = [&](std::size_t i) {
        return static_cast<std::uint32_t>((text[i] - '0') * 10 + (text[i + 1] - '0'));
    };
    const std::uint32_t h = two(0);
    const std::uint32_t m = two(3);
    const std::uint32_t s = two(6);
    if (h > 23 || m > 59 || s > 59) {
        return false;
    }
    second = h * 3600 + m * 60 + s;
    return true;
}

char* PutNumber(char* out, std::uint32_t value) {
    char digits[10];
    int n = 0;
    do {
        digits[n++] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value != 0);
    while (n > 0) {
        *out++ = digits[--n];
    }
    return out;
}

char* PutAddress(char* out, std::uint32_t address) {
    for (int shift = 24; shift >= 0; shift -= 8) {
        out = PutNumber(out, (address >> shift) & 0xFF);
        if (shift != 0) {
            *out++ = '.';
        }
    }
    return out;
}

char* PutTwo(char* out, std::uint32_t value) {
    *out++ = static_cast<char>('0' + value / 10);
    *out++ = static_cast<char>('0' + value % 10);
    return out;
}

char* PutText(char* out, std::string_view text) {
    std::memcpy(out, text.data(), text.size());
    return out + text.size();
}

std::size_t NumberLength(std::uint32_t value) {
    std::size_t n = 1;
    for (; value >= 10; value /= 10) {
        ++n;
    }
    return n;
}

std::size_t AddressLength(std::uint32_t address) {
    return 3 + NumberLength(address >> 24) + NumberLength((address >> 16) & 0xFF) +
           NumberLength((address >> 8) & 0xFF) + NumberLength(address & 0xFF);
}

std::size_t TextLengthOf(const EntryTokens& t) {
    return t.date.size() + t.time.size() + t.direction.size() + t.sourceIp.size() +
           t.sourcePort.size() + t.destinationIp.size() + t.destinationPort.size() +
           kFormatOverhead;
}

class NoFilters : public FilterSource {
  public:
    bool IsActiveFilter(std::string_view, std::string_view) const override { return false; }
};

}  // namespace

void EntryChunk::Clear() {
    *this = EntryChunk();
}

void EntryChunk::Trim() {
    if (records_.capacity() - records_.size() > records_.size() / 4) {
        records_.shrink_to_fit();
    }
}

std::size_t EntryChunk::Intern(std::vector<std::string>& names, std::size_t& last,
                               std::string_view name, std::size_t limit) {
    if (last < names.size() && names[last] == name) {
        return last;
    }
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (names[i] == name) {
            return last = i;
        }
    }
    if (names.size() >= limit || name.size() > kMaxNameLength) {
        return limit;
    }
    names.emplace_back(name);
    return last = names.size() - 1;
}

bool EntryChunk::Pack(const EntryTokens& t, Record& record) {
    std::uint32_t second = 0;
    if (!ParseTime(t.time, second) || !ParseAddress(t.sourceIp, record.source) ||
        !ParseAddress(t.destinationIp, record.target) ||
        !ParsePort(t.sourcePort, record.sourcePort) ||
        !ParsePort(t.destinationPort, record.targetPort)) {
        return false;
    }
    const std::size_t direction = Intern(directions_, lastDirection_, t.direction, kKeptText);
    if (direction == kKeptText) {
        return false;
    }
    const std::size_t date = Intern(dates_, lastDate_, t.date, kMaxDates);
    if (date == kMaxDates) {
        return false;
    }
    record.when = second | static_cast<std::uint32_t>(direction) << kSecondBits |
                  static_cast<std::uint32_t>(date) << (kSecondBits + kDirectionBits);
    return true;
}

void EntryChunk::Keep(std::string_view text) {
    Record record{};
    record.source = static_cast<std::uint32_t>(textEnds_.size());
    record.when = kKeptText << kSecondBits;
    keptText_.append(text);
    textEnds_.push_back(keptText_.size());
    records_.push_back(record);
    textSize_ += text.size();
}

void EntryChunk::Append(const EntryTokens& tokens) {
    Record record;
    if (Pack(tokens, record)) {
        records_.push_back(record);
        textSize_ += TextLengthOf(tokens);
        return;
    }
    const LogEntry entry = tokens.ToEntry();
    Keep(FormatEntry(entry, entry.destinationIp));
}

void EntryChunk::AppendText(std::string_view text) {
    EntryTokens tokens;
    Record record;
    if (ParseEntryTokens(text, NoFilters(), tokens) && TextLengthOf(tokens) == text.size() &&
        Pack(tokens, record)) {
        records_.push_back(record);
        textSize_ += text.size();
        std::string back;
        EntryInto(records_.size() - 1, back);
        if (back == text) {
            return;
        }
        records_.pop_back();
        textSize_ -= text.size();
    }
    Keep(text);
}

std::size_t EntryChunk::TextLength(std::size_t index) const {
    const Record& r = records_.at(index);
    if (DirectionOf(r.when) == kKeptText) {
        return textEnds_[r.source] - (r.source == 0 ? 0 : textEnds_[r.source - 1]);
    }
    return dates_[r.when >> (kSecondBits + kDirectionBits)].size() + 8 +
           directions_[DirectionOf(r.when)].size() + AddressLength(r.source) +
           NumberLength(r.sourcePort) + AddressLength(r.target) + NumberLength(r.targetPort) +
           kFormatOverhead;
}

void EntryChunk::EntryInto(std::size_t index, std::string& out) const {
    const Record& r = records_.at(index);
    const unsigned direction = DirectionOf(r.when);
    if (direction == kKeptText) {
        const std::size_t begin = r.source == 0 ? 0 : textEnds_[r.source - 1];
        out.assign(keptText_, begin, textEnds_[r.source] - begin);
        return;
    }
    const std::string& date = dates_[r.when >> (kSecondBits + kDirectionBits)];
    const std::string& name = directions_[direction];
    const std::uint32_t second = r.when & ((1u << kSecondBits) - 1);
    // Addresses take at most 15 characters, ports 5, the time 8.
    char buffer[2 * kMaxNameLength + 8 + 2 * 15 + 2 * 5 + kFormatOverhead];
    char* p = PutText(buffer, date);
    *p++ = ' ';
    p = PutTwo(p, second / 3600);
    *p++ = ':';
    p = PutTwo(p, second / 60 % 60);
    *p++ = ':';
    p = PutTwo(p, second % 60);
    *p++ = ' ';
    p = PutText(p, name);
    *p++ = ' ';
    p = PutAddress(p, r.source);
    *p++ = '[';
    p = PutNumber(p, r.sourcePort);
    p = PutText(p, "] ==> ");
    p = PutAddress(p, r.target);
    *p++ = '[';
    p = PutNumber(p, r.targetPort);
    *p++ = ']';
    out.assign(buffer, static_cast<std::size_t>(p - buffer));
}

void EntryChunk::Truncate(std::size_t entries) {
    while (records_.size() > entries) {
        textSize_ -= TextLength(records_.size() - 1);
        const Record& r = records_.back();
        if (DirectionOf(r.when) == kKeptText) {
            textEnds_.pop_back();
            keptText_.resize(textEnds_.empty() ? 0 : textEnds_.back());
        }
        records_.pop_back();
    }
}

EntryStore::EntryStore(std::size_t textLimit)
    : textLimit_(std::min<std::size_t>(textLimit, std::numeric_limits<std::uint32_t>::max())) {}

void EntryStore::ClearEntries() {
    runs_.clear();
    runs_.shrink_to_fit();
    runStarts_.clear();
    runStarts_.shrink_to_fit();
    size_ = 0;
    textSize_ = 0;
}

bool EntryStore::Admit(unsigned long long textLength) const {
    return textLength <= textLimit_ - textSize_ &&
           size_ < std::numeric_limits<std::uint32_t>::max();
}

EntryChunk& EntryStore::OpenRun() {
    if (runs_.empty() || runs_.back().size() >= kRunEntries) {
        runStarts_.push_back(size_);
        runs_.emplace_back();
    }
    return runs_.back();
}

bool EntryStore::AppendEntry(std::string_view text) {
    if (!Admit(text.size())) {
        return false;
    }
    OpenRun().AppendText(text);
    textSize_ += text.size();
    ++size_;
    return true;
}

bool EntryStore::AppendParsedEntry(const LogEntry& entry, std::string_view) {
    const EntryTokens tokens{entry.date,           entry.time,       entry.direction,
                             entry.sourceIp,       entry.sourcePort, entry.destinationIp,
                             entry.destinationPort};
    const std::size_t length = TextLengthOf(tokens);
    if (!Admit(length)) {
        return false;
    }
    OpenRun().Append(tokens);
    textSize_ += length;
    ++size_;
    return true;
}

bool EntryStore::AppendChunk(EntryChunk&& chunk) {
    bool whole = true;
    if (chunk.textSize() > textLimit_ - textSize_) {
        // Cut where a line at a time would have been refused.
        std::size_t fits = 0;
        unsigned long long text = textSize_;
        while (fits < chunk.size() && chunk.TextLength(fits) <= textLimit_ - text) {
            text += chunk.TextLength(fits);
            ++fits;
        }
        chunk.Truncate(fits);
        whole = false;
    }
    if (chunk.size() > std::numeric_limits<std::uint32_t>::max() - size_) {
        chunk.Truncate(std::numeric_limits<std::uint32_t>::max() - size_);
        whole = false;
    }
    if (chunk.empty()) {
        return whole;
    }
    runStarts_.push_back(size_);
    size_ += chunk.size();
    textSize_ += chunk.textSize();
    runs_.push_back(std::move(chunk));
    return whole;
}

void EntryStore::RemoveLast() {
    if (size_ == 0) {
        return;
    }
    EntryChunk& run = runs_.back();
    textSize_ -= run.TextLength(run.size() - 1);
    run.Truncate(run.size() - 1);
    --size_;
    if (run.empty()) {
        runs_.pop_back();
        runStarts_.pop_back();
    }
}

void EntryStore::EntryInto(std::size_t index, std::string& out) const {
    if (index >= size_) {
        throw std::out_of_range("entry index");
    }
    const auto next = std::upper_bound(runStarts_.begin(), runStarts_.end(), index);
    const std::size_t run = static_cast<std::size_t>(next - runStarts_.begin()) - 1;
    runs_[run].EntryInto(index - runStarts_[run], out);
}

std::string EntryStore::Entry(std::size_t index) const {
    std::string text;
    EntryInto(index, text);
    return text;
}

bool ReadEntriesInto(LogReader& log, const FilterSource& filters, EntryChunk& chunk,
                     std::size_t entries) {
    EntryTokens tokens;
    while (chunk.size() < entries) {
        const std::optional<std::string_view> read = log.NextChunk();
        if (!read) {
            return true;
        }
        // A line read as text ends at a NUL byte, as it would in a C string.
        const std::string_view line = read->substr(0, read->find('\0'));
        if (HasInboundMarker(line) && ParseEntryTokens(line, filters, tokens)) {
            chunk.Append(tokens);
        }
    }
    return false;
}

}  // namespace analyzer
