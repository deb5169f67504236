// `corvix --list` over a month of generated daily logs (a directory of them), next to a
// grep|awk pipeline over the same files; one day compressed against the same day plain.
// Figures only; nothing is asserted. Generated into a temporary directory, deleted after.
// Run: build/bench/corvix_days_bench [--days=30] [--lines=1000000]
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "bench/bench_process.h"
#include "bench/router_log.h"

#include <algorithm>
#include <cstdio>
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
    long maxRssKiB = 0;
    int status = 0;
};

double Now() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<double>(t.tv_sec) + t.tv_nsec / 1e9;
}

Sample Run(const std::vector<std::string>& args, const std::string& stdoutPath) {
    const bench::CommandRun run = bench::RunCommand(args, stdoutPath);
    return {run.seconds, run.usage.ru_maxrss, run.status};
}

Sample Best(const std::vector<std::string>& args, const std::string& out, int runs) {
    Sample best = Run(args, out);  // also warms the page cache
    for (int i = 0; i < runs; ++i) {
        const Sample s = Run(args, "/dev/null");
        best.seconds = std::min(best.seconds, s.seconds);
        best.maxRssKiB = std::max(best.maxRssKiB, s.maxRssKiB);
    }
    return best;
}

long CountLines(const std::string& path) {
    static char buffer[1 << 16];
    std::ifstream in(path, std::ios::binary);
    long lines = 0;
    while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
        lines += static_cast<long>(std::count(buffer, buffer + in.gcount(), '\n'));
    }
    return lines;
}

}  // namespace

int main(int argc, char** argv) {
    const long days = std::clamp(bench::Option(argc, argv, "days", 30), 2L, 31L);
    const long records = std::max(10L, bench::Option(argc, argv, "lines", 1000000));
    const fs::path dir = bench::MakeTempDir("corvix_days_bench");
    if (dir.empty()) {
        return 1;
    }
    int rc = 0;
    try {
        const std::string corvix = (dir / "corvix").string();
        fs::copy_file(CORVIX_BINARY, corvix);
        fs::permissions(corvix, fs::perms::owner_all, fs::perm_options::add);
        const fs::path logs = dir / "logs", few = dir / "few";
        fs::create_directories(logs);
        fs::create_directories(few);

        const Workload w = MakeWorkload();
        const double generating = Now();
        long lines = 0, inbound = 0;
        std::string files;
        for (long day = 1; day <= days; ++day) {
            char name[64];
            std::snprintf(name, sizeof name, "Velmora-incoming-2026-12-%02ld.log", day);
            const LogCounts counts = WriteLog((logs / name).string(), records, w);
            lines += counts.fileLines;
            inbound += counts.inbound;
            files += " " + (logs / name).string();
            if (day <= 3) {
                fs::create_hard_link(logs / name, few / name);
            }
        }
        std::printf("generated %ld days x %ld records (%ld lines, %.0f MiB) in %.1f s\n", days,
                    records, lines, static_cast<double>(lines) * 62 / (1 << 20),
                    Now() - generating);

        const auto out = [&](const char* name) { return (dir / name).string(); };
        const Sample all = Best({corvix, "--list", logs.string()}, out("all.out"), 1);
        const Sample three = Best({corvix, "--list", few.string()}, out("few.out"), 1);
        const std::string awk = "grep -h 'in '" + files +
                                " | awk -F'[][ =>]+' '{printf \"%s %s %s %s[%s] ==> %s[%s]\\n\", "
                                "$1, $2, $3, $4, $5, $6, $7}'";
        const Sample pipeline = Best({"sh", "-c", awk}, out("awk.out"), 1);
        const bool same =
            Run({"cmp", "-s", out("all.out"), out("awk.out")}, "/dev/null").status == 0;
        const long listed = CountLines(out("all.out"));

        // One day compressed beside the same day plain.
        const fs::path one = logs / "Velmora-incoming-2026-12-01.log";
        const fs::path packedDir = dir / "packed";
        fs::create_directories(packedDir);
        Run({"sh", "-c",
             "gzip -1 -c " + one.string() + " > " + (packedDir / one.filename()).string() + ".gz"},
            "/dev/null");
        const Sample plainDay = Best({corvix, "--list", one.string()}, out("p.out"), 2);
        const Sample gzDay = Best({corvix, "--list", (packedDir / one.filename()).string() + ".gz"},
                                  out("g.out"), 2);
        const bool gzSame = Run({"cmp", "-s", out("p.out"), out("g.out")}, "/dev/null").status == 0;

        std::printf("\n%-34s %9s %11s %9s\n", "variant", "best s", "lines/s", "RSS MiB");
        const auto row = [&](const char* name, const Sample& s, long n) {
            std::printf("%-34s %9.3f %11.0f %9.1f%s\n", name, s.seconds, n / s.seconds,
                        s.maxRssKiB / 1024.0, s.status != 0 ? "  (exit status not 0)" : "");
        };
        row("corvix --list DIR (all days)", all, lines);
        row("corvix --list DIR (3 days)", three, lines * 3 / days);
        row("grep 'in ' | awk (all days)", pipeline, lines);
        row("corvix --list one day, plain", plainDay, lines / days);
        row("corvix --list one day, .gz", gzDay, lines / days);
        std::printf(
            "\nchecks: listed %ld of %ld inbound lines: %s; same output as grep|awk: %s;"
            " .gz lists the same as plain: %s\n",
            listed, inbound, listed == inbound ? "ok" : "MISMATCH", same ? "ok" : "MISMATCH",
            gzSame ? "ok" : "MISMATCH");
        std::printf("%-44s %9.2fx   %s\n", "corvix / grep|awk over all days",
                    all.seconds / pipeline.seconds, "target <= 0.5x");
        std::printf("%-44s %4.1f / %.1f MiB   %s\n", "peak RSS, 3 days vs all days",
                    three.maxRssKiB / 1024.0, all.maxRssKiB / 1024.0, "target: flat");
    } catch (const std::exception& e) {
        std::fprintf(stderr, "corvix_days_bench: %s\n", e.what());
        rc = 1;
    }
    std::error_code ignored;
    fs::remove_all(dir, ignored);
    return rc;
}
