"""Receivers under load: one fresh process a trial, fed by the blaster over loopback, and
the search for the highest rate at which nothing is lost."""

import dataclasses
import json
import os
import re
import shutil
import subprocess
import sys
import time

PORT = 16162
COMMUNITY = "velmora-bench"  # what the blaster sends
STAMP_RE = re.compile(rb"^[0-9]{2}/[0-9]{2}/[0-9]{4} [0-9]{2}:[0-9]{2}:[0-9]{2} ")
TICK = os.sysconf("SC_CLK_TCK")


def log(text):
    print(text, file=sys.stderr, flush=True)


# ---------------------------------------------------------------------------------------
# The search: pure, so it can be tested without a socket.

class RateSearch:
    """Doubling from `start`, then bisection between the best passing rate and the
    last failing one, at most `max_trials` trials. Rates are what the blaster achieved,
    not what was asked: a sender that falls short is the limit, not the receiver."""

    def __init__(self, start=25000, max_trials=8, close_enough=1.08, lowest=500):
        self.rate = start
        self.max_trials = max_trials
        self.close_enough = close_enough
        self.lowest = lowest
        self.trials = 0
        self.best = 0.0  # highest achieved rate with nothing lost
        self.failed = 0.0  # achieved rate of the last trial that lost something
        self.limited = False
        self.done = False

    def record(self, passed, achieved):
        """Takes one trial's outcome; returns True when it is the new best."""
        self.trials += 1
        new_best = False
        if passed:
            if achieved > self.best:
                self.best = achieved
                new_best = True
            if achieved < 0.97 * self.rate:
                self.limited = True
                self.done = True
                return new_best
        else:
            self.failed = achieved
        if self.failed == 0:
            self.rate *= 2
        elif self.best == 0:
            self.rate //= 2
            if self.rate < self.lowest:
                self.done = True
        elif self.failed / self.best > self.close_enough:
            self.rate = int((self.best + self.failed) / 2)
        else:
            self.done = True
        if self.trials >= self.max_trials:
            self.done = True
        return new_best


# ---------------------------------------------------------------------------------------
# What the kernel and /proc say about the receiver and its socket.

def udp_state(port, table="/proc/net/udp"):
    """(queued bytes, drops) of the UDP socket bound to port, or (-1, -1) when none is."""
    suffix = f":{port:04X}"
    rxq, drops = -1, -1
    with open(table) as f:
        next(f)
        for line in f:
            fields = line.split()
            if fields[1].endswith(suffix):
                rxq = int(fields[4].split(":")[1], 16)
                drops = int(fields[-1])
    return rxq, drops


def cpu_seconds(pid):
    with open(f"/proc/{pid}/stat") as f:
        fields = f.read().rsplit(")", 1)[1].split()
    # utime and stime, the 14th and 15th fields; the split dropped the first two
    return (int(fields[11]) + int(fields[12])) / TICK


def peak_rss_kib(pid):
    with open(f"/proc/{pid}/status") as f:
        for line in f:
            if line.startswith("VmHWM:"):
                return int(line.split()[1])
    return None


def receive_buffer(port):
    """The receive buffer the kernel gave the socket, in bytes."""
    out = subprocess.run(["ss", "-uamn", f"sport = :{port}"], capture_output=True,
                         text=True).stdout
    m = re.search(r"skmem:\(r\d+,rb(\d+),", out)
    return int(m.group(1)) if m else None


def count_trap_lines(paths, snmptrapd):
    """Trap lines only: banners and record counts carry no stamp, snmptrapd's own lines
    no value."""
    n = 0
    for path in paths:
        with open(path, "rb") as f:
            for line in f:
                if (b" = STRING: " in line) if snmptrapd else STAMP_RE.match(line):
                    n += 1
    return n


# ---------------------------------------------------------------------------------------
# One receiver process

class Receiver:
    def __init__(self, kind, directory, tools):
        self.kind = kind
        self.dir = directory
        self.tools = tools
        self.process = None

    def start(self):
        kind, d = self.kind, self.dir
        stderr = open(os.path.join(d, "stderr"), "wb")
        if kind == "bare":
            args = [self.tools.bare, f"--port={PORT}", f"--out={d}/out.txt"]
            self.process = subprocess.Popen(args, stderr=stderr)
        elif kind in ("velmora", "velmora-rules"):
            os.makedirs(f"{d}/cfg")
            with open(os.path.join(self.tools.root, "bench/all_on.ini"), "rb") as src, \
                    open(f"{d}/cfg/velmora.ini", "wb") as dst:
                dst.write(src.read())
                # The same run with 20 alert rules of every sort: addresses, port ranges,
                # words and regular expressions.
                if kind == "velmora-rules":
                    with open(os.path.join(self.tools.root, "bench/alert_rules.ini"), "rb") as rules:
                        dst.write(rules.read())
            # Its own runtime directory, so a velmora the user runs is not taken for it.
            # The rows the display options print go where a service's output would.
            env = dict(os.environ, HOME=d, XDG_CONFIG_HOME=f"{d}/cfg", XDG_RUNTIME_DIR=d)
            self.process = subprocess.Popen(
                [self.tools.velmora, "--headless", f"--port={PORT}"], cwd=d, env=env,
                stdout=subprocess.DEVNULL, stderr=stderr)
        elif kind in ("snmptrapd", "snmptrapd-4M"):
            # The notification log would keep every trap in memory; a logger has no use
            # for it.
            conf = [f"authCommunity log {COMMUNITY}", "doNotRetainNotificationLogs yes",
                    "format1 %v\\n", "format2 %v\\n"]
            if kind == "snmptrapd-4M":
                # A library-wide setting: without the section tag it is ignored here.
                conf.append("[snmp] serverRecvBuf 4194304")
            with open(f"{d}/snmptrapd.conf", "w") as f:
                f.write("\n".join(conf) + "\n")
            env = dict(os.environ, SNMP_PERSISTENT_DIR=f"{d}/persist")
            self.process = subprocess.Popen(
                ["snmptrapd", "-f", "-C", "-c", f"{d}/snmptrapd.conf", "-Lf", f"{d}/out.txt",
                 "-n", "-m", "", f"127.0.0.1:{PORT}"], env=env, stderr=stderr)
        else:
            raise ValueError(f"unknown receiver {kind}")
        stderr.close()
        for _ in range(500):
            if udp_state(PORT)[0] >= 0:
                time.sleep(0.2)  # let start-up finish before its CPU is read
                return True
            if self.process.poll() is not None:
                break
            time.sleep(0.02)
        with open(os.path.join(d, "stderr"), errors="replace") as f:
            tail = " ".join(f.read().splitlines()[-3:])
        log(f"{kind} did not start: {tail}")
        self.stop()
        return False

    def stop(self):
        self.process.terminate()
        try:
            self.process.wait(timeout=10)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()

    def output_files(self):
        if self.kind.startswith("velmora"):
            logs = os.path.join(self.dir, "logs")
            names = sorted(os.listdir(logs)) if os.path.isdir(logs) else []
            return [os.path.join(logs, n) for n in names if n.endswith(".log")]
        path = os.path.join(self.dir, "out.txt")
        return [path] if os.path.exists(path) else []

    def output_size(self):
        total = 0
        for path in self.output_files():
            try:
                total += os.path.getsize(path)
            except OSError:
                pass
        return total

    def received(self):
        return count_trap_lines(self.output_files(), self.kind.startswith("snmptrapd"))

    def own_lost_count(self):
        """What velmora says it lost, from its last words."""
        with open(os.path.join(self.dir, "stderr"), errors="replace") as f:
            m = re.search(r"^velmora: (.*) datagrams lost in all\.", f.read(), re.M)
        return m.group(1) if m else None


@dataclasses.dataclass
class Trial:
    sent: int = 0
    achieved: float = 0.0  # datagrams per second the blaster managed
    received: int = 0
    drops: int = 0
    cpu: float = 0.0  # receiver CPU seconds from just before sending until drained
    window: float = 0.0  # from the first send until the socket was drained
    lag: float = 0.0  # from the last send until the socket was drained
    receive_buffer: int = None
    peak_kib: int = None


def run_blaster(blaster, count, rate):
    out = subprocess.run([blaster, f"--port={PORT}", f"--count={count}", f"--rate={rate}",
                          "--json"], capture_output=True, text=True, check=True).stdout
    return json.loads(out)


def trial(kind, rate, count, tools, serial):
    """One trial on a fresh receiver; None when the receiver would not start. It ends when
    the socket's queue is empty and the output has stopped growing."""
    d = os.path.join(tools.work, f"trial.{serial}")
    os.makedirs(d)
    receiver = Receiver(kind, d, tools)
    if not receiver.start():
        return None
    t = Trial(receive_buffer=receive_buffer(PORT))
    pid = receiver.process.pid
    cpu0 = cpu_seconds(pid)
    sent = run_blaster(tools.blaster, count, rate)
    end = time.monotonic()
    t.sent, t.achieved = sent["sent"], sent["per_second"]
    drained, last, stable = None, -1, 0
    for _ in range(6000):
        rxq, t.drops = udp_state(PORT)
        if drained is None and rxq == 0:
            drained = time.monotonic()
        if drained is not None:
            size = receiver.output_size()
            if size == last:
                stable += 1
                if stable >= 3:
                    break
            else:
                stable = 0
            last = size
            time.sleep(0.1)
        else:
            time.sleep(0.01)
    t.cpu = cpu_seconds(pid) - cpu0
    t.peak_kib = peak_rss_kib(pid)
    if drained is None:
        drained = end
    t.window = drained - (end - sent["seconds"])
    t.lag = drained - end
    receiver.stop()
    t.received = receiver.received()
    own = receiver.own_lost_count()
    log(f"  {kind:<13} rate {rate:>7}: sent {t.sent:>7} at {t.achieved:7.0f}/s,"
        f" received {t.received:>7}, kernel drops {t.drops:>6}"
        f"{f'; own count {own}' if own else ''}, cpu {t.cpu:.2f} s")
    shutil.rmtree(d, ignore_errors=True)
    return t


@dataclasses.dataclass
class ReceiverFigures:
    receive_buffer: int = None
    zero: float = None  # highest rate with nothing lost; None when it would not start
    zero_limited: bool = False
    zero_lag: float = None
    zero_cpu: float = None  # CPU seconds per 100,000 at that rate
    over_sent: float = None
    over_rate: float = None
    over_drops: int = None
    over_capacity: float = None  # received per CPU second
    hwm: int = None  # KiB, overload trial
    cpu: float = None  # CPU seconds per 100,000 at the common rate
    hwm_small: int = None  # KiB, common-rate trial
    # One burst at another receiver's zero-loss rate (velmora's, for velmora with rules):
    # the rate asked, the rate the blaster achieved and how many datagrams went missing.
    burst_asked: int = None
    burst_rate: float = None
    burst_lost: int = None


class Serial:
    def __init__(self):
        self.n = 0

    def next(self):
        self.n += 1
        return self.n


def burst_at(kind, rate, count, tools, serial, figures):
    """One burst of `count` at `rate` into a fresh receiver, into figures.burst_*."""
    log(f"{kind}: one burst at {rate:.0f}/s, {count} datagrams")
    t = trial(kind, rate, count, tools, serial.next())
    if t is not None:
        figures.burst_asked = rate
        figures.burst_rate = t.achieved
        figures.burst_lost = t.sent - t.received


def measure_receiver(kind, tools, count, overload, cpu_rate, serial):
    f = ReceiverFigures()
    log(f"{kind}: zero-loss search, {count} datagrams a trial")
    search = RateSearch()
    while not search.done:
        rate = search.rate
        t = trial(kind, rate, count, tools, serial.next())
        if t is None:
            return f
        f.receive_buffer = t.receive_buffer
        passed = t.received == count and t.sent == count
        if search.record(passed, t.achieved):
            f.zero_cpu = t.cpu * 100000 / t.received
            f.zero_lag = t.lag
    f.zero = search.best
    f.zero_limited = search.limited

    log(f"{kind}: overload, {overload} datagrams flat out")
    t = trial(kind, 0, overload, tools, serial.next())
    if t is None:
        return f
    f.over_rate = t.received / t.window if t.window > 0 else None
    f.over_sent = t.achieved
    f.over_drops = t.drops
    # Past the sender's reach this is the one figure of the receiver's own capacity; when
    # it kept up, waking for each datagram makes it an underestimate.
    if t.cpu > 0:
        f.over_capacity = t.received / t.cpu
    f.hwm = t.peak_kib

    log(f"{kind}: CPU at {cpu_rate}/s")
    t = trial(kind, cpu_rate, cpu_rate * 10, tools, serial.next())
    if t is None:
        return f
    f.hwm_small = t.peak_kib
    if t.received > 0:
        f.cpu = t.cpu * 100000 / t.received
    return f
