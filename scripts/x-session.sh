#!/usr/bin/env bash
# Runs one command inside a private desktop session and ends the session with it:
# Xvfb on a free display, openbox, a tray host (trayer), and a D-Bus session bus with
# the accessibility bus, so windows can be driven with xdotool, read through AT-SPI
# (pyatspi) and photographed. The command's exit status is the script's.
#
#   x-session.sh [--size WIDTHxHEIGHT] [--no-tray] [--] command [args...]
#
# Inside the command DISPLAY, DBUS_SESSION_BUS_ADDRESS and X_SESSION_DIR (a scratch
# directory removed afterwards) are set, and Qt programs expose their widgets to AT-SPI.
set -euo pipefail

size=1024x768
tray=1
while (($#)); do
  case "$1" in
    --size) size="$2"; shift 2 ;;
    --no-tray) tray=0; shift ;;
    --) shift; break ;;
    *) break ;;
  esac
done
if (($# == 0)); then
  echo "usage: x-session.sh [--size WxH] [--no-tray] [--] command [args...]" >&2
  exit 2
fi

source "$(dirname "$0")/session-common.sh"
new_session x-session

# The server picks a free display number itself and writes it once it accepts clients.
# Keys do not repeat for a minute: on a loaded machine xdotool's release of a key can come
# late, and a repeating key would type into whatever window its press opened.
Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp -noreset -ardelay 60000 \
  3>"$session_dir/display" >"$session_dir/xvfb.log" 2>&1 &
pids+=($!)
wait_for 15 grep -q '[0-9]' "$session_dir/display"
export DISPLAY=":$(tr -dc '0-9' <"$session_dir/display")"

start_buses

openbox --sm-disable >"$session_dir/openbox.log" 2>&1 &
pids+=($!)
wait_for 10 bash -c 'xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id"'

if ((tray)); then
  trayer --edge bottom --align right --widthtype request --height 24 --SetDockType true \
    >"$session_dir/trayer.log" 2>&1 &
  pids+=($!)
  wait_for 10 xdotool search --classname panel
fi

export X_SESSION_DIR="$session_dir"
status=0
"$@" || status=$?
exit "$status"
