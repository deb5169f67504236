"""Figures into text: the numbers' formats, the Markdown tables of the results file, and
the benchmarks' JSON laid out as the tables they print when run by hand."""


def thousands(value):
    """A figure rounded to a whole number, with thousands separators."""
    return format(value, ",.0f")


def fmt_rate(value, limited=False):
    if value is None:
        return "n/a"
    if value == 0:
        return "none"
    return (">= " if limited else "") + thousands(value)


def fmt_mib(num_bytes):
    return f"{num_bytes / 1048576:.1f}" if num_bytes else "?"


def fmt_kib(kib):
    return f"{kib / 1024:.1f}" if kib is not None else "n/a"


def fmt_2(value):
    return f"{value:.2f}" if value is not None else "n/a"


def ratio(value, base):
    if value is None or base is None or base == 0:
        return None
    return value / base


def vs_bare(value, bare, limited=None, bare_limited=None):
    """value / bare as text. A zero-loss rate the blaster capped is only a lower bound, and
    so is a ratio over it: pass both limited flags for those."""
    r = ratio(value, bare)
    if r is None:
        return "n/a"
    text = f"{r:.2f}"
    if limited and bare_limited:
        return "? (both sender-bound)"
    if limited:
        return ">= " + text
    if bare_limited:
        return "<= " + text
    return text


def burst_target(rules, plain):
    """What the rules' burst figures say beside velmora's without rules."""
    text = "stays lossless at velmora's zero-loss rate"
    if plain is None or not plain.zero:
        return text
    text += f" ({fmt_rate(plain.zero, plain.zero_limited)}/s"
    if rules.zero:
        vs = vs_bare(rules.zero, plain.zero, rules.zero_limited, plain.zero_limited)
        text += f"; its own: {fmt_rate(rules.zero, rules.zero_limited)}/s, " + \
                ("both sender-bound" if vs.startswith("?") else vs + " x")
    if rules.burst_lost is not None:
        text += f"; a burst asked at {thousands(rules.burst_asked)}/s, sent at" \
                f" {thousands(rules.burst_rate)}/s: " + \
                ("lossless" if rules.burst_lost == 0 else f"{thousands(rules.burst_lost)} lost")
    return text + ")"


def receivers_section(results, kinds, count, overload, cpu_rate):
    """The receivers' table; results maps a kind to its ReceiverFigures."""
    bare = results.get("bare")
    lines = [
        "### Receivers",
        "",
        f"Loopback, {count} datagrams a zero-loss trial; overload: {overload} sent flat out;"
        f" CPU per 100,000 received at {cpu_rate}/s and at the zero-loss rate.",
        "",
        "| receiver | SO_RCVBUF MiB | zero-loss /s | vs bare | drain lag s | overload sent /s"
        " | received /s | kernel drops | received per CPU-s | vs bare"
        f" | CPU s/100k @{cpu_rate}/s | vs bare | CPU s/100k @zero-loss"
        f" | peak RSS MiB, {cpu_rate * 10} / {overload} sent | target |",
        "|---|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---|",
    ]
    for kind in kinds:
        f = results[kind]
        b = bare or f.__class__()
        target = ""
        if kind == "velmora":
            target = f"zero-loss >= 0.8 x bare; CPU @{cpu_rate}/s <= 1.5 x bare"
        elif kind == "velmora-rules":
            plain = results.get("velmora")
            ratio = f.cpu / plain.cpu if plain and plain.cpu and f.cpu else None
            target = (f"20 alert rules; CPU @{cpu_rate}/s <= 1.2 x velmora"
                      + (f" (now {ratio:.2f} x)" if ratio else "")
                      + "; " + burst_target(f, plain))
        zero_vs = vs_bare(f.zero, b.zero, kind != "bare" and f.zero_limited,
                          kind != "bare" and b.zero_limited)
        cells = [
            kind,
            fmt_mib(f.receive_buffer),
            fmt_rate(f.zero, f.zero_limited),
            zero_vs,
            fmt_2(f.zero_lag),
            fmt_rate(f.over_sent),
            fmt_rate(f.over_rate),
            fmt_rate(f.over_drops),
            fmt_rate(f.over_capacity),
            vs_bare(f.over_capacity, b.over_capacity),
            fmt_2(f.cpu),
            vs_bare(f.cpu, b.cpu),
            fmt_2(f.zero_cpu),
            f"{fmt_kib(f.hwm_small)} / {fmt_kib(f.hwm)}",
            target,
        ]
        lines.append("| " + " | ".join(cells) + " |")
    lines += [
        "",
        '">=": the blaster could send no faster and nothing was lost.'
        " Drain lag: how long after the last send of that trial the socket queue emptied;"
        " zero loss with a long lag was bought with buffer, not speed."
        " Received per CPU-s: datagrams logged per second of receiver CPU in the overload"
        " trial, a sender-independent figure of capacity.",
    ]
    return lines


def google_benchmark_counters(report, name):
    """The counters of the first run named `name` in --benchmark_format=json output."""
    for run in report.get("benchmarks", []):
        if run.get("name") == name or run.get("run_name") == name:
            return run
    return None


def rows_section(run):
    return [
        "### Message list rows",
        "",
        "| measure | figure |",
        "|---|---:|",
        f"| bytes per row held, 1,000,000 rows (receiver_bench) | {run['bytes/row']:.6g} |",
        f"| of which stamp and text | {run['text bytes/row']:.6g} |",
    ]


def list_variant(figures, name):
    for variant in figures["variants"]:
        if variant["name"] == name:
            return variant
    raise KeyError(name)


def stats_variants(figures):
    """corvix --stats at N and N/10 with 200 filters and the --list it ran by turns with
    (the plain --list with 200 filters when it ran alone), or None when the bench had none."""
    names = ["corvix --stats, 200 filters", "corvix --stats, 200 filters, N/10"]
    found = [v for name in names for v in figures["variants"] if v["name"] == name]
    if len(found) != 2:
        return None
    turns = [v for v in figures["variants"] if v["name"] == "corvix, 200 filters, by turns"]
    return found + [turns[0] if turns else list_variant(figures, "corvix, 200 filters")]


def cpu_ratio(value, base):
    """CPU seconds of two variants as a ratio, None when either has none."""
    return ratio(value.get("best_cpu_seconds"), base.get("best_cpu_seconds"))


def corvix_list_section(figures, lnav):
    """corvix --list beside grep|awk and lnav. lnav holds index/print seconds and KiB and
    the message count it found, any of them None when lnav gave none."""
    none = list_variant(figures, "corvix, no filters")
    tenth = list_variant(figures, "corvix, no filters, N/10")
    filtered = list_variant(figures, "corvix, 200 filters")
    awk = list_variant(figures, "grep | awk")

    def seconds(value, digits=3):
        return f"{value:.{digits}f}" if value is not None else "?"

    def mib(kib):
        return f"{kib / 1024:.1f}" if kib is not None else "?"

    def over(value, base):
        r = ratio(value, base)
        return f"{r:.2f}" if r is not None else "n/a"

    lines = [
        f"### corvix --list, {filtered['log_lines']} log lines",
        "",
        "| measure | figure | target |",
        "|---|---:|---|",
        f"| corvix --list, no filters | {seconds(none['best_seconds'])} s | |",
        f"| corvix --list, 200 filters | {seconds(filtered['best_seconds'])} s | |",
        f"| grep 'in ' \\| awk | {seconds(awk['best_seconds'])} s | |",
        f"| lnav -n -q (load and index; {lnav.get('count') or '?'} messages)"
        f" | {seconds(lnav.get('index_seconds'), 2)} s | |",
        f"| lnav -n (load, index, print all) | {seconds(lnav.get('print_seconds'), 2)} s | |",
        f"| corvix (200 filters) / grep\\|awk"
        f" | {over(filtered['best_seconds'], awk['best_seconds'])} | <= 0.5 |",
        f"| corvix (200 filters) / lnav -n -q"
        f" | {over(filtered['best_seconds'], lnav.get('index_seconds'))} | <= 0.5 |",
        f"| corvix peak RSS, N/10 / N / N with 200 filters | {mib(tenth['max_rss_kib'])}"
        f" / {mib(none['max_rss_kib'])} / {mib(filtered['max_rss_kib'])} MiB | memory flat |",
        f"| lnav peak RSS, -n -q / -n | {mib(lnav.get('index_kib'))}"
        f" / {mib(lnav.get('print_kib'))} MiB | |",
    ]
    stats = stats_variants(figures)
    if stats:
        whole, tenth_stats, beside = stats
        cpu = cpu_ratio(whole, beside)
        lines += [
            f"| corvix --stats, 200 filters (--list by turns with it)"
            f" | {seconds(whole['best_seconds'])} s ({seconds(beside['best_seconds'])} s) | |",
            f"| corvix --stats / --list (200 filters)"
            f" | {over(whole['best_seconds'], beside['best_seconds'])} | <= 1.2 |",
            f"| the same in CPU time | {f'{cpu:.2f}' if cpu is not None else 'n/a'} | |",
            f"| corvix --stats peak RSS, N/10 / N | {mib(tenth_stats['max_rss_kib'])}"
            f" / {mib(whole['max_rss_kib'])} MiB | memory flat |",
        ]
    return lines + [
        "",
        "corvix and grep|awk: best of 3 (corvix_list_bench); lnav: best of 3 and 2,"
        " after a warm-up run.",
    ]


def code_section(title, text_lines):
    return [title, "", "```", *text_lines, "```"]


def fixed(value, pattern):
    """A figure in a fixed-width column; what could not be measured shows as n/a."""
    if value is None:
        width = pattern.split(".")[0]
        return format("n/a", f">{width}")
    return format(value, pattern)


def corvix_list_text(figures):
    """corvix_list_bench's JSON as the tables it prints without --json."""
    rows = figures["variants"]
    lines = [f"note: {r['name']} exited with status {r['exit_status']}"
             for r in rows if r["exit_status"] != 0]
    lines.append("")
    lines.append(f"{'variant':<26} {'log lines':>11} {'listed':>11} {'best s':>9}"
                 f" {'lines/s':>13} {'RSS MiB':>9}")
    for r in rows:
        per_second = r["log_lines"] / r["best_seconds"] if r["best_seconds"] else None
        lines.append(f"{r['name']:<26} {r['log_lines']:>11} {r['listed']:>11}"
                     f" {fixed(r['best_seconds'], '9.3f')} {fixed(per_second, '13.0f')}"
                     f" {r['max_rss_kib'] / 1024:9.1f}")
    lines.append(f"(best of {figures['runs']}; stdout to /dev/null, grep -c's to a file)")
    lines.append(f"(RSS: the child's peak; this bench peaked at"
                 f" {figures['bench_max_rss_kib'] / 1024:.1f} MiB)")
    lines.append("")
    for check in figures["checks"]:
        lines.append(f"check: {check['what']:<52} {'ok' if check['ok'] else 'MISMATCH'}")
    none = list_variant(figures, "corvix, no filters")
    tenth = list_variant(figures, "corvix, no filters, N/10")
    filtered = list_variant(figures, "corvix, 200 filters")
    awk = list_variant(figures, "grep | awk")
    vs_awk = ratio(filtered["best_seconds"], awk["best_seconds"])
    overhead = ratio(filtered["best_seconds"], none["best_seconds"])
    lines.append("")
    lines.append(f"{'ratio':<44} {'measured':>10}   target")
    lines.append(f"{'corvix (200 filters) / grep|awk':<44} {fixed(vs_awk, '9.2f')}x"
                 "   <= 0.5 x grep|awk")
    lines.append(f"{'filter overhead (200 filters / none - 1)':<44}"
                 f" {fixed(None if overhead is None else (overhead - 1) * 100, '9.1f')}%"
                 "   filter overhead <= 25%")
    lines.append(f"{'peak RSS MiB, N/10 vs N':<44} {tenth['max_rss_kib'] / 1024:4.1f}"
                 f" / {none['max_rss_kib'] / 1024:.1f}   memory flat")
    stats = stats_variants(figures)
    if stats:
        whole, tenth_stats, beside = stats
        lines.append(f"{'corvix --stats / --list (200 filters)':<44}"
                     f" {fixed(ratio(whole['best_seconds'], beside['best_seconds']), '9.2f')}x"
                     "   <= 1.2 x")
        lines.append(f"{'  the same in CPU time':<44}"
                     f" {fixed(cpu_ratio(whole, beside), '9.2f')}x")
        lines.append(f"{'--stats peak RSS MiB, N/10 vs N':<44}"
                     f" {tenth_stats['max_rss_kib'] / 1024:4.1f}"
                     f" / {whole['max_rss_kib'] / 1024:.1f}   memory flat")
    return lines


def corvix_stats_window_text(figures):
    """corvix_stats_window_bench's JSON as the table it prints without --json."""
    lines = [f"note: the window exited with status {failed['exit_status']}"
             for failed in figures["failed_runs"]]
    lines.append(f"Statistics window, {figures['log_lines']} log lines,"
                 f" {figures['listed']} listed (offscreen)")
    lines.append(f"{'measure':<52} {'seconds':>9}   target")
    rows = [
        ("open to list filled", "filled_seconds", ""),
        ("fill end to tables and chart shown", "shown_after_fill_seconds", "< 0.5"),
        ("longest GUI stall, fill and count", "largest_stall_seconds", "<= 0.100"),
        ("  during the fill", "largest_fill_stall_seconds", ""),
        ("  after it, counting and showing", "largest_count_stall_seconds", ""),
        ("Show only this source: list and count", "show_only_source_seconds", "< 1.5"),
        ("  of which the main list and its count", "show_only_source_list_seconds", ""),
        ("Hide this port: list and count", "hide_port_seconds", "< 1.5"),
        ("  of which the main list and its count", "hide_port_list_seconds", ""),
        ("longest GUI stall, the two clicks", "largest_click_stall_seconds", ""),
        ("longest GUI stall, fill and count, worst run", "largest_stall_any_run_seconds", ""),
    ]
    for label, key, target in rows:
        lines.append(f"{label:<52} {fixed(figures.get(key), '9.3f')}"
                     + (f"   {target}" if target else ""))
    lines.append(f"{'peak RSS MiB':<52} {figures['max_rss_kib'] / 1024:9.1f}")
    lines.append(f"check: {figures['check']:<52} {'ok' if figures['ok'] else 'MISMATCH'}")
    lines.append(f"(best of {figures['runs']} runs; a stall is a run's largest gap of a 10 ms"
                 " timer)")
    return lines


def corvix_window_text(figures):
    """corvix_window_bench's JSON as the table it prints without --json."""
    lines = [f"{'variant':<22} {'log lines':>11} {'listed':>11} {'first decoded s':>17}"
             f" {'all listed s':>14} {'RSS MiB':>9}"]
    for v in figures["variants"]:
        for failed in v["failed_runs"]:
            lines.append(f"note: the window exited with status {failed['exit_status']}")
        lines.append(f"{v['name']:<22} {v['log_lines']:>11} {v['listed']:>11}"
                     f" {fixed(v['first_decoded_seconds'], '17.3f')}"
                     f" {fixed(v['all_listed_seconds'], '14.3f')}"
                     f" {v['max_rss_kib'] / 1024:9.1f}")
        lines.append(f"check: {v['check']:<44} {'ok' if v['ok'] else 'MISMATCH'}")
    lines.append(f"(best of {figures['runs']} for the times, the largest peak RSS;"
                 " from fork to the moment;")
    lines.append(" targets: first entry decoded under 1 s, peak RSS under 150 MB)")
    return lines


def corvix_window_month_text(figures):
    """corvix_window_bench --days's JSON: the window on a directory of daily logs."""
    listed = figures["listed"]
    lines = [f"{figures['days']} daily logs, {figures['log_lines']:,} lines:"
             f" {listed:,} listed"
             f" ({'ok' if figures['ok'] else 'MISMATCH: not every inbound line'})",
             f"first entry decoded   {fixed(figures['first_decoded_seconds'], '8.3f')} s"
             "   (target < 0.5 s)",
             f"whole list ready      {fixed(figures['all_listed_seconds'], '8.3f')} s"
             "   (target < 5 s on 2 cores)",
             f"peak RSS              {figures['max_rss_kib'] / 1024:8.1f} MiB"
             f"   (base, a ten-line log: {figures['base_rss_kib'] / 1024:.1f} MiB)",
             f"beyond base per entry {fixed(figures['bytes_per_entry'], '8.1f')} bytes"
             " (target <= 40)",
             f"longest stall         {figures['longest_stall_ms']:8d} ms"
             "   (the event loop's longest turn while filling)",
             f"CPU, user and system  {fixed(figures['cpu_seconds'], '8.2f')} s"
             "   (all threads of the window process, start to exit)"]
    if figures["failed_runs"]:
        lines.append(f"note: {figures['failed_runs']} run(s) exited with an error")
    lines.append(f"(best of {figures['runs']} for the times, the largest peak RSS;"
                 " from fork to the moment)")
    return lines


def receiver_window_text(figures):
    """receiver_window_bench's JSON as the lines it prints without --json."""
    flood, steady = figures["flood"], figures["steady"]
    lines = ["velmora window (offscreen, every display flag on) against the bare receiver"]
    if flood["window_lost"]:
        lines.append(f"  (window lost {flood['window_lost']} datagrams)")
    lines.append(
        f"flooded, {flood['sent']} sent: bare {flood['bare_received']} received,"
        f" {fixed(flood['bare_per_cpu_second'], '.0f')} per CPU-s;"
        f" window {flood['window_received']} received,"
        f" {fixed(flood['window_per_cpu_second'], '.0f')} per CPU-s; window/bare"
        f" {fixed(ratio(flood['window_per_cpu_second'], flood['bare_per_cpu_second']), '.2f')}"
        " (target >= 0.5)")
    if steady["window_lost"]:
        lines.append(f"  (window lost {steady['window_lost']} datagrams)")
    per_100k = ratio(steady["window_cpu_seconds_per_100k"], steady["bare_cpu_seconds_per_100k"])
    lines.append(
        f"steady {steady['rate']:,}/s, {steady['sent']} sent: CPU-s per 100,000:"
        f" bare {fixed(steady['bare_cpu_seconds_per_100k'], '.3f')}"
        f" ({steady['bare_received']} received),"
        f" window {fixed(steady['window_cpu_seconds_per_100k'], '.3f')}"
        f" ({steady['window_received']} received); window/bare {fixed(per_100k, '.2f')}"
        " (target <= 3)")
    lines.append(f"idle {figures['idle_seconds']} s: {figures['idle_wake_ups']} wake-ups")
    lines.append(f"{figures['rows_listed']} rows listed:"
                 f" {fixed(figures['resident_bytes_per_row'], '.0f')} resident bytes per row"
                 " (target <= 200)")
    return lines


def list_commands_text(figures):
    """list_commands_bench's JSON as the lines it prints without --json."""
    lines = [f"{figures['rows']} rows in the list, {figures['resident_mb']:.1f} MB resident"]
    for c in figures["commands"]:
        lines.append(f"{c['name']:<36} {c['seconds']:8.3f} s"
                     f"   {c['resident_mb_added']:+8.1f} MB resident")
    lines.append(f"clipboard holds {figures['clipboard_characters']} characters")
    return lines
