#pragma once

// The benchmark log: a generated day of router log, a million records by default, with
// a settings file of 200 filters. Every benchmark of corvix reads the same one.

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "bench/xorshift.h"

namespace router_log {

constexpr unsigned kCommonPorts[] = {80, 443, 137, 138, 139, 22, 25, 53, 110, 445, 3389, 8080};
constexpr const char* kControl[] = {"WAN connection up", "WAN connection down",
                                    "DHCP lease renewed", "PPP link established",
                                    "Firewall rule set reloaded"};

struct Workload {
    std::vector<std::string> sources;   // distinct source addresses
    std::vector<std::string> targets;   // addresses behind the router
    std::vector<unsigned> hiddenPorts;  // active port filters
    std::size_t hiddenSources = 150;    // sources[0..150) are active filters
};

// Fixed seeds: every run of every benchmark measures the same log.
inline Workload MakeWorkload() {
    XorShift rng{0x9E3779B97F4A7C15ULL};
    Workload w;
    while (w.sources.size() < 3000) {
        std::string ip = std::to_string(1 + rng.Below(223)) + "." + std::to_string(rng.Below(256)) +
                         "." + std::to_string(rng.Below(256)) + "." +
                         std::to_string(1 + rng.Below(254));
        if (std::find(w.sources.begin(), w.sources.end(), ip) == w.sources.end()) {
            w.sources.push_back(std::move(ip));
        }
    }
    for (unsigned i = 1; i <= 200; ++i) {
        w.targets.push_back("192.168." + std::to_string(i % 4) + "." + std::to_string(i));
    }
    // The NetBIOS chatter people usually hide, plus rare ports nobody else uses.
    w.hiddenPorts = {137, 138, 139};
    while (w.hiddenPorts.size() < 50) {
        const unsigned port = 10000 + rng.Below(55000);
        if (std::find(w.hiddenPorts.begin(), w.hiddenPorts.end(), port) == w.hiddenPorts.end()) {
            w.hiddenPorts.push_back(port);
        }
    }
    return w;
}

inline unsigned Port(XorShift& rng) {
    return rng.Below(2) == 0 ? kCommonPorts[rng.Below(std::size(kCommonPorts))]
                             : 1 + rng.Below(65535);
}

struct LogCounts {
    long fileLines = 0;
    long inbound = 0;
    long inboundShown = 0;  // inbound lines the filters let through
};

inline LogCounts WriteLog(const std::string& path, long records, const Workload& w) {
    XorShift rng{0x9E3779B97F4A7C15ULL};
    std::vector<bool> portHidden(65536);
    for (unsigned p : w.hiddenPorts) {
        portHidden[p] = true;
    }
    std::FILE* out = std::fopen(path.c_str(), "w");
    if (out == nullptr) {
        throw std::runtime_error("cannot write " + path);
    }
    LogCounts counts;
    std::fprintf(out, "Velmora SNMP log opened 09/27/2002 00:00:00\n");
    char line[160];
    for (long i = 0; i < records; ++i) {
        const long sec = i * 86400 / records;
        const unsigned kind = rng.Below(100);
        const std::size_t src = rng.Below(static_cast<unsigned>(w.sources.size()));
        const std::string& dst = w.targets[rng.Below(static_cast<unsigned>(w.targets.size()))];
        const unsigned srcPort = 1024 + rng.Below(64512);
        const unsigned dstPort = Port(rng);
        int n = std::snprintf(line, sizeof line, "09/27/2002 %02ld:%02ld:%02ld ", sec / 3600,
                              sec / 60 % 60, sec % 60);
        const char* dir = kind < 80 ? "in" : "out";
        const char* from = kind < 80 ? w.sources[src].c_str() : dst.c_str();
        const char* to = kind < 80 ? dst.c_str() : w.sources[src].c_str();
        if (kind >= 95) {
            n += std::snprintf(line + n, sizeof line - n, "%s\n", kControl[rng.Below(5)]);
        } else if (kind % 2 == 0) {
            n += std::snprintf(line + n, sizeof line - n, "%s %s %u %s %u\n", dir, from, srcPort,
                               to, dstPort);
        } else {
            n += std::snprintf(line + n, sizeof line - n, "%s %s[%u] ==> %s[%u]\n", dir, from,
                               srcPort, to, dstPort);
        }
        std::fwrite(line, 1, static_cast<std::size_t>(n), out);
        if (kind < 80) {
            ++counts.inbound;
            counts.inboundShown += (src >= w.hiddenSources && !portHidden[dstPort]) ? 1 : 0;
        }
    }
    std::fprintf(out, "%ld log records\nVelmora SNMP log closed 09/27/2002 23:59:59\n", records);
    std::fclose(out);
    counts.fileLines = records + 3;
    return counts;
}

inline void WriteSettings(const std::string& path, const Workload& w) {
    std::ofstream cfg(path);
    cfg << "[SourceIPFilters]\n";
    for (std::size_t i = 0; i < w.hiddenSources + 5; ++i) {
        cfg << w.sources[i] << '=' << (i < w.hiddenSources ? 1 : 0) << '\n';
    }
    cfg << "\n[TargetPortFilters]\n";
    for (unsigned p : w.hiddenPorts) {
        cfg << p << "=1\n";
    }
    cfg << "80=0\n443=0\n";
}

}  // namespace router_log
