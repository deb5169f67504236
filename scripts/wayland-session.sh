#!/usr/bin/env bash
# Runs one command inside a private Wayland session and ends the session with it:
# Weston on its headless backend, a D-Bus session bus with the accessibility bus, and a
# runtime directory of their own, so Qt programs run as Wayland clients and their
# widgets can be read and driven through AT-SPI. The command's exit status is the
# script's.
#
#   wayland-session.sh [--size WIDTHxHEIGHT] [--] command [args...]
#
# Inside the command WAYLAND_DISPLAY, XDG_RUNTIME_DIR, DBUS_SESSION_BUS_ADDRESS,
# QT_QPA_PLATFORM=wayland and WAYLAND_SESSION_DIR (a scratch directory removed
# afterwards) are set; DISPLAY is not, so nothing falls back to an X server.
set -euo pipefail

size=1024x768
while (($#)); do
  case "$1" in
    --size) size="$2"; shift 2 ;;
    --) shift; break ;;
    *) break ;;
  esac
done
if (($# == 0)); then
  echo "usage: wayland-session.sh [--size WxH] [--] command [args...]" >&2
  exit 2
fi

session_dir=$(mktemp -d "${TMPDIR:-/tmp}/wayland-session.XXXXXX")
runtime_dir="$session_dir/runtime"
mkdir -m 0700 "$runtime_dir"
pids=()
cleanup() {
  local pid
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do
    pid=${pids[i]}
    kill "$pid" 2>/dev/null || true
  done
  for pid in "${pids[@]}"; do
    # Bounded: a helper that ignores SIGTERM gets SIGKILL after two seconds.
    for _ in $(seq 20); do
      kill -0 "$pid" 2>/dev/null || break
      sleep 0.1
    done
    kill -KILL "$pid" 2>/dev/null || true
  done
  rm -rf "$session_dir"
}
trap cleanup EXIT

# wait_for SECONDS COMMAND...: polls until COMMAND succeeds; fails after SECONDS.
wait_for() {
  local deadline=$((SECONDS + $1))
  shift
  until "$@" >/dev/null 2>&1; do
    if ((SECONDS >= deadline)); then
      echo "wayland-session: gave up waiting for: $*" >&2
      return 1
    fi
    sleep 0.05
  done
}

unset DISPLAY
export XDG_RUNTIME_DIR="$runtime_dir"
export WAYLAND_DISPLAY=wayland-test

dbus-daemon --session --nofork --nopidfile --print-address=4 \
  4>"$session_dir/bus" >"$session_dir/dbus.log" 2>&1 &
pids+=($!)
wait_for 10 grep -q 'unix:' "$session_dir/bus"
DBUS_SESSION_BUS_ADDRESS=$(head -n 1 "$session_dir/bus")
export DBUS_SESSION_BUS_ADDRESS

/usr/libexec/at-spi-bus-launcher --launch-immediately >"$session_dir/atspi.log" 2>&1 &
pids+=($!)
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
export QT_ACCESSIBILITY=1
export NO_AT_BRIDGE=0

# The headless backend draws with pixman into memory: no GPU, no seat, no X server.
weston --backend=headless-backend.so --use-pixman --socket="$WAYLAND_DISPLAY" \
  --width="${size%x*}" --height="${size#*x}" --idle-time=0 \
  >"$session_dir/weston.log" 2>&1 &
pids+=($!)
wait_for 15 test -S "$runtime_dir/$WAYLAND_DISPLAY"
# A full path, so clients started with a runtime directory of their own still find it.
export WAYLAND_DISPLAY="$runtime_dir/$WAYLAND_DISPLAY"

export QT_QPA_PLATFORM=wayland
export WAYLAND_SESSION_DIR="$session_dir"
status=0
"$@" || status=$?
exit "$status"
