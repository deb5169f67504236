"""Runs every benchmark of `make bench` and writes the tables: receivers beside the bare
reference and snmptrapd, the message list's rows, velmora's window and list commands,
corvix --list beside grep, awk and lnav, and corvix's window. scripts/bench.sh puts it in
a private network namespace first; the environment it reads is described there."""

import json
import os
import platform
import shutil
import subprocess
import sys
import tempfile
import time

import receivers
import report
from receivers import log

TARGETS = ["velmora", "corvix", "blaster", "bare_receiver", "corvix_list_bench", "corvix_days_bench",
           "receiver_bench",
           "corvix_window_bench", "corvix_stats_window_bench", "corvix_follow_bench", "receiver_window_bench",
           "list_commands_bench"]


class Tools:
    """Where the built programs are, and the scratch directory of this run."""

    def __init__(self, root, build_dir, work):
        self.root, self.work = root, work
        self.velmora = os.path.join(build_dir, "receiver/app/velmora")
        bench = os.path.join(build_dir, "bench")
        self.blaster = os.path.join(bench, "blaster")
        self.bare = os.path.join(bench, "bare_receiver")
        self.receiver_bench = os.path.join(bench, "receiver_bench")
        self.corvix_list_bench = os.path.join(bench, "corvix_list_bench")
        self.corvix_days_bench = os.path.join(bench, "corvix_days_bench")
        self.corvix_window_bench = os.path.join(bench, "corvix_window_bench")
        self.corvix_stats_window_bench = os.path.join(bench, "corvix_stats_window_bench")
        self.corvix_follow_bench = os.path.join(bench, "corvix_follow_bench")
        self.receiver_window_bench = os.path.join(bench, "receiver_window_bench")
        self.list_commands_bench = os.path.join(bench, "list_commands_bench")


def env_flag(name):
    return bool(os.environ.get(name))


def build(root, build_dir):
    cache = os.path.join(build_dir, "CMakeCache.txt")
    configured = False
    if os.path.exists(cache):
        with open(cache) as f:
            configured = "VELMORA_BUILD_BENCH:BOOL=ON" in f.read().splitlines()
    if not configured:
        subprocess.run(["cmake", "-S", root, "-B", build_dir, "-G", "Ninja",
                        "-DCMAKE_BUILD_TYPE=Release", "-DVELMORA_BUILD_BENCH=ON"],
                       stdout=sys.stderr, check=True)
    subprocess.run(["cmake", "--build", build_dir, "--target", *TARGETS], stdout=sys.stderr,
                   check=True)


def offscreen():
    return dict(os.environ, QT_QPA_PLATFORM="offscreen")


def run_json(args, env=None):
    """A benchmark's one JSON object; its stderr is left out of the tables."""
    out = subprocess.run(args, env=env, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                         text=True, check=True).stdout
    return json.loads(out)


def timed(args, env, stderr_path):
    """(wall seconds, peak RSS KiB) of one run, stdout thrown away."""
    start = time.monotonic()
    with open(stderr_path, "wb") as err:
        process = subprocess.Popen(args, env=env, stdout=subprocess.DEVNULL, stderr=err)
        _, status, usage = os.wait4(process.pid, 0)
    process.returncode = os.waitstatus_to_exitcode(status)  # reaped here, not by Popen
    return time.monotonic() - start, usage.ru_maxrss


def lnav_figures(work):
    """lnav on the log corvix_list_bench left: best times and peak memory of loading and
    indexing (-n -q) and of printing it all (-n), and the messages it counted."""
    # lnav keeps its state under HOME; a private one leaves the user's alone.
    home = os.path.join(work, "lnav-home")
    os.makedirs(home, exist_ok=True)
    env = dict(os.environ, HOME=home)
    big = os.path.join(work, "log", "big.log")

    def best(runs, *options):
        times, peak = [], 0
        for i in range(runs + 1):
            seconds, kib = timed(["lnav", *options, big], env, os.path.join(work, "lnav.err"))
            if i == 0:
                continue  # the first fills its caches
            times.append(seconds)
            peak = max(peak, kib)
        return min(times), peak

    log("lnav: load and index (-n -q), then load, index and print (-n)")
    figures = {}
    figures["index_seconds"], figures["index_kib"] = best(3, "-n", "-q")
    figures["print_seconds"], figures["print_kib"] = best(2, "-n")
    out = subprocess.run(["lnav", "-n", "-c", ";SELECT count(*) AS n FROM all_logs", big],
                         env=env, capture_output=True, text=True).stdout.splitlines()
    figures["count"] = out[1].split()[0] if len(out) > 1 and out[1].split() else None
    return figures


def output_lines(args):
    try:
        out = subprocess.run(args, capture_output=True, text=True)
    except OSError:
        return []
    return (out.stdout + out.stderr).splitlines()


def machine_lines(root, load_start):
    cpu_model = "unknown CPU"
    with open("/proc/cpuinfo") as f:
        for line in f:
            if line.startswith("model name"):
                cpu_model = line.split(": ", 1)[1].strip()
                break
    with open("/proc/meminfo") as f:
        mem_kib = next(int(line.split()[1]) for line in f if line.startswith("MemTotal"))
    try:
        with open("/etc/debian_version") as f:
            debian = f.read().strip()
    except OSError:
        debian = "?"
    describe = subprocess.run(["git", "-C", root, "describe", "--always", "--dirty"],
                              capture_output=True, text=True).stdout.strip() or "?"
    snmptrapd = next(("snmptrapd " + line.split()[-1]
                      for line in output_lines(["snmptrapd", "--version"])
                      if "version" in line.lower()), "")
    lnav = (output_lines(["lnav", "-V"]) or [""])[0]
    return [
        f"- Date: {time.strftime('%Y-%m-%d %H:%M UTC', time.gmtime())}",
        f"- Machine: {os.cpu_count()} CPUs, {cpu_model}, {mem_kib / 1048576:.1f} GiB memory",
        f"- Load average at start and end: {load_start}; {load_average()}",
        f"- Kernel: {platform.release()}; Debian {debian}",
        f"- velmora: {describe}; {snmptrapd}; {lnav}",
    ]


def load_average():
    with open("/proc/loadavg") as f:
        return " ".join(f.read().split()[:3])


def main():
    root = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
    build_dir = os.environ.get("BUILD_DIR") or "build"
    if not os.path.isabs(build_dir):
        build_dir = os.path.join(root, build_dir)
    count = int(os.environ.get("BENCH_COUNT", 200000))
    overload = int(os.environ.get("BENCH_OVERLOAD", 1000000))
    cpu_rate = int(os.environ.get("BENCH_CPU_RATE", 10000))
    kinds = os.environ.get("BENCH_RECEIVERS", "bare velmora velmora-rules snmptrapd snmptrapd-4M").split()

    load_start = load_average()
    work = tempfile.mkdtemp(prefix="velmora-bench.", dir="/tmp")
    try:
        if not env_flag("BENCH_NO_BUILD"):
            build(root, build_dir)
        tools = Tools(root, build_dir, work)
        table = []

        serial = receivers.Serial()
        results = {}
        for kind in kinds:
            results[kind] = receivers.measure_receiver(kind, tools, count, overload, cpu_rate,
                                                       serial)
        # The rules must not cost the burst velmora takes without them: one burst at that
        # rate, beside the rules' own zero-loss search (which a noisy trial can pull down).
        plain = results.get("velmora")
        if "velmora-rules" in results and plain and plain.zero:
            receivers.burst_at("velmora-rules", int(plain.zero), count, tools, serial,
                               results["velmora-rules"])
        table += report.receivers_section(results, kinds, count, overload, cpu_rate)

        # The message list's row store: memory per row with a million rows held.
        log("message list rows: 1,000,000 appended")
        try:
            rows = run_json([tools.receiver_bench, "--benchmark_filter=MessageStoreMillionRows",
                             "--benchmark_format=json"])
            run = report.google_benchmark_counters(rows, "BM_MessageStoreMillionRows")
        except (subprocess.CalledProcessError, ValueError):
            run = None
        if run:
            table += [""] + report.rows_section(run)

        # velmora's window (offscreen) beside the bare receiver, and its list commands
        window_sections = []
        if not env_flag("BENCH_SKIP_RECEIVER_WINDOW"):
            log("velmora window benchmark")
            window = report.receiver_window_text(
                run_json([tools.receiver_window_bench, "--json"], offscreen()))
            log("\n".join(window))
            log("velmora list commands on 1,000,000 rows")
            commands = report.list_commands_text(
                run_json([tools.list_commands_bench, "--json"], offscreen()))
            log("\n".join(commands))
            window_sections += [""] + report.code_section(
                "### velmora window (offscreen, every display flag on) beside the bare"
                " receiver", window)
            window_sections += [""] + report.code_section(
                "### velmora list commands (offscreen): time and resident memory each adds",
                commands)

        # corvix --list beside lnav, on the log corvix_list_bench generates
        if not env_flag("BENCH_SKIP_CORVIX"):
            log("corvix --list benchmark")
            corvix_list = run_json([tools.corvix_list_bench,
                                    f"--keep={os.path.join(work, 'log')}", "--json"])
            log("\n".join(report.corvix_list_text(corvix_list)))
            lnav = lnav_figures(work)
            table += [""] + report.corvix_list_section(corvix_list, lnav)

        # corvix --list over a month of daily logs (BENCH_DAYS, default 30)
        if not env_flag("BENCH_SKIP_CORVIX"):
            log("corvix --list over many days")
            days = subprocess.run(
                [tools.corvix_days_bench, f"--days={os.environ.get('BENCH_DAYS', '30')}"],
                check=True, capture_output=True, text=True).stdout.rstrip().split("\n")
            log("\n".join(days))
            table += [""] + report.code_section("### corvix --list over a month of daily logs",
                                                days)

        # corvix's window, offscreen, on the same generated log
        if not env_flag("BENCH_SKIP_WINDOW"):
            log("corvix window benchmark")
            text = report.corvix_window_text(
                run_json([tools.corvix_window_bench, "--json"], offscreen()))
            log("\n".join(text))
            table += [""] + report.code_section(
                "### corvix window (offscreen), the same log", text)
        # corvix's window over a month of daily logs (BENCH_DAYS, default 30)
        if not env_flag("BENCH_SKIP_WINDOW_MONTH"):
            log("corvix window over a month of daily logs")
            text = report.corvix_window_month_text(
                run_json([tools.corvix_window_bench,
                          f"--days={os.environ.get('BENCH_DAYS', '30')}", "--json"],
                         offscreen()))
            log("\n".join(text))
            table += [""] + report.code_section(
                "### corvix window (offscreen) over a month of daily logs", text)
        # corvix's Statistics window over a million listed entries, and click-to-filter
        if not env_flag("BENCH_SKIP_STATS_WINDOW"):
            log("corvix Statistics window benchmark")
            text = report.corvix_stats_window_text(
                run_json([tools.corvix_stats_window_bench, "--json"], offscreen()))
            log("\n".join(text))
            table += [""] + report.code_section(
                "### corvix Statistics window (offscreen), a million listed entries", text)
        # corvix's window following a log that grows
        if not env_flag("BENCH_SKIP_FOLLOW"):
            log("corvix following a log")
            text = subprocess.run([tools.corvix_follow_bench], check=True, capture_output=True,
                                  text=True, env=offscreen()).stdout.rstrip().split("\n")
            log("\n".join(text))
            table += [""] + report.code_section(
                "### corvix window (offscreen) following a log that grows", text)
        table += window_sections

        text = "\n".join(table) + "\n"
        print()
        print(text, end="", flush=True)
        results_path = os.path.join(build_dir, "bench-results.md")
        with open(results_path, "w") as f:
            f.write("# Benchmark results\n\nWritten by scripts/bench.sh; run it again to"
                    " refresh.\n\n")
            f.write("\n".join(machine_lines(root, load_start)) + "\n\n")
            f.write(text)
        log(f"written: {results_path}")
    finally:
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
