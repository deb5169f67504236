// corvix's window on the benchmark log, offscreen: time from the start of the process to
// the first entry decoded in the detail fields, time to the whole list, and peak memory.
// Figures only; nothing is asserted.
// Run: build/bench/corvix_window_bench [--lines=N] [--runs=N] [--days=N] [--json]
// --json prints the figures as one JSON object instead of the table. --days=N opens a
// directory of N daily logs instead (links to one generated day, so generating stays
// quick) and sets the figures beside those of a window on a ten-line log, its base.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "analyzer/core/analyzer_paths.h"
#include "analyzer/core/host_lookup.h"
#include "analyzer/ui/analyzer_window.h"
#include "bench/bench_process.h"
#include "bench/json_object.h"
#include "bench/router_log.h"
#include "bench/window_bench_start.h"
#include "common_ui/qt_desktop_prompts.h"

namespace {

namespace fs = std::filesystem;

double Seconds(const timespec& from, const timespec& to) {
    return static_cast<double>(to.tv_sec - from.tv_sec) + (to.tv_nsec - from.tv_nsec) / 1e9;
}

timespec Now() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now;
}

// The window as corvix runs it, reporting on `report` the moments the parent times.
int RunWindow(int argc, char** argv, const std::string& log, const std::string& dir, int report) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const analyzer::AnalyzerPaths paths = analyzer::AnalyzerPathsFor(dir + "/corvix");
    common_ui::QtDesktopPrompts prompts("corvix");
    analyzer_ui::AnalyzerWindow dialog(paths, prompts,
                                       std::make_shared<analyzer::SystemHostResolver>());
    dialog.show();
    auto* source = dialog.findChild<QLineEdit*>("sourceIp");
    bool decoded = false;
    QObject::connect(source, &QLineEdit::textChanged, [&](const QString& text) {
        if (!decoded && !text.isEmpty()) {
            decoded = true;
            const timespec now = Now();
            dprintf(report, "decoded %ld.%09ld\n", now.tv_sec, now.tv_nsec);
        }
    });
    dialog.openLogFile(QString::fromStdString(log));
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (!dialog.isLoading()) {
            const timespec now = Now();
            dprintf(report, "filled %ld.%09ld %s\n", now.tv_sec, now.tv_nsec,
                    dialog.findChild<QLineEdit*>("entryCount")->text().toLatin1().constData());
            application.quit();
        }
    });
    // The longest the event loop went without turning: what a user waits for a redraw.
    QElapsedTimer sinceTick;
    sinceTick.start();
    qint64 longestStall = 0;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        longestStall = std::max(longestStall, sinceTick.restart());
        dprintf(report, "stall %lld\n", static_cast<long long>(longestStall));
    });
    poll.start(1);
    return application.exec();
}

struct Sample {
    double decoded = -1;
    double filled = -1;
    long listed = -1;
    long maxRssKiB = 0;
    long stallMs = -1;
    double cpuSeconds = 0;
    int status = 0;
};

Sample RunOnce(const char* self, const std::string& log, const std::string& dir) {
    const timespec start = Now();
    const bench::WindowRun run = bench::RunWindowChild(self, log, dir);
    const std::string& text = run.report;
    const rusage& usage = run.usage;
    Sample s;
    s.status = run.status;
    s.maxRssKiB = usage.ru_maxrss;
    s.cpuSeconds = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                   (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    long sec = 0, nsec = 0, listed = 0;
    if (const auto at = text.find("decoded ");
        at != std::string::npos && sscanf(text.c_str() + at, "decoded %ld.%ld", &sec, &nsec) == 2) {
        s.decoded = Seconds(start, {sec, nsec});
    }
    if (const auto at = text.find("filled ");
        at != std::string::npos &&
        sscanf(text.c_str() + at, "filled %ld.%ld %ld", &sec, &nsec, &listed) == 3) {
        s.filled = Seconds(start, {sec, nsec});
        s.listed = listed;
    }
    if (const auto at = text.rfind("stall "); at != std::string::npos) {
        sscanf(text.c_str() + at, "stall %ld", &s.stallMs);
    }
    return s;
}

}  // namespace

// "YYYY-MM-DD" of `days` after 2026-11-01.
std::string Day(long days) {
    std::tm t{};
    t.tm_year = 2026 - 1900;
    t.tm_mon = 10;
    t.tm_mday = 1 + static_cast<int>(days);
    t.tm_hour = 12;
    const std::time_t at = timegm(&t);
    std::tm out{};
    gmtime_r(&at, &out);
    char text[16];
    std::strftime(text, sizeof text, "%Y-%m-%d", &out);
    return text;
}

// The window on a directory of `days` daily logs, beside the same window on a ten-line log.
int RunMonth(const char* self, long days, long records, int runs, bool json) {
    const fs::path dir = bench::MakeTempDir("corvix_window_bench");
    if (dir.empty()) {
        return 1;
    }
    const fs::path logs = dir / "logs";
    fs::create_directories(logs);
    const router_log::Workload w = router_log::MakeWorkload();
    const std::string day = (dir / "day.log").string();
    const router_log::LogCounts counts = router_log::WriteLog(day, records, w);
    for (long i = 0; i < days; ++i) {
        fs::create_symlink(day, logs / ("Velmora-incoming-" + Day(i) + ".log"));
    }
    const std::string tiny = (dir / "tiny.log").string();
    router_log::WriteLog(tiny, 10, w);

    Sample base;
    Sample best;
    best.decoded = best.filled = 1e30;
    int failed = 0;
    for (int i = 0; i < runs; ++i) {
        const Sample b = RunOnce(self, tiny, dir.string());
        base.maxRssKiB = std::max(base.maxRssKiB, b.maxRssKiB);
        const Sample s = RunOnce(self, logs.string(), dir.string());
        failed += (s.status != 0 || b.status != 0) ? 1 : 0;
        best.decoded = std::min(best.decoded, s.decoded < 0 ? 1e30 : s.decoded);
        best.filled = std::min(best.filled, s.filled < 0 ? 1e30 : s.filled);
        best.listed = s.listed;
        best.maxRssKiB = std::max(best.maxRssKiB, s.maxRssKiB);
        best.stallMs = std::max(best.stallMs, s.stallMs);
        best.cpuSeconds = i == 0 ? s.cpuSeconds : std::min(best.cpuSeconds, s.cpuSeconds);
    }
    const long expected = counts.inbound * days;
    const double perEntry = best.listed > 0 ? (best.maxRssKiB - base.maxRssKiB) * 1024.0 /
                                                  static_cast<double>(best.listed)
                                            : NAN;
    if (json) {
        const auto moment = [](double s) { return s < 1e30 ? s : NAN; };
        bench::JsonObject()
            .Add("runs", runs)
            .Add("days", days)
            .Add("log_lines", counts.fileLines * days)
            .Add("listed", best.listed)
            .Add("first_decoded_seconds", moment(best.decoded))
            .Add("all_listed_seconds", moment(best.filled))
            .Add("max_rss_kib", best.maxRssKiB)
            .Add("base_rss_kib", base.maxRssKiB)
            .Add("bytes_per_entry", perEntry)
            .Add("longest_stall_ms", best.stallMs)
            .Add("cpu_seconds", best.cpuSeconds)
            .Add("failed_runs", failed)
            .Add("ok", best.listed == expected)
            .Print();
    } else {
        std::printf(
            "%ld days x %ld lines: listed %ld (%s), first decoded %.3f s, all listed"
            " %.3f s,\npeak RSS %.1f MiB (base %.1f MiB): %.1f bytes per listed entry;"
            " longest stall of the window %ld ms;\n"
            "CPU of the window process %.2f s (user and system)%s\n",
            days, counts.fileLines, best.listed, best.listed == expected ? "ok" : "MISMATCH",
            best.decoded, best.filled, best.maxRssKiB / 1024.0, base.maxRssKiB / 1024.0, perEntry,
            best.stallMs, best.cpuSeconds, failed != 0 ? " (a run failed)" : "");
    }
    std::error_code ignored;
    fs::remove_all(dir, ignored);
    return 0;
}

int main(int argc, char** argv) {
    if (argc == 5 && std::string(argv[1]) == "--window") {
        return RunWindow(argc, argv, argv[2], argv[3], std::atoi(argv[4]));
    }
    if (const long days = bench::Option(argc, argv, "days", 0); days > 0) {
        return RunMonth(fs::read_symlink("/proc/self/exe").c_str(), std::min(days, 366L),
                        std::max(10L, bench::Option(argc, argv, "lines", 1000000)),
                        static_cast<int>(std::max(1L, bench::Option(argc, argv, "runs", 1))),
                        bench::JsonWanted(argc, argv));
    }
    const std::optional<bench::WindowBenchStart> start =
        bench::StartWindowBench(argc, argv, "corvix_window_bench", 1000000);
    if (!start) {
        return 1;
    }
    const auto& [runs, json, dir, self, w, log, counts] = *start;

    if (!json) {
        std::printf("%-22s %11s %11s %17s %14s %9s\n", "variant", "log lines", "listed",
                    "first decoded s", "all listed s", "RSS MiB");
    }
    std::vector<bench::JsonObject> variants;
    for (const bool filtered : {false, true}) {
        if (filtered) {
            router_log::WriteSettings((dir / "corvix.cfg").string(), w);
        }
        Sample best;
        best.decoded = best.filled = 1e30;
        std::vector<bench::JsonObject> failures;
        for (int i = 0; i < runs; ++i) {
            const Sample s = RunOnce(self.c_str(), log, dir.string());
            if (s.status != 0) {
                if (json) {
                    failures.push_back(bench::JsonObject().Add("exit_status", s.status));
                } else {
                    std::printf("note: the window exited with status %d\n", s.status);
                }
            }
            best.decoded = std::min(best.decoded, s.decoded < 0 ? 1e30 : s.decoded);
            best.filled = std::min(best.filled, s.filled < 0 ? 1e30 : s.filled);
            best.listed = s.listed;
            best.maxRssKiB = std::max(best.maxRssKiB, s.maxRssKiB);
        }
        const char* name = filtered ? "window, 200 filters" : "window, no filters";
        const long expected = filtered ? counts.inboundShown : counts.inbound;
        const char* check = filtered ? "the window lists what the filters let through"
                                     : "the window lists every inbound line";
        if (json) {
            // A moment never reached stays 1e30, which the writer turns into null.
            const auto moment = [](double s) { return s < 1e30 ? s : NAN; };
            variants.push_back(bench::JsonObject()
                                   .Add("name", name)
                                   .Add("log_lines", counts.fileLines)
                                   .Add("listed", best.listed)
                                   .Add("first_decoded_seconds", moment(best.decoded))
                                   .Add("all_listed_seconds", moment(best.filled))
                                   .Add("max_rss_kib", best.maxRssKiB)
                                   .Add("check", check)
                                   .Add("ok", best.listed == expected)
                                   .Add("failed_runs", failures));
            continue;
        }
        std::printf("%-22s %11ld %11ld %17.3f %14.3f %9.1f\n", name, counts.fileLines, best.listed,
                    best.decoded, best.filled, best.maxRssKiB / 1024.0);
        std::printf("check: %-44s %s\n", check, best.listed == expected ? "ok" : "MISMATCH");
    }
    if (json) {
        bench::JsonObject().Add("runs", runs).Add("variants", variants).Print();
    } else {
        std::printf(
            "(best of %d for the times, the largest peak RSS; from fork to the moment;\n"
            " targets: first entry decoded under 1 s, peak RSS under 150 MB)\n",
            runs);
    }
    std::error_code ignored;
    fs::remove_all(dir, ignored);
    return 0;
}
