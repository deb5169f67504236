#include "receiver/core/alert_monitor.h"

#include <time.h>

namespace receiver {

std::int64_t SteadyClock::NowMilliseconds() {
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<std::int64_t>(now.tv_sec) * 1000 + now.tv_nsec / 1'000'000;
}

std::string AlertBody(const AlertEvent& event) {
    std::string body;
    body.append(event.stamp).append(" ").append(event.text);
    if (event.moreCount > 0) {
        body += " (and " + std::to_string(event.moreCount) + " more)";
    }
    return body;
}

std::string AlertSummary(const AlertEvent& event) {
    std::string summary = "\"";
    summary.append(event.ruleName).append("\": ").append(AlertBody(event));
    return summary;
}

std::string FormatAlertLine(const AlertEvent& event, bool toJournal) {
    std::string line = toJournal ? "<4>" : "";
    line += "velmora: alert " + AlertSummary(event) + "\n";
    return line;
}

void AlertMonitor::SetRules(const std::vector<AlertRule>& rules) {
    rules_.clear();
    for (const AlertRule& rule : rules) {
        if (rule.enabled()) {
            rules_.push_back(State{rule});
        }
    }
}

void AlertMonitor::Check(std::string_view recordText, std::string_view stamp,
                         std::optional<std::size_t> row, AlertSink& sink) {
    if (rules_.empty()) {
        return;
    }
    const AlertRecord record = DescribeRecord(recordText);
    std::int64_t now = 0;
    bool haveNow = false;
    for (State& state : rules_) {
        if (!state.rule.Matches(record)) {
            continue;
        }
        if (!haveNow) {
            now = clock_.NowMilliseconds();
            haveNow = true;
        }
        if (state.alerted && now - state.lastAlert < kQuietMilliseconds) {
            ++state.heldBack;
            continue;
        }
        AlertEvent event{state.rule.name(), stamp, record.text, state.heldBack, row};
        state.alerted = true;
        state.lastAlert = now;
        state.heldBack = 0;
        sink.Alert(event);
    }
}

}  // namespace receiver
