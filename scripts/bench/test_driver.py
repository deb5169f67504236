"""The driver's pure parts: the rate search, what it reads from /proc and the receivers'
output, and the text it makes of the figures."""

import os
import tempfile
import unittest

import receivers
import report


def search_against(capacity, sender_limit=float("inf"), **options):
    """Runs a search on a receiver that loses nothing up to `capacity` per second, fed by
    a sender that reaches at most `sender_limit`; returns (search, rates asked)."""
    search = receivers.RateSearch(**options)
    asked = []
    while not search.done:
        asked.append(search.rate)
        achieved = min(search.rate, sender_limit)
        search.record(achieved <= capacity, achieved)
    return search, asked


class RateSearchTest(unittest.TestCase):
    def test_doubles_then_bisects_until_the_trials_run_out(self):
        search, asked = search_against(150000)
        self.assertEqual(asked, [25000, 50000, 100000, 200000, 150000, 175000, 162500, 156250])
        self.assertEqual(search.best, 150000)
        self.assertFalse(search.limited)

    def test_stops_once_pass_and_fail_are_close(self):
        search, asked = search_against(120000, max_trials=20)
        self.assertLessEqual(search.failed / search.best, 1.08)
        self.assertLessEqual(search.best, 120000)
        self.assertGreater(search.best, 120000 / 1.08)
        self.assertLess(len(asked), 20)

    def test_a_sender_that_falls_short_ends_the_search(self):
        search, asked = search_against(float("inf"), sender_limit=60000)
        self.assertEqual(asked, [25000, 50000, 100000])
        self.assertEqual(search.best, 60000)
        self.assertTrue(search.limited)

    def test_halves_down_to_the_lowest_rate_when_everything_fails(self):
        search, asked = search_against(100)
        self.assertEqual(asked, [25000, 12500, 6250, 3125, 1562, 781])
        self.assertEqual(search.best, 0)
        self.assertEqual(report.fmt_rate(search.best), "none")

    def test_reports_a_new_best_only_when_it_is_higher(self):
        search = receivers.RateSearch()
        self.assertTrue(search.record(True, 25000))
        self.assertFalse(search.record(True, 24000))
        self.assertFalse(search.record(False, 90000))


class ProcTest(unittest.TestCase):
    UDP = """\
   sl  local_address rem_address   st tx_queue rx_queue tr tm->when retrnsmt   uid  timeout inode ref pointer drops
  412: 00000000:3F22 00000000:0000 07 00000000:00000A00 00:00000000 00000000     0        0 77 2 0000000000000000 17
  413: 0100007F:3F23 00000000:0000 07 00000000:00000000 00:00000000 00000000     0        0 78 2 0000000000000000 0
"""

    def table(self, text):
        f = tempfile.NamedTemporaryFile("w", delete=False)
        self.addCleanup(os.unlink, f.name)
        f.write(text)
        f.close()
        return f.name

    def test_reads_queue_and_drops_of_the_port(self):
        path = self.table(self.UDP)
        self.assertEqual(receivers.udp_state(0x3F22, path), (0xA00, 17))
        self.assertEqual(receivers.udp_state(0x3F23, path), (0, 0))

    def test_no_socket_on_the_port(self):
        self.assertEqual(receivers.udp_state(162, self.table(self.UDP)), (-1, -1))

    def test_counts_only_trap_lines(self):
        out = self.table("Velmora log opened\n"
                         "09/27/2002 19:48:38 in 1.2.3.4[80] ==> 5.6.7.8[80]\n"
                         "09/27/2002 19:48:39 WAN link up\n"
                         "2 records\n")
        self.assertEqual(receivers.count_trap_lines([out, out], snmptrapd=False), 4)
        traps = self.table("NET-SNMP version 5 started.\n"
                           "iso.3.6.1.2.1.1.1.0 = STRING: \"@in 1.2.3.4 1 5.6.7.8 80\"\n")
        self.assertEqual(receivers.count_trap_lines([traps], snmptrapd=True), 1)


class FormatTest(unittest.TestCase):
    def test_rates(self):
        self.assertEqual(report.fmt_rate(None), "n/a")
        self.assertEqual(report.fmt_rate(0), "none")
        self.assertEqual(report.fmt_rate(1369860.4), "1,369,860")
        self.assertEqual(report.fmt_rate(745836.2, limited=True), ">= 745,836")
        self.assertEqual(report.fmt_rate(999.5), "1,000")

    def test_sizes(self):
        self.assertEqual(report.fmt_mib(8388608), "8.0")
        self.assertEqual(report.fmt_mib(None), "?")
        self.assertEqual(report.fmt_mib(0), "?")
        self.assertEqual(report.fmt_kib(2867), "2.8")
        self.assertEqual(report.fmt_kib(None), "n/a")

    def test_ratio_over_bare_marks_a_sender_bound_rate(self):
        self.assertEqual(report.vs_bare(651650, 745836), "0.87")
        self.assertEqual(report.vs_bare(651650, 745836, True, False), ">= 0.87")
        self.assertEqual(report.vs_bare(50000, 745836, False, True), "<= 0.07")
        self.assertEqual(report.vs_bare(651650, 745836, True, True), "? (both sender-bound)")
        self.assertEqual(report.vs_bare(5, 0), "n/a")
        self.assertEqual(report.vs_bare(None, 5), "n/a")

    def test_receiver_row(self):
        figures = receivers.ReceiverFigures(
            receive_buffer=8388608, zero=745836.4, zero_limited=True, zero_lag=0.001,
            zero_cpu=0.07, over_sent=756823, over_rate=755732, over_drops=0,
            over_capacity=1369860, hwm=2867, cpu=0.81, hwm_small=2867)
        lines = report.receivers_section({"bare": figures}, ["bare"], 200000, 1000000, 10000)
        self.assertIn("| bare | 8.0 | >= 745,836 | 1.00 | 0.00 | 756,823 | 755,732 | none"
                      " | 1,369,860 | 1.00 | 0.81 | 1.00 | 0.07 | 2.8 / 2.8 |  |", lines)
        self.assertIn("peak RSS MiB, 100000 / 1000000 sent", lines[4])

    def test_rules_row_sets_its_burst_beside_velmora_without_rules(self):
        plain = receivers.ReceiverFigures(zero=400000, cpu=1.0)
        rules = receivers.ReceiverFigures(zero=380000, cpu=1.1, burst_asked=400000,
                                          burst_rate=399000, burst_lost=0)
        lines = report.receivers_section({"velmora": plain, "velmora-rules": rules},
                                         ["velmora", "velmora-rules"], 10, 10, 10000)
        self.assertTrue(lines[-3].endswith(
            "| 20 alert rules; CPU @10000/s <= 1.2 x velmora (now 1.10 x); stays lossless at"
            " velmora's zero-loss rate (400,000/s; its own: 380,000/s, 0.95 x; a burst asked"
            " at 400,000/s, sent at 399,000/s: lossless) |"), lines[-3])
        rules.burst_lost = 1234
        rules.zero_limited = plain.zero_limited = True
        lines = report.receivers_section({"velmora": plain, "velmora-rules": rules},
                                         ["velmora", "velmora-rules"], 10, 10, 10000)
        self.assertIn("(>= 400,000/s; its own: >= 380,000/s, both sender-bound;"
                      " a burst asked at 400,000/s, sent at 399,000/s: 1,234 lost)", lines[-3])
        # Without velmora's own figure there is nothing to set it beside.
        lines = report.receivers_section({"velmora-rules": rules}, ["velmora-rules"], 10, 10,
                                         10000)
        self.assertIn("stays lossless at velmora's zero-loss rate |", lines[-3])

    def test_a_receiver_that_never_started(self):
        bare = receivers.ReceiverFigures(zero=1000, cpu=1.0)
        lines = report.receivers_section({"bare": bare, "x": receivers.ReceiverFigures()},
                                         ["bare", "x"], 10, 10, 10)
        self.assertEqual(lines[-3], "| x | ? | n/a | n/a | n/a | n/a | n/a | n/a | n/a | n/a"
                                    " | n/a | n/a | n/a | n/a / n/a |  |")

    def test_google_benchmark_counters(self):
        out = {"benchmarks": [{"name": "BM_Other"},
                              {"name": "BM_MessageStoreMillionRows/iterations:1",
                               "run_name": "BM_MessageStoreMillionRows",
                               "bytes/row": 58.0, "text bytes/row": 51.6666667}]}
        run = report.google_benchmark_counters(out, "BM_MessageStoreMillionRows")
        self.assertEqual(report.rows_section(run)[-2:], [
            "| bytes per row held, 1,000,000 rows (receiver_bench) | 58 |",
            "| of which stamp and text | 51.6667 |"])
        self.assertIsNone(report.google_benchmark_counters(out, "BM_Missing"))


class BenchTextTest(unittest.TestCase):
    def test_corvix_window(self):
        figures = {"runs": 3, "variants": [
            {"name": "window, no filters", "log_lines": 1000003, "listed": 800265,
             "first_decoded_seconds": 0.1034, "all_listed_seconds": 1.2113,
             "max_rss_kib": 99328, "check": "the window lists every inbound line",
             "ok": True, "failed_runs": []},
            {"name": "window, 200 filters", "log_lines": 1000003, "listed": 1,
             "first_decoded_seconds": None, "all_listed_seconds": 0.986, "max_rss_kib": 1024,
             "check": "the window lists what the filters let through", "ok": False,
             "failed_runs": [{"exit_status": 134}]}]}
        self.assertEqual(report.corvix_window_text(figures), [
            "variant                  log lines      listed   first decoded s"
            "   all listed s   RSS MiB",
            "window, no filters         1000003      800265             0.103"
            "          1.211      97.0",
            "check: the window lists every inbound line          ok",
            "note: the window exited with status 134",
            "window, 200 filters        1000003           1               n/a"
            "          0.986       1.0",
            "check: the window lists what the filters let through MISMATCH",
            "(best of 3 for the times, the largest peak RSS; from fork to the moment;",
            " targets: first entry decoded under 1 s, peak RSS under 150 MB)"])

    def test_corvix_window_month(self):
        figures = {"runs": 1, "days": 30, "log_lines": 30000090, "listed": 24007950, "ok": True,
                   "first_decoded_seconds": 0.113, "all_listed_seconds": None,
                   "max_rss_kib": 512000, "base_rss_kib": 61440, "bytes_per_entry": 18.8,
                   "longest_stall_ms": 41, "cpu_seconds": 7.5, "failed_runs": 1}
        self.assertEqual(report.corvix_window_month_text(figures), [
            "30 daily logs, 30,000,090 lines: 24,007,950 listed (ok)",
            "first entry decoded      0.113 s   (target < 0.5 s)",
            "whole list ready           n/a s   (target < 5 s on 2 cores)",
            "peak RSS                 500.0 MiB   (base, a ten-line log: 60.0 MiB)",
            "beyond base per entry     18.8 bytes (target <= 40)",
            "longest stall               41 ms   (the event loop's longest turn while filling)",
            "CPU, user and system      7.50 s   (all threads of the window process, start to exit)",
            "note: 1 run(s) exited with an error",
            "(best of 1 for the times, the largest peak RSS; from fork to the moment)"])

    def test_receiver_window(self):
        figures = {"flood": {"sent": 500000, "bare_received": 500000,
                             "bare_per_cpu_second": 1000000.4, "window_received": 499000,
                             "window_per_cpu_second": 600000, "window_lost": 1000},
                   "steady": {"rate": 10000, "sent": 100000, "bare_received": 100000,
                              "bare_cpu_seconds_per_100k": 0.8, "window_received": 100000,
                              "window_cpu_seconds_per_100k": 1.6, "window_lost": 0},
                   "idle_seconds": 5, "idle_wake_ups": 12, "rows_listed": 1000000,
                   "resident_bytes_per_row": 101.4}
        self.assertEqual(report.receiver_window_text(figures), [
            "velmora window (offscreen, every display flag on) against the bare receiver",
            "  (window lost 1000 datagrams)",
            "flooded, 500000 sent: bare 500000 received, 1000000 per CPU-s; window 499000"
            " received, 600000 per CPU-s; window/bare 0.60 (target >= 0.5)",
            "steady 10,000/s, 100000 sent: CPU-s per 100,000: bare 0.800 (100000 received),"
            " window 1.600 (100000 received); window/bare 2.00 (target <= 3)",
            "idle 5 s: 12 wake-ups",
            "1000000 rows listed: 101 resident bytes per row (target <= 200)"])

    def test_list_commands(self):
        figures = {"rows": 1000000, "resident_mb": 312.25, "clipboard_characters": 42,
                   "commands": [{"name": "Select All", "seconds": 0.0421,
                                 "resident_mb_added": 8.04},
                                {"name": "Unselect All", "seconds": 0.01,
                                 "resident_mb_added": -1.0}]}
        self.assertEqual(report.list_commands_text(figures), [
            "1000000 rows in the list, 312.2 MB resident",
            "Select All                              0.042 s       +8.0 MB resident",
            "Unselect All                            0.010 s       -1.0 MB resident",
            "clipboard holds 42 characters"])

    def list_figures(self):
        def variant(name, seconds, kib, status=0):
            return {"name": name, "log_lines": 1000003, "listed": 800265,
                    "best_seconds": seconds, "max_rss_kib": kib, "exit_status": status}
        return {"runs": 3, "bench_max_rss_kib": 4096,
                "checks": [{"what": "corvix lists every inbound line", "ok": True}],
                "variants": [variant("corvix, no filters", 0.143, 2867),
                             variant("corvix, no filters, N/10", 0.02, 2800),
                             variant("corvix, 200 filters", 0.163, 2900),
                             variant("grep -c", 0.05, 2000, status=1),
                             variant("grep | awk", 0.402, 3000)]}

    def test_corvix_list(self):
        lines = report.corvix_list_text(self.list_figures())
        self.assertEqual(lines[0], "note: grep -c exited with status 1")
        self.assertIn("corvix, 200 filters            1000003      800265     0.163"
                      "       6134988       2.8", lines)
        self.assertIn("check: corvix lists every inbound line"
                      "                      ok", lines)
        self.assertIn("corvix (200 filters) / grep|awk                   0.41x"
                      "   <= 0.5 x grep|awk", lines)
        self.assertIn("filter overhead (200 filters / none - 1)          14.0%"
                      "   filter overhead <= 25%", lines)
        self.assertEqual(lines[-1], "peak RSS MiB, N/10 vs N                       2.7 / 2.8"
                                    "   memory flat")

    def test_corvix_list_beside_lnav(self):
        lnav = {"index_seconds": 0.36, "index_kib": 77824, "print_seconds": 2.78,
                "print_kib": 77824, "count": "1000001"}
        lines = report.corvix_list_section(self.list_figures(), lnav)
        self.assertEqual(lines[0], "### corvix --list, 1000003 log lines")
        self.assertIn("| lnav -n -q (load and index; 1000001 messages) | 0.36 s | |", lines)
        self.assertIn("| corvix (200 filters) / grep\\|awk | 0.41 | <= 0.5 |", lines)
        self.assertIn("| corvix (200 filters) / lnav -n -q | 0.45 | <= 0.5 |", lines)
        self.assertIn("| corvix peak RSS, N/10 / N / N with 200 filters | 2.7 / 2.8 / 2.8 MiB"
                      " | memory flat |", lines)
        self.assertIn("| lnav peak RSS, -n -q / -n | 76.0 / 76.0 MiB | |", lines)

    def with_stats(self):
        figures = self.list_figures()
        for name, seconds, cpu, kib in [("corvix --stats, 200 filters", 0.18, 0.15, 20480),
                                        ("corvix --stats, 200 filters, N/10", 0.03, 0.02, 19456),
                                        ("corvix, 200 filters, by turns", 0.2, 0.12, 2900)]:
            figures["variants"].append(
                {"name": name, "log_lines": 1000003, "listed": 54, "best_seconds": seconds,
                 "best_cpu_seconds": cpu, "max_rss_kib": kib, "exit_status": 0})
        return figures

    def test_corvix_stats_beside_list(self):
        lines = report.corvix_list_text(self.with_stats())
        self.assertEqual(lines[-3], "corvix --stats / --list (200 filters)"
                                    "             0.90x   <= 1.2 x")
        self.assertEqual(lines[-2], "  the same in CPU time                            1.25x")
        self.assertEqual(lines[-1], "--stats peak RSS MiB, N/10 vs N"
                                    "              19.0 / 20.0   memory flat")
        section = report.corvix_list_section(self.with_stats(), {})
        self.assertIn("| corvix --stats, 200 filters (--list by turns with it)"
                      " | 0.180 s (0.200 s) | |", section)
        self.assertIn("| corvix --stats / --list (200 filters) | 0.90 | <= 1.2 |", section)
        self.assertIn("| the same in CPU time | 1.25 | |", section)
        self.assertIn("| corvix --stats peak RSS, N/10 / N | 19.0 / 20.0 MiB | memory flat |",
                      section)
        # Without --stats figures the section is what it was.
        self.assertFalse(any("--stats" in line for line in
                             report.corvix_list_section(self.list_figures(), {})))

    def test_corvix_stats_window(self):
        figures = {"runs": 3, "log_lines": 1250003, "listed": 1000342,
                   "filled_seconds": 0.9, "shown_after_fill_seconds": 0.4123,
                   "largest_stall_seconds": 0.09, "largest_fill_stall_seconds": 0.08,
                   "largest_count_stall_seconds": 0.09, "show_only_source_seconds": 0.2,
                   "show_only_source_list_seconds": 0.18, "hide_port_seconds": None,
                   "hide_port_list_seconds": 0.3, "largest_click_stall_seconds": 0.05,
                   "max_rss_kib": 143360, "check": "counts agree", "ok": False,
                   "failed_runs": [{"exit_status": 134}]}
        lines = report.corvix_stats_window_text(figures)
        self.assertEqual(lines[0], "note: the window exited with status 134")
        self.assertIn("fill end to tables and chart shown                       0.412   < 0.5",
                      lines)
        self.assertIn("Hide this port: list and count                             n/a   < 1.5",
                      lines)
        self.assertIn("peak RSS MiB                                             140.0", lines)
        self.assertIn("check: counts agree                                         MISMATCH",
                      lines)
        self.assertIn("longest GUI stall, fill and count, worst run" + " " * 9 + "      n/a", lines)
        self.assertEqual(lines[-1], "(best of 3 runs; a stall is a run's largest gap of a 10 ms"
                                    " timer)")


if __name__ == "__main__":
    unittest.main()
