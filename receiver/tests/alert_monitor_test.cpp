#include "receiver/core/alert_monitor.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace receiver {
namespace {

class FakeMonotonicClock : public MonotonicClock {
  public:
    std::int64_t NowMilliseconds() override { return now; }
    std::int64_t now = 5'000'000;
};

struct SeenAlert {
    std::string name;
    std::string body;
    std::uint64_t more;
    std::optional<std::size_t> row;
};

class RecordingSink : public AlertSink {
  public:
    void Alert(const AlertEvent& event) override {
        seen.push_back({std::string(event.ruleName), AlertBody(event), event.moreCount, event.row});
    }
    std::vector<SeenAlert> seen;
};

std::vector<AlertRule> Rules(std::string_view profile) {
    AlertRuleSet set = LoadAlertRules(profile);
    EXPECT_TRUE(set.problems.empty());
    return set.rules;
}

TEST(AlertMonitorTest, OneAlertPerRuleAMinuteAndTheNextCountsTheRest) {
    FakeMonotonicClock clock;
    RecordingSink sink;
    AlertMonitor monitor(clock);
    monitor.SetRules(Rules("[Alert down]\ntext=down\n[Alert all]\n"));
    ASSERT_EQ(monitor.size(), 2u);

    monitor.Check("link down", "12/07/2026 03:00:00", 4, sink);
    ASSERT_EQ(sink.seen.size(), 2u);
    EXPECT_EQ(sink.seen[0].name, "down");
    EXPECT_EQ(sink.seen[0].body, "12/07/2026 03:00:00 link down");
    EXPECT_EQ(sink.seen[0].row, 4u);
    EXPECT_EQ(sink.seen[1].name, "all");

    for (int i = 0; i < 37; ++i) {
        clock.now += 1000;
        monitor.Check("link down again", "12/07/2026 03:00:01", std::nullopt, sink);
    }
    monitor.Check("link up", "12/07/2026 03:00:01", std::nullopt, sink);
    EXPECT_EQ(sink.seen.size(), 2u);

    // 59.999 s after the first: still quiet.
    clock.now = 5'000'000 + AlertMonitor::kQuietMilliseconds - 1;
    monitor.Check("down", "s", std::nullopt, sink);
    EXPECT_EQ(sink.seen.size(), 2u);

    clock.now = 5'000'000 + AlertMonitor::kQuietMilliseconds;
    monitor.Check("down once more", "12/07/2026 03:01:00", 9, sink);
    ASSERT_EQ(sink.seen.size(), 4u);
    EXPECT_EQ(sink.seen[2].name, "down");
    EXPECT_EQ(sink.seen[2].more, 38u);
    EXPECT_EQ(sink.seen[2].body, "12/07/2026 03:01:00 down once more (and 38 more)");
    EXPECT_EQ(sink.seen[3].name, "all");
    EXPECT_EQ(sink.seen[3].more, 39u);

    // The count starts again after it was said.
    clock.now += AlertMonitor::kQuietMilliseconds;
    monitor.Check("down", "s", std::nullopt, sink);
    ASSERT_EQ(sink.seen.size(), 6u);
    EXPECT_EQ(sink.seen[4].more, 0u);
}

TEST(AlertMonitorTest, DisabledRulesAndNoRulesSayNothing) {
    FakeMonotonicClock clock;
    RecordingSink sink;
    AlertMonitor monitor(clock);
    monitor.Check("anything", "s", std::nullopt, sink);
    monitor.SetRules(Rules("[Alert off]\nenabled=Off\n"));
    EXPECT_TRUE(monitor.empty());
    monitor.Check("anything", "s", std::nullopt, sink);
    EXPECT_TRUE(sink.seen.empty());
}

TEST(AlertMonitorTest, HeadlessLineCarriesTheJournalPriorityOnlyForTheJournal) {
    const AlertEvent event{"WAN down", "12/07/2026 03:00:00", "link down", 0, std::nullopt};
    EXPECT_EQ(FormatAlertLine(event, false),
              "velmora: alert \"WAN down\": 12/07/2026 03:00:00 link down\n");
    EXPECT_EQ(FormatAlertLine(event, true),
              "<4>velmora: alert \"WAN down\": 12/07/2026 03:00:00 link down\n");
    const AlertEvent more{"x", "s", "t", 37, 2};
    EXPECT_EQ(FormatAlertLine(more, false), "velmora: alert \"x\": s t (and 37 more)\n");
}

}  // namespace
}  // namespace receiver
