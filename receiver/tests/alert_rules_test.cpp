#include "receiver/core/alert_rules.h"

#include <gtest/gtest.h>

// Rules are written with only the keys a case needs, as a profile would give them.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace receiver {
namespace {

AlertRule Rule(AlertRuleText text) {
    if (text.name.empty()) {
        text.name = "r";
    }
    std::string error;
    auto rule = AlertRule::Parse(text, error);
    EXPECT_TRUE(rule.has_value()) << error;
    return rule ? *rule : *AlertRule::Parse({.name = "never"}, error);
}

bool Matches(const AlertRuleText& text, std::string_view record) {
    return Rule(text).Matches(DescribeRecord(record));
}

std::string ErrorOf(AlertRuleText text) {
    text.name = "bad";
    std::string error;
    EXPECT_FALSE(AlertRule::Parse(text, error).has_value());
    return error;
}

TEST(AlertRulesTest, RecordsAreDescribedAsTheListShowsThem) {
    const AlertRecord plain = DescribeRecord("@in 203.0.113.45 4512 198.51.100.7 80");
    EXPECT_EQ(plain.kind, kAlertIncoming);
    EXPECT_EQ(plain.text, "in 203.0.113.45 4512 198.51.100.7 80");
    EXPECT_EQ(plain.source, 0xCB00712Du);
    EXPECT_EQ(plain.destinationPort, 80u);

    const AlertRecord arrowed = DescribeRecord("@out 203.0.113.45[4512] ==> 198.51.100.7[22]");
    EXPECT_EQ(arrowed.kind, kAlertOutgoing);
    EXPECT_EQ(arrowed.source, 0xCB00712Du);
    EXPECT_EQ(arrowed.destinationPort, 22u);

    const AlertRecord message = DescribeRecord("WAN link down");
    EXPECT_EQ(message.kind, kAlertMessages);
    EXPECT_EQ(message.text, "WAN link down");
    EXPECT_FALSE(message.source);

    // The list files letters other than "i" and "o" as control messages.
    EXPECT_EQ(DescribeRecord("@In 1.2.3.4 1 5.6.7.8 9").kind, kAlertMessages);
    // Words that are no address or port leave those keys unanswered.
    const AlertRecord odd = DescribeRecord("@in host 12 other 99999");
    EXPECT_FALSE(odd.source);
    EXPECT_FALSE(odd.destinationPort);
    EXPECT_FALSE(DescribeRecord("@in a b c").source);
}

TEST(AlertRulesTest, TextMatchesInAnyLetterCase) {
    EXPECT_TRUE(Matches({.text = "link down"}, "WAN LINK DOWN now"));
    EXPECT_TRUE(Matches({.text = "LINK Down"}, "wan link down"));
    EXPECT_FALSE(Matches({.text = "link down"}, "link  down"));
    EXPECT_FALSE(Matches({.text = "link down"}, "link dow"));
    EXPECT_TRUE(ContainsIgnoringCase("abc", ""));
    EXPECT_TRUE(ContainsIgnoringCase("xxabab", "abab"));
    EXPECT_FALSE(ContainsIgnoringCase("ab", "abc"));
}

TEST(AlertRulesTest, KindsLimitTheRecordsARuleSees) {
    const AlertRuleText messagesOnly{.kinds = "messages", .text = "down"};
    EXPECT_TRUE(Matches(messagesOnly, "link down"));
    EXPECT_FALSE(Matches(messagesOnly, "@in down 1 2 3"));
    const AlertRuleText both{.kinds = " Incoming , OUTGOING "};
    EXPECT_TRUE(Matches(both, "@in a b c d"));
    EXPECT_TRUE(Matches(both, "@out a b c d"));
    EXPECT_FALSE(Matches(both, "cold start"));
    // No kinds: every kind.
    EXPECT_TRUE(Matches({.text = "a"}, "@out a"));
    EXPECT_TRUE(Matches({.text = "a"}, "a"));
    EXPECT_NE(ErrorOf({.kinds = "incoming,bogus"}).find("bogus"), std::string::npos);
    EXPECT_FALSE(ErrorOf({.kinds = "incoming,,outgoing"}).empty());
}

TEST(AlertRulesTest, SourceBlockEdges) {
    const AlertRuleText block{.source = "203.0.113.0/24"};
    EXPECT_FALSE(Matches(block, "@in 203.0.112.255 1 10.0.0.1 80"));
    EXPECT_TRUE(Matches(block, "@in 203.0.113.0 1 10.0.0.1 80"));
    EXPECT_TRUE(Matches(block, "@in 203.0.113.255 1 10.0.0.1 80"));
    EXPECT_FALSE(Matches(block, "@in 203.0.114.0 1 10.0.0.1 80"));
    // The destination is not the source.
    EXPECT_FALSE(Matches(block, "@in 10.0.0.1 1 203.0.113.9 80"));
    // Messages have no source: a source key never matches them.
    EXPECT_FALSE(Matches(block, "203.0.113.9 says hello"));
    EXPECT_TRUE(Matches({.source = "10.1.2.3"}, "@out 10.1.2.3 1 10.0.0.1 80"));
    EXPECT_FALSE(Matches({.source = "10.1.2.3"}, "@out 10.1.2.4 1 10.0.0.1 80"));
    EXPECT_TRUE(Matches({.source = "0.0.0.0/0"}, "@out 255.255.255.255 1 10.0.0.1 80"));
}

TEST(AlertRulesTest, PortRangeEdges) {
    const AlertRuleText range{.ports = "20-23"};
    EXPECT_FALSE(Matches(range, "@in 1.1.1.1 5000 2.2.2.2 19"));
    EXPECT_TRUE(Matches(range, "@in 1.1.1.1 5000 2.2.2.2 20"));
    EXPECT_TRUE(Matches(range, "@in 1.1.1.1 5000 2.2.2.2 23"));
    EXPECT_FALSE(Matches(range, "@in 1.1.1.1 5000 2.2.2.2 24"));
    // The source port does not count.
    EXPECT_FALSE(Matches(range, "@in 1.1.1.1 22 2.2.2.2 80"));
    EXPECT_TRUE(Matches(range, "@in 1.1.1.1[5000] ==> 2.2.2.2[22]"));
    EXPECT_TRUE(Matches({.ports = "65535"}, "@in 1.1.1.1 1 2.2.2.2 65535"));
    EXPECT_FALSE(Matches({.ports = "0"}, "@in 1.1.1.1 1 2.2.2.2 65536"));
}

TEST(AlertRulesTest, AllKeysGivenMustMatch) {
    const AlertRuleText ssh{
        .kinds = "incoming", .text = "in ", .source = "10.0.0.0/8", .ports = "22"};
    EXPECT_TRUE(Matches(ssh, "@in 10.9.9.9 4000 192.168.1.1 22"));
    EXPECT_FALSE(Matches(ssh, "@out 10.9.9.9 4000 192.168.1.1 22"));
    EXPECT_FALSE(Matches(ssh, "@in 11.9.9.9 4000 192.168.1.1 22"));
    EXPECT_FALSE(Matches(ssh, "@in 10.9.9.9 4000 192.168.1.1 23"));
    EXPECT_TRUE(Matches({.text = "ssh", .regex = "^in"}, "@in ssh 1 2 3"));
    EXPECT_FALSE(Matches({.text = "ssh", .regex = "^out"}, "@in ssh 1 2 3"));
}

TEST(AlertRulesTest, RegexMatchesTheText) {
    EXPECT_TRUE(Matches({.regex = "link (up|down)$"}, "WAN link down"));
    EXPECT_FALSE(Matches({.regex = "link (up|down)$"}, "WAN link down!"));
    // Case counts in a regex unless it says otherwise.
    EXPECT_FALSE(Matches({.regex = "LINK"}, "link"));
    EXPECT_TRUE(Matches({.regex = "(?i)LINK"}, "link"));
    EXPECT_TRUE(Matches({.regex = "^out "}, "@out a b c d"));
    // A pattern that would run for ever gives up and counts as no match.
    EXPECT_FALSE(
        Matches({.regex = "(a+)+$"}, "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaab"));
}

TEST(AlertRulesTest, MalformedValuesAreRefusedWithTheValueNamed) {
    EXPECT_NE(ErrorOf({.regex = "link (down"}).find("link (down"), std::string::npos);
    EXPECT_NE(ErrorOf({.regex = "*"}).find("regex"), std::string::npos);
    for (const char* source : {"203.0.113.0/33", "203.0.113", "256.1.1.1", "1.2.3.4/", "x"}) {
        EXPECT_NE(ErrorOf({.source = source}).find(source), std::string::npos) << source;
    }
    for (const char* ports : {"23-20", "65536", "-5", "a", "1-"}) {
        EXPECT_NE(ErrorOf({.ports = ports}).find(ports), std::string::npos) << ports;
    }
    std::string error;
    EXPECT_FALSE(AlertRule::Parse({.name = " "}, error));
}

TEST(AlertRulesTest, EnabledIsOnUnlessTurnedOff) {
    EXPECT_TRUE(Rule({}).enabled());
    EXPECT_TRUE(Rule({.enabled = "On"}).enabled());
    EXPECT_FALSE(Rule({.enabled = "Off"}).enabled());
    EXPECT_FALSE(Rule({.enabled = "0"}).enabled());
}

TEST(AlertRulesTest, ProfileSectionsBecomeRulesAndBadOnesAreSkipped) {
    const AlertRuleSet set = LoadAlertRules(
        "[Settings]\nincoming=On\n"
        "[Alert WAN down]\nenabled=On\nkinds=messages\ntext=link down\n"
        "[alert Bad]\nsource=300.1.1.1\n"
        "[Alerts]\ntext=x\n"
        "[ALERT ssh]\nports=22\nenabled=Off\n"
        "[Alert wan DOWN]\ntext=second copy\n"
        "[Alert ]\ntext=nameless\n");
    ASSERT_EQ(set.rules.size(), 2u);
    EXPECT_EQ(set.rules[0].name(), "WAN down");
    EXPECT_TRUE(set.rules[0].Matches(DescribeRecord("Link Down")));
    EXPECT_FALSE(set.rules[0].Matches(DescribeRecord("second copy")));
    EXPECT_EQ(set.rules[1].name(), "ssh");
    EXPECT_FALSE(set.rules[1].enabled());
    ASSERT_EQ(set.problems.size(), 1u);
    EXPECT_EQ(set.problems[0],
              "alert \"Bad\" skipped: source \"300.1.1.1\" is not an address or CIDR block");
    ASSERT_EQ(set.texts.size(), 3u);
    EXPECT_EQ(set.texts[1].source, "300.1.1.1");
}

}  // namespace
}  // namespace receiver

namespace receiver {
namespace {

TEST(AlertRulesFileTest, RuleSectionsAreReplacedAndEverythingElseStays) {
    const std::string before =
        "; my settings\n[Display Options]\nincoming=On\n[Alert old]\ntext=x\n; note\n"
        "[Retention]\nkeep days=3\n[alert Other]\nports=22";
    const auto after = ReplaceAlertSections(
        before, {{.name = "WAN down", .kinds = "messages", .text = "link down"},
                 {.name = "ssh", .enabled = "Off", .source = "10.0.0.0/8", .ports = "22"}});
    ASSERT_TRUE(after);
    EXPECT_EQ(*after,
              "; my settings\n[Display Options]\nincoming=On\n[Retention]\nkeep days=3\n"
              "[Alert WAN down]\nenabled=On\nkinds=messages\ntext=link down\n"
              "[Alert ssh]\nenabled=Off\nsource=10.0.0.0/8\nports=22\n");
    const AlertRuleSet read = LoadAlertRules(*after);
    ASSERT_EQ(read.rules.size(), 2u);
    EXPECT_FALSE(read.rules[1].enabled());
    EXPECT_FALSE(ReplaceAlertSections("", {{.name = "a]b"}}));
    EXPECT_FALSE(ReplaceAlertSections("", {{.name = "a", .text = "x\ny"}}));
    EXPECT_EQ(ReplaceAlertSections("[Alert a]\ntext=b\n", {}), "");
}

}  // namespace
}  // namespace receiver
