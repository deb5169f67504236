#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "receiver/core/alert_rules.h"

namespace receiver {

// Time that only goes forward, for the alerts' rate limit (a wall clock set back must
// not silence a rule for an hour).
class MonotonicClock {
  public:
    virtual ~MonotonicClock() = default;
    virtual std::int64_t NowMilliseconds() = 0;
};

class SteadyClock : public MonotonicClock {
  public:
    std::int64_t NowMilliseconds() override;
};

struct AlertEvent {
    std::string_view ruleName;
    std::string_view stamp;
    std::string_view text;  // as the list shows it
    // Matches of the rule held back since its previous alert.
    std::uint64_t moreCount = 0;
    // The record's row in the message list, when the list holds it.
    std::optional<std::size_t> row;
};

// Where alerts go: the desktop's notifications, or stderr.
class AlertSink {
  public:
    virtual ~AlertSink() = default;
    virtual void Alert(const AlertEvent& event) = 0;
};

// "NAME": STAMP TEXT, with "(and N more)" when matches were held back.
std::string AlertSummary(const AlertEvent& event);
// The headless line, with the journal's warning priority in front when stderr is the
// journal, so that priority filters find it.
std::string FormatAlertLine(const AlertEvent& event, bool toJournal);
// The body of a desktop notification: the record, and the count held back.
std::string AlertBody(const AlertEvent& event);

// The enabled rules and their rate limit: at most one alert per rule a minute; matches
// in between are counted and the next alert says how many.
class AlertMonitor {
  public:
    static constexpr std::int64_t kQuietMilliseconds = 60'000;

    explicit AlertMonitor(MonotonicClock& clock) : clock_(clock) {}

    // Replaces the rules; the disabled ones are left out.
    void SetRules(const std::vector<AlertRule>& rules);
    bool empty() const { return rules_.empty(); }
    std::size_t size() const { return rules_.size(); }

    // Checks one record against every rule; allocates nothing unless an alert goes out.
    void Check(std::string_view recordText, std::string_view stamp, std::optional<std::size_t> row,
               AlertSink& sink);

  private:
    struct State {
        AlertRule rule;
        std::int64_t lastAlert = 0;
        bool alerted = false;
        std::uint64_t heldBack = 0;
    };
    MonotonicClock& clock_;
    std::vector<State> rules_;
};

}  // namespace receiver
