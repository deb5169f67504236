// Wall time and peak memory of `corvix --list` on a generated day of router log, next to
// grep and a grep|awk pipeline doing the same listing, and of `corvix --stats` on it. Figures only;
// nothing is asserted. Run: build/bench/corvix_list_bench [--lines=N] [--keep=DIR] [--json]
// --keep leaves the generated log in DIR as big.log, for timing other viewers on it;
// --json prints the figures as one JSON object instead of the tables.
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "bench/bench_process.h"
#include "bench/json_object.h"
#include "bench/router_log.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using namespace router_log;

struct Sample {
    double seconds = 0;
    double cpuSeconds = 0;  // user + system
    long maxRssKiB = 0;
    int status = 0;
};

Sample RunOnce(const std::vector<std::string>& args, const std::string& stdoutPath) {
    const bench::CommandRun run = bench::RunCommand(args, stdoutPath);
    return {run.seconds, run.cpuSeconds(), run.usage.ru_maxrss, run.status};
}

// Read in pieces: whatever the bench holds at fork counts towards the child's peak RSS.
long CountLines(const std::string& path) {
    static char buffer[1 << 16];
    std::ifstream in(path, std::ios::binary);
    long lines = 0;
    while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
        lines += static_cast<long>(std::count(buffer, buffer + in.gcount(), '\n'));
    }
    return lines;
}

struct Result {
    std::string name;
    long logLines = 0;
    long listed = 0;
    double best = 1e30;
    double bestCpu = 1e30;
    long maxRssKiB = 0;
    int status = 0;  // of the first run
};

// One run into a file for the output (it also warms the page cache), then timed runs.
Result Measure(const std::string& name, const std::vector<std::string>& args, long logLines,
               const std::string& outPath, int runs, const std::string& timedOut = "/dev/null") {
    Result r{name, logLines};
    const Sample first = RunOnce(args, outPath);
    r.status = first.status;
    r.listed = CountLines(outPath);
    for (int i = 0; i < runs; ++i) {
        const Sample s = RunOnce(args, timedOut);
        r.best = std::min(r.best, s.seconds);
        r.bestCpu = std::min(r.bestCpu, s.cpuSeconds);
        r.maxRssKiB = std::max(r.maxRssKiB, s.maxRssKiB);
    }
    return r;
}

// Two commands run by turns, so a busy machine weighs on both alike.
std::pair<Result, Result> MeasureByTurns(const std::string& firstName,
                                         const std::vector<std::string>& first,
                                         const std::string& secondName,
                                         const std::vector<std::string>& second, long logLines,
                                         const std::string& outDir, int runs) {
    Result a = Measure(firstName, first, logLines, outDir + "/turns1.out", 0);
    Result b = Measure(secondName, second, logLines, outDir + "/turns2.out", 0);
    for (int i = 0; i < runs; ++i) {
        for (Result* r : {&a, &b}) {
            const Sample s = RunOnce(r == &a ? first : second, "/dev/null");
            r->best = std::min(r->best, s.seconds);
            r->bestCpu = std::min(r->bestCpu, s.cpuSeconds);
            r->maxRssKiB = std::max(r->maxRssKiB, s.maxRssKiB);
        }
    }
    return {a, b};
}

struct Check {
    std::string what;
    bool ok;
};

void PrintTables(const std::vector<Result>& rows, const std::vector<Check>& checks, int runs,
                 long selfRssKiB) {
    for (const Result& r : rows) {
        if (r.status != 0) {
            std::printf("note: %s exited with status %d\n", r.name.c_str(), r.status);
        }
    }
    std::printf("\n%-26s %11s %11s %9s %13s %9s\n", "variant", "log lines", "listed", "best s",
                "lines/s", "RSS MiB");
    for (const Result& r : rows) {
        std::printf("%-26s %11ld %11ld %9.3f %13.0f %9.1f\n", r.name.c_str(), r.logLines, r.listed,
                    r.best, r.logLines / r.best, r.maxRssKiB / 1024.0);
    }
    std::printf("(best of %d; stdout to /dev/null, grep -c's to a file)\n", runs);
    std::printf("(RSS: the child's peak; this bench peaked at %.1f MiB)\n\n", selfRssKiB / 1024.0);
    for (const Check& c : checks) {
        std::printf("check: %-52s %s\n", c.what.c_str(), c.ok ? "ok" : "MISMATCH");
    }
    const double vsAwk = rows[2].best / rows[4].best;
    const double overhead = (rows[2].best / rows[0].best - 1) * 100;
    std::printf("\n%-44s %10s   %s\n", "ratio", "measured", "target");
    std::printf("%-44s %9.2fx   %s\n", "corvix (200 filters) / grep|awk", vsAwk,
                "<= 0.5 x grep|awk");
    std::printf("%-44s %9.1f%%   %s\n", "filter overhead (200 filters / none - 1)", overhead,
                "filter overhead <= 25%");
    std::printf("%-44s %4.1f / %.1f   %s\n", "peak RSS MiB, N/10 vs N", rows[1].maxRssKiB / 1024.0,
                rows[0].maxRssKiB / 1024.0, "memory flat");
    std::printf("%-44s %9.2fx   %s\n", "corvix --stats / --list (200 filters, by turns)",
                rows[5].best / rows[8].best, "<= 1.2 x");
    std::printf("%-44s %9.2fx\n", "  the same in CPU time (user + system)",
                rows[5].bestCpu / rows[8].bestCpu);
    std::printf("%-44s %9.2fx   %s\n", "--stats --top=0 --format=json / --list",
                rows[7].best / rows[2].best, "");
    std::printf("%-44s %4.1f / %.1f   %s\n", "--stats peak RSS MiB, N/10 vs N",
                rows[6].maxRssKiB / 1024.0, rows[5].maxRssKiB / 1024.0, "memory flat");
}

void PrintJson(const std::vector<Result>& rows, const std::vector<Check>& checks, int runs,
               long selfRssKiB) {
    std::vector<bench::JsonObject> variants, checked;
    for (const Result& r : rows) {
        variants.push_back(bench::JsonObject()
                               .Add("name", r.name)
                               .Add("log_lines", r.logLines)
                               .Add("listed", r.listed)
                               .Add("best_seconds", r.best)
                               .Add("best_cpu_seconds", r.bestCpu)
                               .Add("max_rss_kib", r.maxRssKiB)
                               .Add("exit_status", r.status));
    }
    for (const Check& c : checks) {
        checked.push_back(bench::JsonObject().Add("what", c.what).Add("ok", c.ok));
    }
    bench::JsonObject()
        .Add("runs", runs)
        .Add("bench_max_rss_kib", selfRssKiB)
        .Add("variants", variants)
        .Add("checks", checked)
        .Print();
}

}  // namespace

int main(int argc, char** argv) {
    const long records = std::max(10L, bench::Option(argc, argv, "lines", 1000000));
    const std::string keepDir = bench::OptionText(argc, argv, "keep");
    const bool json = bench::JsonWanted(argc, argv);
    const fs::path dir = bench::MakeTempDir("corvix_bench");
    if (dir.empty()) {
        return 1;
    }
    int rc = 0;
    try {
        // A private copy, so the settings file beside it is ours alone.
        const std::string corvix = (dir / "corvix").string();
        fs::copy_file(CORVIX_BINARY, corvix);
        fs::permissions(corvix, fs::perms::owner_all, fs::perm_options::add);

        const Workload w = MakeWorkload();
        const std::string log = (dir / "big.log").string(), small = (dir / "small.log").string();
        const LogCounts big = WriteLog(log, records, w);
        const LogCounts tenth = WriteLog(small, records / 10, w);
        const auto out = [&](const char* name) { return (dir / name).string(); };
        const std::string awk = "grep 'in ' " + log +
                                " | awk -F'[][ =>]+' '{printf \"%s %s %s %s[%s] ==> %s[%s]\\n\", "
                                "$1, $2, $3, $4, $5, $6, $7}'";
        constexpr int kRuns = 3;

        std::vector<Result> rows;
        rows.push_back(Measure("corvix, no filters", {corvix, "--list", log}, big.fileLines,
                               out("a.out"), kRuns));
        rows.push_back(Measure("corvix, no filters, N/10", {corvix, "--list", small},
                               tenth.fileLines, out("a10.out"), kRuns));
        WriteSettings((dir / "corvix.cfg").string(), w);
        rows.push_back(Measure("corvix, 200 filters", {corvix, "--list", log}, big.fileLines,
                               out("b.out"), kRuns));
        // grep quits at the first match when its output is /dev/null, so it writes to a file.
        rows.push_back(Measure("grep -c", {"grep", "-c", "in ", log}, big.fileLines, out("c.out"),
                               kRuns, out("c.timed")));
        std::ifstream(out("c.out")) >> rows[3].listed;
        rows.push_back(
            Measure("grep | awk", {"sh", "-c", awk}, big.fileLines, out("d.out"), kRuns));
        // --stats reads what --list lists and must not hold it: same time, flat memory.
        // By turns with --list, ten times each: the ratio of the two is the figure.
        auto [listed, stats] = MeasureByTurns(
            "corvix, 200 filters, by turns", {corvix, "--list", log}, "corvix --stats, 200 filters",
            {corvix, "--stats", log}, big.fileLines, dir.string(), 5);
        rows.push_back(stats);
        rows.push_back(Measure("corvix --stats, 200 filters, N/10", {corvix, "--stats", small},
                               tenth.fileLines, out("e10.out"), kRuns));
        rows.push_back(Measure("corvix --stats --format=json, 200 filters",
                               {corvix, "--stats", "--format=json", "--top=0", log}, big.fileLines,
                               out("f.out"), kRuns));
        rows.push_back(listed);

        rusage self{};
        getrusage(RUSAGE_SELF, &self);
        const std::vector<Check> checks = {
            {"corvix lists every inbound line", rows[0].listed == big.inbound},
            {"corvix lists every inbound line at N/10", rows[1].listed == tenth.inbound},
            {"corvix with filters hides what it should", rows[2].listed == big.inboundShown},
            {"grep -c counts what corvix lists", rows[3].listed == rows[0].listed},
            {"grep|awk line count equals corvix", rows[4].listed == rows[0].listed},
            {"grep|awk output equals corvix",
             RunOnce({"cmp", "-s", out("d.out"), out("a.out")}, "/dev/null").status == 0},
        };
        if (json) {
            PrintJson(rows, checks, kRuns, self.ru_maxrss);
        } else {
            PrintTables(rows, checks, kRuns, self.ru_maxrss);
        }
        if (!keepDir.empty()) {
            fs::create_directories(keepDir);
            fs::copy_file(log, fs::path(keepDir) / "big.log", fs::copy_options::overwrite_existing);
            fs::copy_file(dir / "corvix.cfg", fs::path(keepDir) / "corvix.cfg",
                          fs::copy_options::overwrite_existing);
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "corvix_list_bench: %s\n", e.what());
        rc = 1;
    }
    std::error_code ignored;
    fs::remove_all(dir, ignored);
    return rc;
}
