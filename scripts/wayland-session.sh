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

source "$(dirname "$0")/session-common.sh"
new_session wayland-session
runtime_dir="$session_dir/runtime"
mkdir -m 0700 "$runtime_dir"

unset DISPLAY
export XDG_RUNTIME_DIR="$runtime_dir"
export WAYLAND_DISPLAY=wayland-test

start_buses

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
