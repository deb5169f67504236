#!/usr/bin/env bash
# Receiver throughput beside a bare reference and snmptrapd, corvix --list beside grep,
# awk and lnav, and both windows offscreen. Prints the tables and writes them, with the
# machine, to BUILD_DIR/bench-results.md, outside the tracked tree (bench/results.md
# holds the figures the README quotes). Figures only: a slow result never fails the run.
#
# Usage: bash scripts/bench.sh            (what `make bench` runs; about 5-10 minutes)
# Environment:
#   BUILD_DIR=build        where the project is configured and built
#   BENCH_NO_BUILD=1       measure what is already built
#   BENCH_COUNT=200000     datagrams in each zero-loss trial
#   BENCH_OVERLOAD=1000000 datagrams sent flat out in the overload trial
#   BENCH_CPU_RATE=10000   the common rate the CPU cost is measured at
#   BENCH_RECEIVERS="bare velmora velmora-rules snmptrapd snmptrapd-4M"
#                          which receivers to measure (velmora-rules: velmora with the 20
#                          alert rules of bench/alert_rules.ini)
#   BENCH_SKIP_CORVIX=1    no corvix --list figures
#   BENCH_SKIP_WINDOW=1    no window figures of corvix
#   BENCH_SKIP_STATS_WINDOW=1   no figures of corvix's Statistics window
#   BENCH_SKIP_WINDOW_MONTH=1   no figures of corvix's window over BENCH_DAYS daily logs
#   BENCH_SKIP_FOLLOW=1    no figures of corvix's window following a growing log
#   BENCH_DAYS=30          days of the month benchmarks
#   BENCH_SKIP_RECEIVER_WINDOW=1   no window figures of velmora (receiver_window_bench,
#                                  list_commands_bench)
#
# The trials, the rate search and the tables are scripts/bench/driver.py; this only puts
# it in a private network namespace (unshare -n as root, unshare -rn otherwise), so the
# traffic stays on its own loopback and no name lookup can leave it.
#
# Method, per receiver, each trial a fresh process:
#   zero-loss rate  doubling from 25,000/s, then bisection, at most 8 trials; a trial
#                   passes when every datagram shows in the receiver's output. The rate
#                   is what the blaster achieved; ">=" means the blaster could go no faster.
#   overload        BENCH_OVERLOAD datagrams flat out; received / (end of drain - start).
#   CPU             utime+stime from /proc/PID/stat, from just before sending until the
#                   socket is drained, per 100,000 datagrams received; start-up excluded.
#   rules' burst    with velmora and velmora-rules both measured: one more trial of
#                   velmora-rules at velmora's zero-loss rate, lossless or not.
# A trial ends when the socket's queue is empty and the output has stopped growing; the
# receiver then gets SIGTERM and what it wrote is counted.
set -euo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export PATH="$PATH:/usr/sbin:/sbin"

if [[ -z ${BENCH_IN_NETNS:-} ]]; then
    if [[ $(id -u) -eq 0 ]]; then
        exec env BENCH_IN_NETNS=1 unshare -n bash "${BASH_SOURCE[0]}" "$@"
    fi
    exec env BENCH_IN_NETNS=1 unshare -rn bash "${BASH_SOURCE[0]}" "$@"
fi
ip link set lo up

exec python3 -B "$ROOT/scripts/bench/driver.py" "$@"
