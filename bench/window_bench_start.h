#pragma once

// What a benchmark of corvix's window starts from: its options, a scratch folder and the
// benchmark log generated in it.

#include <algorithm>
#include <filesystem>
#include <optional>
#include <string>

#include "bench/bench_process.h"
#include "bench/json_object.h"
#include "bench/router_log.h"

namespace bench {

struct WindowBenchStart {
    int runs = 0;
    bool json = false;
    std::filesystem::path dir;
    std::string self;  // this program, started again for each run's window
    router_log::Workload workload;
    std::string log;
    router_log::LogCounts counts;
};

// Reads --lines (`defaultRecords` when absent), --runs and --json, and writes the log;
// nullopt when no scratch folder could be made.
inline std::optional<WindowBenchStart> StartWindowBench(int argc, char** argv,
                                                        const std::string& name,
                                                        long defaultRecords) {
    WindowBenchStart start;
    const long records = std::max(10L, Option(argc, argv, "lines", defaultRecords));
    start.runs = static_cast<int>(std::max(1L, Option(argc, argv, "runs", 3)));
    start.json = JsonWanted(argc, argv);
    start.dir = MakeTempDir(name);
    if (start.dir.empty()) {
        return std::nullopt;
    }
    start.self = std::filesystem::read_symlink("/proc/self/exe").string();
    start.workload = router_log::MakeWorkload();
    start.log = (start.dir / "big.log").string();
    start.counts = router_log::WriteLog(start.log, records, start.workload);
    return start;
}

}  // namespace bench
