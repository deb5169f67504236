#!/usr/bin/env bash
# Receiver throughput beside a bare reference and snmptrapd, corvix --list beside grep,
# awk and lnav, and corvix's window on the same log. Prints one table and writes it, with
# the machine, to BUILD_DIR/bench-results.md, outside the tracked tree (bench/results.md
# holds the figures the README quotes). Figures only: a slow result never fails the run.
#
# Usage: bash scripts/bench.sh            (what `make bench` runs; about 5-10 minutes)
# Environment:
#   BUILD_DIR=build        where the project is configured and built
#   BENCH_NO_BUILD=1       measure what is already built
#   BENCH_COUNT=200000     datagrams in each zero-loss trial
#   BENCH_OVERLOAD=1000000 datagrams sent flat out in the overload trial
#   BENCH_CPU_RATE=10000   the common rate the CPU cost is measured at
#   BENCH_RECEIVERS="bare velmora snmptrapd snmptrapd-4M"   which receivers to measure
#   BENCH_SKIP_CORVIX=1    only the receivers
#   BENCH_SKIP_WINDOW=1    no window figures of corvix
#   BENCH_SKIP_RECEIVER_WINDOW=1   no window figures of velmora (receiver_window_bench,
#                                  list_commands_bench)
#
# Everything runs in a private network namespace (unshare -n as root, unshare -rn
# otherwise): the traffic stays on its own loopback and no name lookup can leave it.
#
# Method, per receiver, each trial a fresh process:
#   zero-loss rate  doubling from 25,000/s, then bisection, at most 8 trials; a trial
#                   passes when every datagram shows in the receiver's output. The rate
#                   is what the blaster achieved; ">=" means the blaster could go no faster.
#   overload        BENCH_OVERLOAD datagrams flat out; received / (end of drain - start).
#   CPU             utime+stime from /proc/PID/stat, from just before sending until the
#                   socket is drained, per 100,000 datagrams received; start-up excluded.
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

BUILD=${BUILD_DIR:-build}
[[ $BUILD = /* ]] || BUILD=$ROOT/$BUILD
COUNT=${BENCH_COUNT:-200000}
OVERLOAD=${BENCH_OVERLOAD:-1000000}
CPU_RATE=${BENCH_CPU_RATE:-10000}
RECEIVERS=${BENCH_RECEIVERS:-bare velmora snmptrapd snmptrapd-4M}
PORT=16162
PORT_HEX=$(printf '%04X' "$PORT")
COMMUNITY=velmora-bench # what the blaster sends
TICK=$(getconf CLK_TCK)
STAMP_RE='^[0-9][0-9]/[0-9][0-9]/[0-9]{4} [0-9][0-9]:[0-9][0-9]:[0-9][0-9] '

VELMORA=$BUILD/receiver/app/velmora
BLASTER=$BUILD/bench/blaster
BARE=$BUILD/bench/bare_receiver
LIST_BENCH=$BUILD/bench/corvix_list_bench
RECEIVER_BENCH=$BUILD/bench/receiver_bench
WINDOW_BENCH=$BUILD/bench/corvix_window_bench

LOAD_START=$(cut -d' ' -f1-3 /proc/loadavg)
WORK=$(mktemp -d /tmp/velmora-bench.XXXXXX)
RPID=
cleanup() {
    if [[ -n $RPID ]]; then
        kill -KILL "$RPID" 2>/dev/null || true
    fi
    rm -rf "$WORK"
}
trap cleanup EXIT

log() { printf '%s\n' "$*" >&2; }
calc() { awk "BEGIN { printf \"%.6g\", $* }"; }
now() { printf '%s' "$EPOCHREALTIME"; }

if [[ -z ${BENCH_NO_BUILD:-} ]]; then
    if ! grep -qs '^VELMORA_BUILD_BENCH:BOOL=ON' "$BUILD/CMakeCache.txt"; then
        cmake -S "$ROOT" -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVELMORA_BUILD_BENCH=ON >&2
    fi
    cmake --build "$BUILD" --target velmora corvix blaster bare_receiver corvix_list_bench \
        receiver_bench corvix_window_bench receiver_window_bench list_commands_bench >&2
fi

# ---------------------------------------------------------------------------------------
# Receivers

# RXQ and DROPS of the socket on our port, -1 when there is none.
udp_state() {
    local -a f
    RXQ=-1
    DROPS=-1
    while read -r -a f; do
        if [[ ${f[1]} == *:"$PORT_HEX" ]]; then
            RXQ=$((16#${f[4]#*:}))
            DROPS=${f[${#f[@]} - 1]}
        fi
    done </proc/net/udp
}

cpu_ticks() {
    local -a f
    read -r -a f <"/proc/$1/stat"
    echo $((f[13] + f[14]))
}

# The receive buffer the kernel gave the socket, in bytes.
receive_buffer() {
    ss -uamn "sport = :$PORT" 2>/dev/null | sed -n 's/.*skmem:(r[0-9]*,rb\([0-9]*\),.*/\1/p' |
        head -n 1
}

start_receiver() { # kind dir
    local kind=$1 dir=$2
    case $kind in
        bare)
            "$BARE" --port="$PORT" --out="$dir/out.txt" 2>"$dir/stderr" &
            ;;
        velmora)
            mkdir -p "$dir/cfg"
            cp "$ROOT/bench/all_on.ini" "$dir/cfg/velmora.ini"
            # Its own runtime directory, so a velmora the user runs is not taken for it.
            # The rows the display options print go where a service's output would.
            (cd "$dir" && exec env HOME="$dir" XDG_CONFIG_HOME="$dir/cfg" XDG_RUNTIME_DIR="$dir" \
                "$VELMORA" --headless --port="$PORT" >/dev/null 2>"$dir/stderr") &
            ;;
        snmptrapd | snmptrapd-4M)
            # The notification log would keep every trap in memory; a logger has no use
            # for it.
            {
                echo "authCommunity log $COMMUNITY"
                echo "doNotRetainNotificationLogs yes"
                printf '%s\n' 'format1 %v\n' 'format2 %v\n'
                # A library-wide setting: without the section tag it is ignored here.
                if [[ $kind == snmptrapd-4M ]]; then
                    echo "[snmp] serverRecvBuf 4194304"
                fi
            } >"$dir/snmptrapd.conf"
            SNMP_PERSISTENT_DIR=$dir/persist snmptrapd -f -C -c "$dir/snmptrapd.conf" \
                -Lf "$dir/out.txt" -n -m "" "127.0.0.1:$PORT" 2>"$dir/stderr" &
            ;;
    esac
    RPID=$!
    local i
    for ((i = 0; i < 500; ++i)); do
        udp_state
        if ((RXQ >= 0)); then
            sleep 0.2 # let start-up finish before its CPU is read
            return 0
        fi
        if ! kill -0 "$RPID" 2>/dev/null; then
            break
        fi
        sleep 0.02
    done
    log "$kind did not start: $(tail -n 3 "$dir/stderr" 2>/dev/null)"
    stop_receiver
    return 1
}

stop_receiver() {
    local i
    kill -TERM "$RPID" 2>/dev/null || true
    for ((i = 0; i < 200; ++i)); do
        kill -0 "$RPID" 2>/dev/null || break
        sleep 0.05
    done
    kill -KILL "$RPID" 2>/dev/null || true
    wait "$RPID" 2>/dev/null || true
    RPID=
}

output_files() { # kind dir
    if [[ $1 == velmora ]]; then
        compgen -G "$2/logs/*.log" || true
    else
        echo "$2/out.txt"
    fi
}

output_size() {
    local total=0 f
    local -a files
    mapfile -t files < <(output_files "$1" "$2")
    for f in "${files[@]}"; do
        total=$((total + $(stat -c %s "$f" 2>/dev/null || echo 0)))
    done
    echo "$total"
}

# Trap lines only: banners and record counts carry no stamp, snmptrapd's own lines no value.
count_received() {
    local -a files
    mapfile -t files < <(output_files "$1" "$2")
    if ((${#files[@]} == 0)); then
        echo 0
    elif [[ $1 == snmptrapd* ]]; then
        cat "${files[@]}" | grep -c ' = STRING: ' || true
    else
        cat "${files[@]}" | grep -cE "$STAMP_RE" || true
    fi
}

# One trial: a fresh receiver, count datagrams at rate (0: flat out). Sets T_* figures;
# returns 1 when the receiver would not start.
T_SERIAL=0
trial() { # kind rate count
    local kind=$1 rate=$2 count=$3
    local dir=$WORK/trial.$((++T_SERIAL))
    mkdir -p "$dir"
    T_SENT=0 T_ACH=0 T_RECV=0 T_DROPS=0 T_CPU=0 T_WINDOW=0 T_LAG=0 T_RB=0 T_HWM=0
    start_receiver "$kind" "$dir" || return 1
    T_RB=$(receive_buffer)
    local cpu0 out elapsed end drained="" size last=-1 stable=0 i
    cpu0=$(cpu_ticks "$RPID")
    out=$("$BLASTER" --port="$PORT" --count="$count" --rate="$rate")
    end=$(now)
    read -r T_SENT elapsed T_ACH < <(awk '{ print $2, $5, $7 }' <<<"$out")
    for ((i = 0; i < 6000; ++i)); do
        udp_state
        if [[ -z $drained ]] && ((RXQ == 0)); then
            drained=$(now)
        fi
        if [[ -n $drained ]]; then
            size=$(output_size "$kind" "$dir")
            if ((size == last)); then
                ((++stable >= 3)) && break
            else
                stable=0
            fi
            last=$size
            sleep 0.1
        else
            sleep 0.01
        fi
    done
    T_DROPS=$DROPS
    T_CPU=$(calc "($(cpu_ticks "$RPID") - $cpu0) / $TICK")
    T_HWM=$(awk '/^VmHWM/ { print $2 }' "/proc/$RPID/status")
    T_WINDOW=$(calc "${drained:-$end} - ($end - $elapsed)")
    T_LAG=$(calc "${drained:-$end} - $end")
    stop_receiver
    T_RECV=$(count_received "$kind" "$dir")
    local own
    own=$(sed -n 's/^velmora: \(.*\) datagrams lost in all\./; own count \1/p' "$dir/stderr")
    log "$(printf '  %-13s rate %7s: sent %7s at %7.0f/s, received %7s, kernel drops %6s%s, cpu %.2f s' \
        "$kind" "$rate" "$T_SENT" "$T_ACH" "$T_RECV" "$T_DROPS" "$own" "$T_CPU")"
    rm -rf "$dir"
}

declare -A HWM_SMALL ZERO ZERO_LIMITED ZERO_CPU ZERO_LAG OVER_RATE OVER_SENT OVER_DROPS OVER_CAP CPU RB HWM

measure_receiver() {
    local kind=$1 lo=0 lo_cpu="" hi=0 rate=25000 n limited=""
    log "$kind: zero-loss search, $COUNT datagrams a trial"
    for ((n = 0; n < 8; ++n)); do
        if ! trial "$kind" "$rate" "$COUNT"; then
            ZERO[$kind]=n/a
            return
        fi
        RB[$kind]=$T_RB
        if ((T_RECV == COUNT && T_SENT == COUNT)); then
            if awk "BEGIN { exit !($T_ACH > $lo) }"; then
                lo=$T_ACH
                lo_cpu=$(calc "$T_CPU * 100000 / $T_RECV")
                ZERO_LAG[$kind]=$T_LAG
            fi
            # The blaster fell short of the asked rate: it, not the receiver, is the limit.
            if awk "BEGIN { exit !($T_ACH < 0.97 * $rate) }"; then
                limited=1
                break
            fi
        else
            hi=$T_ACH
        fi
        if awk "BEGIN { exit !($hi == 0) }"; then
            rate=$((rate * 2))
        elif awk "BEGIN { exit !($lo == 0) }"; then
            rate=$((rate / 2))
            ((rate >= 500)) || break
        else
            awk "BEGIN { exit !($hi / $lo > 1.08) }" || break
            rate=$(awk "BEGIN { printf \"%d\", ($lo + $hi) / 2 }")
        fi
    done
    ZERO[$kind]=$lo
    ZERO_LIMITED[$kind]=$limited
    ZERO_CPU[$kind]=$lo_cpu

    log "$kind: overload, $OVERLOAD datagrams flat out"
    trial "$kind" 0 "$OVERLOAD" || return
    OVER_RATE[$kind]=$(calc "$T_RECV / $T_WINDOW")
    OVER_SENT[$kind]=$T_ACH
    OVER_DROPS[$kind]=$T_DROPS
    # Past the sender's reach this is the one figure of the receiver's own capacity; when
    # it kept up, waking for each datagram makes it an underestimate.
    if awk "BEGIN { exit !($T_CPU > 0) }"; then
        OVER_CAP[$kind]=$(calc "$T_RECV / $T_CPU")
    fi
    HWM[$kind]=$T_HWM

    log "$kind: CPU at $CPU_RATE/s"
    trial "$kind" "$CPU_RATE" "$((CPU_RATE * 10))" || return
    HWM_SMALL[$kind]=$T_HWM
    if ((T_RECV > 0)); then
        CPU[$kind]=$(calc "$T_CPU * 100000 / $T_RECV")
    fi
}

for kind in $RECEIVERS; do
    measure_receiver "$kind"
done

# The message list's row store: memory per row with a million rows held.
log "message list rows: 1,000,000 appended"
ROWS_OUT=$("$RECEIVER_BENCH" --benchmark_filter=MessageStoreMillionRows 2>/dev/null || true)
ROW_BYTES=$(sed -n 's/.*bytes\/row=\([0-9.]*\).*text bytes\/row=\([0-9.]*\).*/\1 \2/p' <<<"$ROWS_OUT")

# ---------------------------------------------------------------------------------------
# velmora's window (offscreen) beside the bare receiver, and its list commands.

RECEIVER_WINDOW_OUT=""
LIST_COMMANDS_OUT=""
if [[ -z ${BENCH_SKIP_RECEIVER_WINDOW:-} ]]; then
    log "velmora window benchmark"
    RECEIVER_WINDOW_OUT=$(QT_QPA_PLATFORM=offscreen "$BUILD/bench/receiver_window_bench" 2>/dev/null)
    printf '%s\n' "$RECEIVER_WINDOW_OUT" >&2
    log "velmora list commands on 1,000,000 rows"
    LIST_COMMANDS_OUT=$(QT_QPA_PLATFORM=offscreen "$BUILD/bench/list_commands_bench" 2>/dev/null)
    printf '%s\n' "$LIST_COMMANDS_OUT" >&2
fi

# ---------------------------------------------------------------------------------------
# corvix --list beside lnav, on the log corvix_list_bench generates

LIST_OUT=""
if [[ -z ${BENCH_SKIP_CORVIX:-} ]]; then
    log "corvix --list benchmark"
    LIST_OUT=$("$LIST_BENCH" --keep="$WORK/log")
    printf '%s\n' "$LIST_OUT" >&2
    row() { # the figure in column from-the-end of the row named $1
        awk -v name="$1" -v back="$2" 'index($0, name " ") == 1 { print $(NF - back); exit }' \
            <<<"$LIST_OUT"
    }
    C_NONE=$(row "corvix, no filters" 2)
    C_TENTH_RSS=$(row "corvix, no filters, N/10" 0)
    C_NONE_RSS=$(row "corvix, no filters" 0)
    C_FILT=$(row "corvix, 200 filters" 2)
    C_FILT_RSS=$(row "corvix, 200 filters" 0)
    C_AWK=$(row "grep | awk" 2)
    C_LINES=$(row "corvix, 200 filters" 4)

    # lnav keeps its state under HOME; a private one leaves the user's alone.
    mkdir -p "$WORK/lnav-home"
    lnav_best() { # runs, then lnav's arguments; prints "best-seconds peak-KiB"
        local runs=$1 best="" peak=0 i e m
        shift
        for ((i = 0; i <= runs; ++i)); do
            HOME=$WORK/lnav-home /usr/bin/time -f '%e %M' -o "$WORK/time" \
                lnav "$@" "$WORK/log/big.log" >/dev/null 2>"$WORK/lnav.err" || true
            read -r e m <"$WORK/time"
            ((i == 0)) && continue # the first fills its caches
            if [[ -z $best ]] || awk "BEGIN { exit !($e < $best) }"; then
                best=$e
            fi
            ((m > peak)) && peak=$m
        done
        echo "$best $peak"
    }
    log "lnav: load and index (-n -q), then load, index and print (-n)"
    read -r L_INDEX L_INDEX_KIB < <(lnav_best 3 -n -q)
    read -r L_PRINT L_PRINT_KIB < <(lnav_best 2 -n)
    L_COUNT=$(HOME=$WORK/lnav-home lnav -n -c ';SELECT count(*) AS n FROM all_logs' \
        "$WORK/log/big.log" | awk 'NR == 2 { print $1 }')
fi

# ---------------------------------------------------------------------------------------
# corvix's window, offscreen, on the same generated log

WINDOW_OUT=""
if [[ -z ${BENCH_SKIP_WINDOW:-} ]]; then
    log "corvix window benchmark"
    WINDOW_OUT=$(QT_QPA_PLATFORM=offscreen "$WINDOW_BENCH" 2>/dev/null)
    printf '%s\n' "$WINDOW_OUT" >&2
fi

# ---------------------------------------------------------------------------------------
# The table

fmt_rate() { # rate [limited]
    if [[ -z $1 || $1 == n/a ]]; then
        echo "n/a"
    elif [[ $1 == 0 ]]; then
        echo "none"
    else
        printf '%s%s' "${2:+>= }" "$(printf '%.0f' "$1" | sed ':a; s/\B[0-9]\{3\}\>/,&/; ta')"
    fi
}
fmt_mib() { [[ -n $1 && $1 != 0 ]] && calc "$1 / 1048576" | xargs printf '%.1f' || echo "?"; }
fmt_kib() { [[ -n $1 ]] && calc "$1 / 1024" | xargs printf '%.1f' || echo "n/a"; }
fmt_2() { [[ -n $1 ]] && printf '%.2f' "$1" || echo "n/a"; }
vs_bare() { # array kind: the kind's figure over the bare receiver's
    local -n figures=$1
    local r=${figures[$2]:-} b=${figures[bare]:-}
    if [[ -z $r || -z $b || $r == n/a || $b == n/a || $b == 0 ]]; then
        echo "n/a"
        return
    fi
    local ratio
    ratio=$(calc "$r / $b" | xargs printf '%.2f')
    # A rate the blaster capped is only a lower bound, and so is a ratio over it.
    if [[ $1 == ZERO && $2 != bare ]]; then
        case ${ZERO_LIMITED[$2]:-}/${ZERO_LIMITED[bare]:-} in
            1/1) ratio="? (both sender-bound)" ;;
            1/) ratio=">= $ratio" ;;
            /1) ratio="<= $ratio" ;;
        esac
    fi
    echo "$ratio"
}

TABLE=$WORK/table.md
{
    echo "### Receivers"
    echo
    echo "Loopback, $COUNT datagrams a zero-loss trial; overload: $OVERLOAD sent flat out;" \
        "CPU per 100,000 received at $CPU_RATE/s and at the zero-loss rate."
    echo
    echo "| receiver | SO_RCVBUF MiB | zero-loss /s | vs bare | drain lag s | overload sent /s | received /s | kernel drops | received per CPU-s | vs bare | CPU s/100k @$CPU_RATE/s | vs bare | CPU s/100k @zero-loss | peak RSS MiB, $((CPU_RATE * 10)) / $OVERLOAD sent | target |"
    echo "|---|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---|"
    for kind in $RECEIVERS; do
        target=""
        [[ $kind == velmora ]] && target="zero-loss >= 0.8 x bare; CPU @$CPU_RATE/s <= 1.5 x bare"
        printf '| %s | %s | %s | %s | %s | %s | %s | %s | %s | %s | %s | %s | %s | %s | %s |\n' "$kind" \
            "$(fmt_mib "${RB[$kind]:-}")" \
            "$(fmt_rate "${ZERO[$kind]:-}" "${ZERO_LIMITED[$kind]:-}")" \
            "$(vs_bare ZERO "$kind")" "$(fmt_2 "${ZERO_LAG[$kind]:-}")" \
            "$(fmt_rate "${OVER_SENT[$kind]:-}")" \
            "$(fmt_rate "${OVER_RATE[$kind]:-}")" "$(fmt_rate "${OVER_DROPS[$kind]:-}")" \
            "$(fmt_rate "${OVER_CAP[$kind]:-}")" "$(vs_bare OVER_CAP "$kind")" \
            "$(fmt_2 "${CPU[$kind]:-}")" "$(vs_bare CPU "$kind")" "$(fmt_2 "${ZERO_CPU[$kind]:-}")" \
            "$(fmt_kib "${HWM_SMALL[$kind]:-}") / $(fmt_kib "${HWM[$kind]:-}")" "$target"
    done
    echo
    echo '">=": the blaster could send no faster and nothing was lost.' \
        'Drain lag: how long after the last send of that trial the socket queue emptied;' \
        'zero loss with a long lag was bought with buffer, not speed.' \
        'Received per CPU-s: datagrams logged per second of receiver CPU in the overload' \
        'trial, a sender-independent figure of capacity.'
    if [[ -n $ROW_BYTES ]]; then
        read -r row_total row_text <<<"$ROW_BYTES"
        echo
        echo "### Message list rows"
        echo
        echo "| measure | figure |"
        echo "|---|---:|"
        echo "| bytes per row held, 1,000,000 rows (receiver_bench) | $row_total |"
        echo "| of which stamp and text | $row_text |"
    fi
    if [[ -n $LIST_OUT ]]; then
        echo
        echo "### corvix --list, ${C_LINES:-?} log lines"
        echo
        echo "| measure | figure | target |"
        echo "|---|---:|---|"
        echo "| corvix --list, no filters | $C_NONE s | |"
        echo "| corvix --list, 200 filters | $C_FILT s | |"
        echo "| grep 'in ' \| awk | $C_AWK s | |"
        echo "| lnav -n -q (load and index; ${L_COUNT:-?} messages) | $L_INDEX s | |"
        echo "| lnav -n (load, index, print all) | $L_PRINT s | |"
        echo "| corvix (200 filters) / grep\|awk | $(calc "$C_FILT / $C_AWK" | xargs printf '%.2f') | <= 0.5 |"
        echo "| corvix (200 filters) / lnav -n -q | $(calc "$C_FILT / $L_INDEX" | xargs printf '%.2f') | <= 0.5 |"
        echo "| corvix peak RSS, N/10 / N / N with 200 filters | $C_TENTH_RSS / $C_NONE_RSS / $C_FILT_RSS MiB | memory flat |"
        echo "| lnav peak RSS, -n -q / -n | $(calc "$L_INDEX_KIB / 1024" | xargs printf '%.1f') / $(calc "$L_PRINT_KIB / 1024" | xargs printf '%.1f') MiB | |"
        echo
        echo "corvix and grep|awk: best of 3 (corvix_list_bench); lnav: best of 3 and 2, after a warm-up run."
    fi
    if [[ -n $WINDOW_OUT ]]; then
        echo
        echo "### corvix window (offscreen), the same log"
        echo
        echo '```'
        printf '%s\n' "$WINDOW_OUT"
        echo '```'
    fi
    if [[ -n $RECEIVER_WINDOW_OUT ]]; then
        echo
        echo "### velmora window (offscreen, every display flag on) beside the bare receiver"
        echo
        echo '```'
        printf '%s\n' "$RECEIVER_WINDOW_OUT"
        echo '```'
    fi
    if [[ -n $LIST_COMMANDS_OUT ]]; then
        echo
        echo "### velmora list commands (offscreen): time and resident memory each adds"
        echo
        echo '```'
        printf '%s\n' "$LIST_COMMANDS_OUT"
        echo '```'
    fi
} >"$TABLE"

echo
cat "$TABLE"

cpu_model=$(awk -F': ' '/^model name/ { print $2; exit }' /proc/cpuinfo)
mem_gib=$(awk '/^MemTotal/ { printf "%.1f", $2 / 1048576 }' /proc/meminfo)
{
    echo "# Benchmark results"
    echo
    echo "Written by scripts/bench.sh; run it again to refresh."
    echo
    echo "- Date: $(date -u '+%Y-%m-%d %H:%M UTC')"
    echo "- Machine: $(nproc) CPUs, ${cpu_model:-unknown CPU}, $mem_gib GiB memory"
    echo "- Load average at start and end: $LOAD_START; $(cut -d' ' -f1-3 /proc/loadavg)"
    echo "- Kernel: $(uname -r); Debian $(cat /etc/debian_version 2>/dev/null || echo '?')"
    echo "- velmora: $(git -C "$ROOT" describe --always --dirty 2>/dev/null || echo '?');" \
        "$(snmptrapd --version 2>&1 | awk 'tolower($0) ~ /version/ { print "snmptrapd " $NF; exit }');" \
        "$(lnav -V 2>/dev/null | head -n 1)"
    echo
    cat "$TABLE"
} >"$BUILD/bench-results.md"
log "written: $BUILD/bench-results.md"
