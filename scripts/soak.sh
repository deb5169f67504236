#!/usr/bin/env bash
# Soak: COUNT router datagrams (default 10,000,000) at RATE per second (default 100,000)
# into headless velmora over loopback. Prints what was sent, logged and lost, and the
# program's resident memory and open descriptors over the run. Figures only.
#   bash scripts/soak.sh [COUNT] [RATE]
set -euo pipefail
cd "$(dirname "$0")/.."
count=${1:-10000000}
rate=${2:-100000}
build=${BUILD_DIR:-build}

if ! grep -qs '^VELMORA_BUILD_BENCH:BOOL=ON' "$build/CMakeCache.txt"; then
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVELMORA_BUILD_BENCH=ON >/dev/null
fi
cmake --build "$build" --target velmora blaster >/dev/null

work=$(mktemp -d)
velmora_pid=
cleanup() {
  [[ -n "$velmora_pid" ]] && kill -9 "$velmora_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# Every display and logging option on, the formatted form too.
cp bench/all_on.ini "$work/velmora.ini"

port=$((20000 + RANDOM % 30000))
# A runtime directory of its own, so a velmora the user runs does not count as this one;
# the rows the display options print are not wanted.
(cd "$work" && exec env XDG_CONFIG_HOME="$work" XDG_RUNTIME_DIR="$work" \
  "$OLDPWD/$build/receiver/app/velmora" --headless --port="$port" \
  >/dev/null 2>"$work/stderr.txt") &
velmora_pid=$!
for _ in $(seq 100); do
  grep -q "successfully opened" "$work/stderr.txt" 2>/dev/null && break
  sleep 0.1
done

rss() { awk '/^VmRSS/ {print $2}' "/proc/$velmora_pid/status"; }
fds() { ls "/proc/$velmora_pid/fd" | wc -l; }
printf '%8s %12s %10s %5s\n' "seconds" "logged" "RSS KiB" "fds"
sample() {
  local logged
  logged=$(cat "$work"/logs/*.log 2>/dev/null | grep -cE '^[0-9]{2}/[0-9]{2}/[0-9]{4} ' || true)
  printf '%8s %12s %10s %5s\n' "$1" "$logged" "$(rss)" "$(fds)"
}
rss_start=$(rss)
fds_start=$(fds)
sample 0

start=$SECONDS
"$build/bench/blaster" --port="$port" --count="$count" --rate="$rate" >"$work/blaster.txt" &
blaster_pid=$!
while kill -0 "$blaster_pid" 2>/dev/null; do
  sleep 10
  kill -0 "$blaster_pid" 2>/dev/null && sample $((SECONDS - start))
done
wait "$blaster_pid"
sleep 2  # the last datagrams reach the logs
rss_end=$(rss)
fds_end=$(fds)
kill -TERM "$velmora_pid"
wait "$velmora_pid" || true
velmora_pid=

logged=$(cat "$work"/logs/*.log | grep -cE '^[0-9]{2}/[0-9]{2}/[0-9]{4} ' || true)
lost=$(sed -n 's/^velmora: \([0-9,]*\) datagrams lost in all\./\1/p' "$work/stderr.txt")
echo
echo "sent:    $(tail -n 1 "$work/blaster.txt")"
echo "logged:  $logged of $count"
echo "lost:    ${lost:-0} (as velmora reported it)"
echo "RSS KiB: $rss_start at start, $rss_end at end"
echo "fds:     $fds_start at start, $fds_end at end"
echo "time:    $((SECONDS - start)) s"
