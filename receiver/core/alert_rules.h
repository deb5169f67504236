#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/net_ranges.h"

namespace receiver {

// Kinds of record a rule listens to, as bits.
enum AlertKindBit : unsigned {
    kAlertIncoming = 1u << 0,
    kAlertOutgoing = 1u << 1,
    kAlertMessages = 1u << 2,
    kAlertAllKinds = kAlertIncoming | kAlertOutgoing | kAlertMessages,
};

// A compiled regular expression with its own match space, so matching allocates nothing.
class AlertPattern {
  public:
    // nullptr and the compiler's reason in `error` when the pattern does not compile.
    static std::unique_ptr<AlertPattern> Compile(std::string_view pattern, std::string& error);
    ~AlertPattern();
    AlertPattern(const AlertPattern&) = delete;
    AlertPattern& operator=(const AlertPattern&) = delete;

    // A pattern that fails to finish within its limits counts as no match.
    bool Matches(std::string_view text) const;

  private:
    AlertPattern() = default;
    struct Impl;
    Impl* impl_ = nullptr;
};

// One rule as the profile or the dialog give it, every value as written.
struct AlertRuleText {
    std::string name;
    std::string enabled;  // empty: on
    std::string kinds;
    std::string text;
    std::string regex;
    std::string source;
    std::string ports;
};

// A record as the rules see it: its kind, the text the list shows, and for connection
// records the source address and destination port when they could be read.
struct AlertRecord {
    AlertKindBit kind = kAlertMessages;
    std::string_view text;
    std::optional<std::uint32_t> source;
    std::optional<unsigned> destinationPort;
};

// The record as the list shows it: the kind from the direction letter, the text without
// its "@", and the addresses read from the plain or the arrowed connection form.
AlertRecord DescribeRecord(std::string_view recordText);

class AlertRule {
  public:
    // The rule, or nullopt with the reason in `error` (one line, naming the value).
    static std::optional<AlertRule> Parse(const AlertRuleText& text, std::string& error);

    const std::string& name() const { return name_; }
    bool enabled() const { return enabled_; }
    // Every key given matches the record.
    bool Matches(const AlertRecord& record) const;

  private:
    std::string name_;
    bool enabled_ = true;
    unsigned kinds_ = kAlertAllKinds;
    std::string lowerText_;  // empty: any text
    std::shared_ptr<const AlertPattern> pattern_;
    std::optional<common::AddressBlock> source_;
    std::optional<common::PortRange> ports_;
};

// Section names of the rules start with this, any letter case.
inline constexpr std::string_view kAlertSectionPrefix = "Alert ";
inline constexpr std::string_view kRetentionSection = "Retention";

struct AlertRuleSet {
    std::vector<AlertRule> rules;      // enabled or not, in file order
    std::vector<AlertRuleText> texts;  // every rule section as written, in file order
    // One line per rule that was skipped, saying why.
    std::vector<std::string> problems;
};

// The rules of a profile's content. A section that cannot be read is skipped, never
// turned into a rule that matches everything.
AlertRuleSet LoadAlertRules(std::string_view profileContent);

// The same from the profile file; a missing or unreadable file holds no rules.
AlertRuleSet LoadAlertRulesFromFile(const std::string& path);

// The profile's content with every rule section replaced by `rules`, in their order;
// every other line stays as it was. nullopt when a name or value would break the file.
std::optional<std::string> ReplaceAlertSections(std::string_view content,
                                                const std::vector<AlertRuleText>& rules);
// The same as one atomic rewrite of the profile, under the profile writers' lock. False,
// leaving the file as it was, when it cannot be written.
bool SaveAlertRules(const std::string& path, const std::vector<AlertRuleText>& rules);

// Case-insensitive (ASCII) substring search; `lowerNeedle` is already lower case.
bool ContainsIgnoringCase(std::string_view haystack, std::string_view lowerNeedle);

}  // namespace receiver
