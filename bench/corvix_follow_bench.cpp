// corvix's window following a log that grows, offscreen: how soon an appended line is
// listed, and how often the process wakes while nothing is written. Figures only.
// Run: build/bench/corvix_follow_bench [--appends=N] [--idle=SECONDS]

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLineEdit>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "analyzer/core/analyzer_paths.h"
#include "analyzer/core/host_lookup.h"
#include "analyzer/ui/analyzer_window.h"
#include "bench/bench_process.h"
#include "bench/router_log.h"
#include "common_ui/qt_desktop_prompts.h"

namespace {

namespace fs = std::filesystem;

constexpr int kGiveUpMilliseconds = 5000;
constexpr int kBetweenAppendsMilliseconds = 200;

// Voluntary context switches of every thread of this process: each is a wake-up.
long VoluntarySwitches() {
    long total = 0;
    for (const fs::directory_entry& task : fs::directory_iterator("/proc/self/task")) {
        std::ifstream status(task.path() / "status");
        std::string line;
        while (std::getline(status, line)) {
            if (line.starts_with("voluntary_ctxt_switches:")) {
                total += std::stol(line.substr(24));
            }
        }
    }
    return total;
}

// Runs the window's events until `sender` sends `signal` or `milliseconds` pass; how long
// it took. A real event loop: processEvents with a time limit would spin, not sleep.
template <typename Sender, typename Signal>
qint64 RunEventsUntil(const Sender* sender, Signal signal, int milliseconds) {
    QEventLoop loop;
    if (sender != nullptr) {
        QObject::connect(sender, signal, &loop, &QEventLoop::quit);
    }
    // A timer of its own, stopped on return: a single shot left behind would still wake
    // the thread when it runs out.
    QTimer limit;
    limit.setSingleShot(true);
    QObject::connect(&limit, &QTimer::timeout, &loop, &QEventLoop::quit);
    limit.start(milliseconds);
    QElapsedTimer clock;
    clock.start();
    loop.exec();
    return clock.elapsed();
}

qint64 RunEventsFor(int milliseconds) {
    return RunEventsUntil(static_cast<QTimer*>(nullptr), &QTimer::timeout, milliseconds);
}

}  // namespace

int main(int argc, char** argv) {
    const int appends = static_cast<int>(std::max(1L, bench::Option(argc, argv, "appends", 20)));
    const int idleSeconds = static_cast<int>(std::max(1L, bench::Option(argc, argv, "idle", 10)));
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);

    const fs::path dir = bench::MakeTempDir("corvix_follow_bench");
    if (dir.empty()) {
        return 1;
    }
    const std::string log = (dir / "Velmora-incoming-2026-12-07.log").string();
    router_log::WriteLog(log, 10000, router_log::MakeWorkload());

    const analyzer::AnalyzerPaths paths = analyzer::AnalyzerPathsFor((dir / "corvix").string());
    common_ui::QtDesktopPrompts prompts("corvix");
    auto window = std::make_unique<analyzer_ui::AnalyzerWindow>(
        paths, prompts, std::make_shared<analyzer::SystemHostResolver>());
    window->show();
    window->openLogFile(QString::fromStdString(log));
    while (window->isLoading()) {
        RunEventsFor(10);
    }
    auto* count = window->findChild<QLineEdit*>("entryCount");
    const auto listed = [&] { return count->text().toLong(); };

    std::vector<qint64> latencies;
    for (int i = 0; i < appends; ++i) {
        const long before = listed();
        {
            std::ofstream out(log, std::ios::app);
            out << "12/07/2026 12:00:" << (10 + i % 50) << " in 203.0.113.45 " << 4000 + i
                << " 198.51.100.7 80\n";
        }
        const qint64 took = RunEventsUntil(count, &QLineEdit::textChanged, kGiveUpMilliseconds);
        latencies.push_back(listed() > before ? took : -1);
        RunEventsFor(kBetweenAppendsMilliseconds);
    }

    const long switchesBefore = VoluntarySwitches();
    RunEventsFor(idleSeconds * 1000);
    const long wakeUps = VoluntarySwitches() - switchesBefore;

    const long missed = std::count(latencies.begin(), latencies.end(), -1);
    std::erase(latencies, -1);
    std::sort(latencies.begin(), latencies.end());
    const auto at = [&](double share) {
        return latencies.empty()
                   ? -1
                   : latencies[static_cast<std::size_t>(share * (latencies.size() - 1))];
    };
    std::printf("appended lines listed     %zu of %d\n", latencies.size(), appends);
    std::printf("line written to listed    median %lld ms, slowest %lld ms   (target <= 1000 ms)\n",
                static_cast<long long>(at(0.5)), static_cast<long long>(at(1.0)));
    std::printf(
        "idle following %d s        %ld wake-ups   (target 0; the timer ending the wait is "
        "one)\n",
        idleSeconds, wakeUps);
    if (missed > 0) {
        std::printf("note: %ld appended lines were not listed within %d ms\n", missed,
                    kGiveUpMilliseconds);
    }
    window.reset();
    std::error_code ignored;
    fs::remove_all(dir, ignored);
    return 0;
}
