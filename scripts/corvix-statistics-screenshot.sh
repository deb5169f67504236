#!/usr/bin/env bash
# The README's picture of corvix's Statistics window over a day of router log, on a
# private desktop, saved as docs/corvix-statistics.png. Run it again after the window
# changes.
#
# Usage: bash scripts/corvix-statistics-screenshot.sh [OUT.png]
# Environment: BUILD_DIR=build (where corvix is built)
#
# The window names its sources through the system's resolver: the picture is taken in a
# private network and mount namespace whose hosts file names the log's addresses, so no
# question about them leaves the machine.
set -euo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
if [[ "${SCREENSHOT_IN_NETNS:-}" == "" ]]; then
    if ((EUID == 0)); then
        exec env SCREENSHOT_IN_NETNS=1 unshare --net --mount bash "${BASH_SOURCE[0]}" "$@"
    fi
    exec env SCREENSHOT_IN_NETNS=1 unshare --map-root-user --net --mount bash "${BASH_SOURCE[0]}" "$@"
fi
if [[ "${SCREENSHOT_HOSTS:-}" == "" ]]; then
    hosts=$(mktemp)
    trap 'rm -f "$hosts"' EXIT
    {
        cat /etc/hosts
        printf '%s %s\n' 203.0.113.45 knocker.example.net 198.51.100.23 scan-7.example.org \
            192.0.2.77 mail.example.com 10.0.0.12 nas.lan
    } >"$hosts"
    mount --bind "$hosts" /etc/hosts
    export SCREENSHOT_HOSTS=1
fi
if [[ "${X_SESSION_DIR:-}" == "" ]]; then
    BUILD=${BUILD_DIR:-build}
    [[ $BUILD = /* ]] || BUILD=$ROOT/$BUILD
    OUT=$(realpath -m "${1:-$ROOT/docs/corvix-statistics.png}")
    exec "$ROOT/scripts/x-session.sh" --no-tray --size 1024x720 -- "$0" "$BUILD" "$OUT"
fi

BUILD=$1
OUT=$2
WORK=$X_SESSION_DIR/corvix
source "$ROOT/scripts/corvix-shot-common.sh"
corvix_copy

LOG=$WORK/Velmora-incoming-2002-09-27.log
{
    echo "Velmora SNMP log opened 09/27/2002 00:00:00"
    sources=(203.0.113.45 198.51.100.23 192.0.2.77 10.0.0.12 100.64.20.9)
    ports=(80 22 443 137 23 3389 21 80 443 8080)
    # Busier in the evening; the first source keeps knocking.
    for ((i = 0; i < 400; ++i)); do
        hour=$(((i * i / 997 + i / 40) % 17 + 7))
        printf '09/27/2002 %02d:%02d:%02d in %s %d 198.51.100.7 %d\n' $hour \
            $((i * 13 % 60)) $((i * 7 % 60)) "${sources[(i * i) % 7 % 5]}" $((1024 + i * 97)) \
            "${ports[(i * 3) % 10]}"
    done
} >"$LOG"

corvix_start "$LOG"
xdotool windowactivate --sync "$window" key ctrl+t
stats=$(timeout 15 xdotool search --sync --name "^Statistics$" | head -n 1)
xdotool windowsize --sync "$stats" 1000 700
# Drawn once the names have come back.
sleep 2
save_shot "$stats" "$OUT" 96
