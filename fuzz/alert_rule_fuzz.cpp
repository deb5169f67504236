#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <string>

#include "fuzz/fuzz_support.h"
#include "receiver/core/alert_monitor.h"
#include "receiver/core/alert_rules.h"

using namespace receiver;

namespace {

struct StillClock : MonotonicClock {
    std::int64_t NowMilliseconds() override { return 0; }
};

struct CountingSink : AlertSink {
    int alerts = 0;
    void Alert(const AlertEvent&) override { ++alerts; }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    AlertRuleText text;
    text.name = "fuzz";
    text.kinds = input.ConsumeRandomLengthString(32);
    text.text = input.ConsumeRandomLengthString(32);
    text.regex = input.ConsumeRandomLengthString(64);
    text.source = input.ConsumeRandomLengthString(24);
    text.ports = input.ConsumeRandomLengthString(16);
    const std::string record = input.ConsumeRandomLengthString(520);
    const std::string profile = input.ConsumeRemainingBytesAsString();

    std::string error;
    const auto rule = AlertRule::Parse(text, error);
    FUZZ_CHECK(rule.has_value() == error.empty());
    if (rule) {
        const AlertRecord described = DescribeRecord(record);
        const bool matched = rule->Matches(described);
        // Keys that were given must hold: a source or port rule never matches a record
        // that has none.
        if (!text.source.empty() && text.source.find_first_not_of(" \t") != std::string::npos &&
            !described.source) {
            FUZZ_CHECK(!matched);
        }
        if (!text.ports.empty() && text.ports.find_first_not_of(" \t") != std::string::npos &&
            !described.destinationPort) {
            FUZZ_CHECK(!matched);
        }
        if (!text.text.empty()) {
            FUZZ_CHECK(!matched || ContainsIgnoringCase(described.text, [&] {
                std::string lower;
                for (const char c : text.text) {
                    lower += c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
                }
                return lower;
            }()));
        }
    }

    // Whatever the profile holds, every section is a rule or a reason, and two checks
    // within the quiet minute alert at most once per rule.
    const AlertRuleSet set = LoadAlertRules(profile);
    FUZZ_CHECK(set.rules.size() + set.problems.size() == set.texts.size());
    StillClock clock;
    CountingSink sink;
    AlertMonitor monitor(clock);
    monitor.SetRules(set.rules);
    monitor.Check(record, "stamp", std::nullopt, sink);
    monitor.Check(record, "stamp", std::nullopt, sink);
    FUZZ_CHECK(sink.alerts <= static_cast<int>(monitor.size()));
    return 0;
}
