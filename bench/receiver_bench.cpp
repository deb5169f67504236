// Cost of one router record through the receiver: intake, classification, the
// formatted rewrite and the buffered log write. Run: build/bench/receiver_bench
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <new>
#include <string>

#include "receiver/core/formatting.h"
#include "receiver/core/message_store.h"
#include "receiver/core/receiver_engine.h"

// Allocations counted while a benchmark asks, so matching can be shown to add none.
std::atomic<bool> countingAllocations{false};
std::atomic<long> allocations{0};

void* operator new(std::size_t size) {
    if (countingAllocations.load(std::memory_order_relaxed)) {
        allocations.fetch_add(1, std::memory_order_relaxed);
    }
    if (void* p = std::malloc(size == 0 ? 1 : size)) {
        return p;
    }
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}

namespace {

using namespace receiver;

class FixedClock : public Clock {
  public:
    std::tm LocalTime() override {
        std::tm time{};
        time.tm_year = 102;
        time.tm_mon = 8;
        time.tm_mday = 27;
        time.tm_hour = 19;
        return time;
    }
};

class ClosedSocket : public TrapSocket {
  public:
    std::string LocalHostName() override { return "bench"; }
    int Open(const std::string&) override { return 0; }
    void Close() override {}
};

class SilentView : public ReceiverView, public common::UserMessages {
  public:
    void RowsAppended(std::size_t) override {}
    void RowsCleared() override {}
    void StatusChanged(const std::string&, std::string_view) override {}
    void RunningStateChanged(RunningState) override {}
    void LostDatagramsChanged(std::uint64_t) override {}
    void SetWaitCursor(bool) override {}
    void RemoveTrayIcon() override {}
    void Quit(int) override {}
    void ShowMessage(common::MessageIcon, const std::string&) override {}
    common::Answer Ask(const std::string&, common::AnswerChoices) override {
        return common::Answer::kNo;
    }
};

const std::string kDatagram =
    std::string(kHeaderLength, 'H') + "@in 203.0.113.45 4512 198.51.100.7 80\n";

void BM_ReceiveMessage(benchmark::State& state, int formatted, int flushEveryLine) {
    char pattern[] = "/tmp/velmora-bench-XXXXXX";
    const std::filesystem::path directory = ::mkdtemp(pattern);
    ReceiverSettings settings;
    settings.displayFlags = {1, 1, 1, 0};
    settings.logFlags = {1, 1, 1, 0};
    settings.formatted = formatted;
    CommandLine commandLine;
    commandLine.flushEveryLine = flushEveryLine;
    FixedClock clock;
    ClosedSocket socket;
    SilentView view;
    {
        ReceiverEngine engine(settings, commandLine, directory / "logs", clock, socket, view, view);
        engine.SetUp();
        for (auto _ : state) {
            engine.ReceiveMessage({0, kDatagram});
        }
        engine.StopEverything();
    }
    state.SetItemsProcessed(state.iterations());
    state.counters["log bytes/record"] =
        benchmark::Counter(static_cast<double>(std::filesystem::file_size(
                               directory / "logs" / "Velmora-incoming-2002-09-27.log")) /
                           static_cast<double>(state.iterations()));
    std::filesystem::remove_all(directory);
}
BENCHMARK_CAPTURE(BM_ReceiveMessage, plain, 0, 0);

struct StillClock : MonotonicClock {
    std::int64_t NowMilliseconds() override { return 0; }
};
struct CountingSink : AlertSink {
    long alerts = 0;
    void Alert(const AlertEvent&) override { ++alerts; }
};

// A router's mix of records through the engine, with the 20 rules of the receivers'
// benchmark or none: the rules' cost per record, and the allocations they add.
void BM_ReceiveMixWithAlertRules(benchmark::State& state, bool withRules) {
    char pattern[] = "/tmp/velmora-bench-XXXXXX";
    const std::filesystem::path directory = ::mkdtemp(pattern);
    ReceiverSettings settings;
    settings.displayFlags = {1, 1, 1, 0};
    settings.logFlags = {1, 1, 1, 0};
    settings.formatted = true;
    CommandLine commandLine;
    FixedClock clock;
    ClosedSocket socket;
    SilentView view;
    StillClock still;
    AlertMonitor monitor(still);
    CountingSink sink;
    if (withRules) {
        const AlertRuleSet set = LoadAlertRulesFromFile(ALERT_RULES_INI);
        if (set.rules.size() != 20 || !set.problems.empty()) {
            state.SkipWithError("bench/alert_rules.ini must hold 20 good rules");
            return;
        }
        monitor.SetRules(set.rules);
    }
    const std::string header(kHeaderLength, 'H');
    const std::string mix[] = {header + "@in 203.0.113.45 4512 198.51.100.7 80",
                               header + "@in 10.1.2.3 5000 198.51.100.7 22",
                               header + "@out 192.168.1.20 40000 93.184.216.34 443",
                               header + "WAN link down",
                               header + "@in 45.33.32.156 61000 198.51.100.7 3389",
                               header + "DHCP lease renewed",
                               header + "@out 192.168.1.20 40001 93.184.216.35 25",
                               header + "@in 185.220.101.4 1234 198.51.100.7 8080"};
    long counted = 0;
    {
        ReceiverEngine engine(settings, commandLine, directory / "logs", clock, socket, view, view);
        engine.SetAlerts(&monitor, &sink);
        engine.SetUp();
        std::size_t i = 0;
        for (auto _ : state) {
            engine.ReceiveMessage({0, mix[i++ % std::size(mix)]});
            // The row store is emptied now and then, as a day's rollover would.
            if (engine.recordCount() >= 100000) {
                state.PauseTiming();
                engine.ClearList();
                state.ResumeTiming();
            }
        }
        // Allocations per record, measured over a fixed run once the buffers have grown.
        allocations = 0;
        countingAllocations = true;
        for (int n = 0; n < 10000; ++n) {
            engine.ReceiveMessage({0, mix[n % std::size(mix)]});
        }
        countingAllocations = false;
        counted = allocations.load();
        engine.StopEverything();
    }
    state.SetItemsProcessed(state.iterations());
    state.counters["allocations/record"] = static_cast<double>(counted) / 10000.0;
    state.counters["rules"] = static_cast<double>(monitor.size());
    std::filesystem::remove_all(directory);
}
BENCHMARK_CAPTURE(BM_ReceiveMixWithAlertRules, no_rules, false);
BENCHMARK_CAPTURE(BM_ReceiveMixWithAlertRules, twenty_rules, true);
BENCHMARK_CAPTURE(BM_ReceiveMessage, formatted, 1, 0);
BENCHMARK_CAPTURE(BM_ReceiveMessage, flush_every_line, 0, 1);

// The message list's rows: append cost, and memory per row once a million are held.
void BM_MessageStoreMillionRows(benchmark::State& state) {
    constexpr std::size_t kRows = 1'000'000;
    const std::string texts[] = {"in 203.0.113.45[4512] ==> 198.51.100.7[80]",
                                 "out 192.168.1.20[1030] ==> 198.51.100.80[53]", "WAN link up"};
    std::size_t bytes = 0;
    for (auto _ : state) {
        MessageStore store;
        for (std::size_t i = 0; i < kRows; ++i) {
            store.Append("09/27/2002 19:48:38", texts[i % 3], static_cast<int>(i % 3));
        }
        bytes = store.memoryBytes();
        benchmark::DoNotOptimize(store.Row(kRows / 2));
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(kRows));
    state.counters["bytes/row"] = static_cast<double>(bytes) / kRows;
    state.counters["text bytes/row"] =
        (19.0 + static_cast<double>(texts[0].size() + texts[1].size() + texts[2].size()) / 3);
}
BENCHMARK(BM_MessageStoreMillionRows)->Unit(benchmark::kMillisecond);

void BM_FormatConnectionText(benchmark::State& state) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(FormatConnectionText("in 203.0.113.45 4512 198.51.100.7 80"));
    }
}
BENCHMARK(BM_FormatConnectionText);

void BM_FormatCount(benchmark::State& state) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(FormatCount(2147483647));
    }
}
BENCHMARK(BM_FormatCount);

}  // namespace
