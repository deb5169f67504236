#include "receiver/core/alert_rules.h"

#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>

#include "common/ascii.h"
#include "common/file_io.h"
#include "common/profile_lines.h"
#include "common/profile_snapshot.h"
#include "receiver/core/receiver_settings.h"

namespace receiver {
namespace {

// A pathological pattern gives up instead of stalling the receive path.
constexpr std::uint32_t kMatchLimit = 100000;
constexpr std::uint32_t kDepthLimit = 1000;

std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
        text.remove_prefix(1);
    }
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) {
        text.remove_suffix(1);
    }
    return text;
}

std::optional<unsigned> ParseKinds(std::string_view list, std::string& bad) {
    unsigned kinds = 0;
    while (true) {
        const std::size_t comma = list.find(',');
        const std::string_view word = TrimBlanks(list.substr(0, comma));
        if (common::EqualsIgnoringAsciiCase(word, "incoming")) {
            kinds |= kAlertIncoming;
        } else if (common::EqualsIgnoringAsciiCase(word, "outgoing")) {
            kinds |= kAlertOutgoing;
        } else if (common::EqualsIgnoringAsciiCase(word, "messages")) {
            kinds |= kAlertMessages;
        } else if (!word.empty() || comma != std::string_view::npos) {
            bad = word;
            return std::nullopt;
        }
        if (comma == std::string_view::npos) {
            break;
        }
        list.remove_prefix(comma + 1);
    }
    return kinds == 0 ? kAlertAllKinds : kinds;
}

// "a.b.c.d" from the start of `text` up to `end`, only when it is the whole word.
std::optional<std::uint32_t> AddressBetween(std::string_view text, std::size_t begin,
                                            std::size_t end) {
    if (begin == std::string_view::npos || end == std::string_view::npos || end <= begin) {
        return std::nullopt;
    }
    return common::ParseAddress(text.substr(begin, end - begin));
}

std::optional<unsigned> PortOf(std::string_view digits) {
    if (digits.empty() || digits.size() > 5) {
        return std::nullopt;
    }
    unsigned port = 0;
    for (const char c : digits) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        port = port * 10 + static_cast<unsigned>(c - '0');
    }
    return port <= 65535 ? std::optional(port) : std::nullopt;
}

bool IsAlertSection(std::string_view name) {
    return name.size() > kAlertSectionPrefix.size() &&
           common::EqualsIgnoringAsciiCase(name.substr(0, kAlertSectionPrefix.size()),
                                           kAlertSectionPrefix);
}

bool FitsOnALine(std::string_view text) {
    return text.find_first_of("\r\n") == std::string_view::npos;
}

std::string ReadWholeFile(const std::string& path, bool& missing) {
    std::string content;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    missing = fd < 0;
    if (fd < 0) {
        return content;
    }
    char buffer[8192];
    for (ssize_t n; (n = ::read(fd, buffer, sizeof buffer)) > 0;) {
        content.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fd);
    return content;
}

}  // namespace

struct AlertPattern::Impl {
    pcre2_code* code = nullptr;
    pcre2_match_data* matchData = nullptr;
    pcre2_match_context* context = nullptr;
    bool jit = false;
};

std::unique_ptr<AlertPattern> AlertPattern::Compile(std::string_view pattern, std::string& error) {
    int errorCode = 0;
    PCRE2_SIZE errorOffset = 0;
    pcre2_code* code = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(pattern.data()), pattern.size(),
                                     0, &errorCode, &errorOffset, nullptr);
    if (code == nullptr) {
        PCRE2_UCHAR message[256];
        pcre2_get_error_message(errorCode, message, sizeof message);
        error = reinterpret_cast<const char*>(message);
        error += " at offset " + std::to_string(errorOffset);
        return nullptr;
    }
    std::unique_ptr<AlertPattern> compiled(new AlertPattern);
    compiled->impl_ = new Impl;
    compiled->impl_->code = code;
    compiled->impl_->jit = pcre2_jit_compile(code, PCRE2_JIT_COMPLETE) == 0;
    compiled->impl_->matchData = pcre2_match_data_create(1, nullptr);
    compiled->impl_->context = pcre2_match_context_create(nullptr);
    pcre2_set_match_limit(compiled->impl_->context, kMatchLimit);
    pcre2_set_depth_limit(compiled->impl_->context, kDepthLimit);
    if (compiled->impl_->matchData == nullptr || compiled->impl_->context == nullptr) {
        error = "out of memory";
        return nullptr;
    }
    return compiled;
}

AlertPattern::~AlertPattern() {
    if (impl_ != nullptr) {
        pcre2_match_context_free(impl_->context);
        pcre2_match_data_free(impl_->matchData);
        pcre2_code_free(impl_->code);
        delete impl_;
    }
}

bool AlertPattern::Matches(std::string_view text) const {
    const auto subject = reinterpret_cast<PCRE2_SPTR>(text.data());
    const int result = impl_->jit ? pcre2_jit_match(impl_->code, subject, text.size(), 0, 0,
                                                    impl_->matchData, impl_->context)
                                  : pcre2_match(impl_->code, subject, text.size(), 0, 0,
                                                impl_->matchData, impl_->context);
    return result >= 0;
}

bool ContainsIgnoringCase(std::string_view haystack, std::string_view lowerNeedle) {
    if (lowerNeedle.empty()) {
        return true;
    }
    if (lowerNeedle.size() > haystack.size()) {
        return false;
    }
    const char first = lowerNeedle.front();
    const std::size_t lastStart = haystack.size() - lowerNeedle.size();
    for (std::size_t i = 0; i <= lastStart; ++i) {
        if (common::AsciiLower(haystack[i]) != first) {
            continue;
        }
        std::size_t j = 1;
        while (j < lowerNeedle.size() && common::AsciiLower(haystack[i + j]) == lowerNeedle[j]) {
            ++j;
        }
        if (j == lowerNeedle.size()) {
            return true;
        }
    }
    return false;
}

AlertRecord DescribeRecord(std::string_view recordText) {
    AlertRecord record;
    if (!recordText.starts_with('@')) {
        record.kind = kAlertMessages;
        record.text = recordText;
        return record;
    }
    const char letter = recordText.size() > 1 ? recordText[1] : '\0';
    record.kind = letter == 'i' ? kAlertIncoming : letter == 'o' ? kAlertOutgoing : kAlertMessages;
    const std::string_view body = recordText.substr(1);
    record.text = body;
    if (const std::size_t arrow = body.find(" ==> "); arrow != std::string_view::npos) {
        // "in 203.0.113.45[4512] ==> 198.51.100.7[80]"
        const std::size_t space = body.find(' ');
        record.source = AddressBetween(body, space + 1, body.find('[', space + 1));
        const std::size_t open = body.rfind('[');
        if (open != std::string_view::npos && open > arrow && body.ends_with(']')) {
            record.destinationPort = PortOf(body.substr(open + 1, body.size() - open - 2));
        }
        return record;
    }
    // "in 203.0.113.45 4512 198.51.100.7 80"
    std::size_t spaces[4];
    std::size_t from = 0;
    for (std::size_t& space : spaces) {
        space = body.find(' ', from);
        if (space == std::string_view::npos) {
            return record;
        }
        from = space + 1;
    }
    record.source = AddressBetween(body, spaces[0] + 1, spaces[1]);
    record.destinationPort = PortOf(body.substr(spaces[3] + 1));
    return record;
}

std::optional<AlertRule> AlertRule::Parse(const AlertRuleText& text, std::string& error) {
    AlertRule rule;
    rule.name_ = text.name;
    if (TrimBlanks(text.name).empty()) {
        error = "the rule has no name";
        return std::nullopt;
    }
    const std::string_view enabled = TrimBlanks(text.enabled);
    rule.enabled_ = enabled.empty() || IsTrueValue(enabled);

    std::string badKind;
    const auto kinds = ParseKinds(text.kinds, badKind);
    if (!kinds) {
        error = "kinds \"" + badKind + "\" is not incoming, outgoing or messages";
        return std::nullopt;
    }
    rule.kinds_ = *kinds;

    for (const char c : text.text) {
        rule.lowerText_ += common::AsciiLower(c);
    }
    if (!text.regex.empty()) {
        std::string reason;
        auto pattern = AlertPattern::Compile(text.regex, reason);
        if (!pattern) {
            error = "regex \"" + text.regex + "\" is not a valid regular expression: " + reason;
            return std::nullopt;
        }
        rule.pattern_ = std::move(pattern);
    }
    if (const std::string_view source = TrimBlanks(text.source); !source.empty()) {
        rule.source_ = common::ParseAddressBlock(source);
        if (!rule.source_) {
            error = "source \"" + text.source + "\" is not an address or CIDR block";
            return std::nullopt;
        }
    }
    if (const std::string_view ports = TrimBlanks(text.ports); !ports.empty()) {
        rule.ports_ = common::ParsePortRange(ports);
        if (!rule.ports_) {
            error = "ports \"" + text.ports + "\" is not a port or a range of ports";
            return std::nullopt;
        }
    }
    return rule;
}

bool AlertRule::Matches(const AlertRecord& record) const {
    if ((kinds_ & record.kind) == 0) {
        return false;
    }
    if (source_ && !(record.source && source_->Contains(*record.source))) {
        return false;
    }
    if (ports_ && !(record.destinationPort && ports_->Contains(*record.destinationPort))) {
        return false;
    }
    if (!ContainsIgnoringCase(record.text, lowerText_)) {
        return false;
    }
    return !pattern_ || pattern_->Matches(record.text);
}

AlertRuleSet LoadAlertRules(std::string_view profileContent) {
    AlertRuleSet set;
    const common::ProfileSnapshot snapshot(profileContent);
    std::vector<std::string> seen;
    for (const auto& line : common::profile::ParseLines(profileContent)) {
        if (line.kind != common::profile::LineKind::kSection ||
            line.name.size() <= kAlertSectionPrefix.size() ||
            !common::EqualsIgnoringAsciiCase(
                std::string_view(line.name).substr(0, kAlertSectionPrefix.size()),
                kAlertSectionPrefix)) {
            continue;
        }
        // The first of two sections with one name is the one that counts.
        bool duplicate = false;
        for (const std::string& name : seen) {
            duplicate = duplicate || common::EqualsIgnoringAsciiCase(name, line.name);
        }
        if (duplicate) {
            continue;
        }
        seen.push_back(line.name);

        AlertRuleText text;
        text.name = line.name.substr(kAlertSectionPrefix.size());
        auto read = [&](std::string_view key) { return snapshot.ReadString(line.name, key, ""); };
        text.enabled = read("enabled");
        text.kinds = read("kinds");
        text.text = read("text");
        text.regex = read("regex");
        text.source = read("source");
        text.ports = read("ports");
        set.texts.push_back(text);

        std::string error;
        if (auto rule = AlertRule::Parse(text, error)) {
            set.rules.push_back(std::move(*rule));
        } else {
            set.problems.push_back("alert \"" + text.name + "\" skipped: " + error);
        }
    }
    return set;
}

AlertRuleSet LoadAlertRulesFromFile(const std::string& path) {
    bool missing = false;
    return LoadAlertRules(ReadWholeFile(path, missing));
}

std::optional<std::string> ReplaceAlertSections(std::string_view content,
                                                const std::vector<AlertRuleText>& rules) {
    std::string out;
    bool skipping = false;
    for (const auto& line : common::profile::ParseLines(content)) {
        if (line.kind == common::profile::LineKind::kSection) {
            skipping = IsAlertSection(line.name);
        }
        if (!skipping) {
            out += line.raw;
        }
    }
    const std::string eol = content.find("\r\n") != std::string_view::npos ? "\r\n" : "\n";
    if (!out.empty() && out.back() != '\n') {
        out += eol;
    }
    for (const AlertRuleText& rule : rules) {
        const std::string_view name = TrimBlanks(rule.name);
        if (name.empty() || name.find(']') != std::string_view::npos || !FitsOnALine(name)) {
            return std::nullopt;
        }
        out.append("[").append(kAlertSectionPrefix).append(name).append("]").append(eol);
        const std::string_view enabled = TrimBlanks(rule.enabled);
        out.append("enabled=")
            .append(enabled.empty() || IsTrueValue(enabled) ? "On" : "Off")
            .append(eol);
        const std::pair<const char*, const std::string*> keys[] = {{"kinds", &rule.kinds},
                                                                   {"text", &rule.text},
                                                                   {"regex", &rule.regex},
                                                                   {"source", &rule.source},
                                                                   {"ports", &rule.ports}};
        for (const auto& [key, value] : keys) {
            if (!FitsOnALine(*value)) {
                return std::nullopt;
            }
            if (!value->empty()) {
                out.append(key).append("=").append(*value).append(eol);
            }
        }
    }
    return out;
}

bool SaveAlertRules(const std::string& path, const std::vector<AlertRuleText>& rules) {
    // The lock the profile's other writers take: the directory's, held for a bounded time.
    const int directoryFd =
        ::open(common::DirName(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (directoryFd >= 0) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
        while (::flock(directoryFd, LOCK_EX | LOCK_NB) != 0) {
            if (errno != EWOULDBLOCK && errno != EINTR) {
                break;
            }
            if (std::chrono::steady_clock::now() >= deadline) {
                ::close(directoryFd);
                return false;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }
    bool missing = false;
    const std::string content = ReadWholeFile(path, missing);
    const auto replaced = ReplaceAlertSections(content, rules);
    const bool saved =
        replaced && (*replaced == content || common::WriteFileAtomically(path, *replaced, 0600));
    if (directoryFd >= 0) {
        ::close(directoryFd);
    }
    return saved;
}

}  // namespace receiver
