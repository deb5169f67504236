#!/usr/bin/env bash
# Photographs velmora's window for the README: the real program on a private desktop,
# fed a few made-up router messages.
#
#   window-screenshot.sh VELMORA_BINARY OUTPUT.png
set -euo pipefail

if [[ "${X_SESSION_DIR:-}" == "" ]]; then
  (($# == 2)) || { echo "usage: window-screenshot.sh VELMORA_BINARY OUTPUT.png" >&2; exit 2; }
  binary=$(realpath "$1")
  output=$(realpath -m "$2")
  exec "$(dirname "$0")/x-session.sh" --size 800x600 -- "$0" "$binary" "$output"
fi

binary=$1
output=$2
work="$X_SESSION_DIR/velmora"
mkdir -p "$work"
cat >"$work/velmora.ini" <<'INI'
[Defaults]
initialized=Yes
formatted=On
[Display Options]
incoming=On
outgoing=On
messages=On
INI

(cd "$work" && HOME="$work" XDG_CONFIG_HOME="$work" XDG_RUNTIME_DIR="$work" \
  "$binary" -s --port=0 2>"$work/stderr") &
velmora=$!
trap 'kill $velmora 2>/dev/null || true' EXIT

for _ in $(seq 100); do
  port=$(sed -n 's/.*listening on UDP port \([0-9]*\).*/\1/p' "$work/stderr")
  [[ -n "$port" ]] && break
  sleep 0.1
done
[[ -n "$port" ]] || { echo "window-screenshot: velmora did not start" >&2; cat "$work/stderr" >&2; exit 1; }

/usr/bin/python3 - "$port" <<'PY'
import socket, sys, time
messages = [
    "Router started: firmware 1.4.2",
    "@in 203.0.113.45 4512 198.51.100.7 80",
    "@out 198.51.100.7 1043 192.0.2.53 53",
    "@in 203.0.113.9 33012 198.51.100.7 22",
    "@out 198.51.100.7 1044 192.0.2.80 443",
    "WAN link up: 198.51.100.7",
    "@in 192.0.2.200 6881 198.51.100.7 6881",
    "@out 198.51.100.7 1045 203.0.113.20 25",
    "DHCP lease renewed for 192.168.1.23",
    "@in 203.0.113.77 1434 198.51.100.7 1434",
]
sender = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
for text in messages:
    sender.sendto(b"h" * 73 + text.encode(), ("127.0.0.1", int(sys.argv[1])))
    time.sleep(0.02)
PY

window=""
for _ in $(seq 100); do
  window=$(xdotool search --onlyvisible --name '^Velmora Norvane' | head -n 1 || true)
  [[ -n "$window" ]] && break
  sleep 0.1
done
[[ -n "$window" ]] || { echo "window-screenshot: no window" >&2; exit 1; }
sleep 1
import -window "$window" -frame png8:"$output"
echo "window-screenshot: wrote $output"
