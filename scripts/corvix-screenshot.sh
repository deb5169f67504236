#!/usr/bin/env bash
# The README's picture of corvix: the window on a short day of router log, on a private
# desktop, saved as docs/corvix-window.png. Run it again after the window changes.
#
# Usage: bash scripts/corvix-screenshot.sh [OUT.png]
# Environment: BUILD_DIR=build (where corvix is built)
set -euo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
if [[ "${X_SESSION_DIR:-}" == "" ]]; then
    BUILD=${BUILD_DIR:-build}
    [[ $BUILD = /* ]] || BUILD=$ROOT/$BUILD
    OUT=$(realpath -m "${1:-$ROOT/docs/corvix-window.png}")
    exec "$ROOT/scripts/x-session.sh" --no-tray --size 1024x600 -- "$0" "$BUILD" "$OUT"
fi

BUILD=$1
OUT=$2
WORK=$X_SESSION_DIR/corvix
source "$ROOT/scripts/corvix-shot-common.sh"
corvix_copy

LOG=$WORK/Velmora-incoming-2002-09-27.log
{
    echo "Velmora SNMP log opened 09/27/2002 00:00:00"
    sources=(203.0.113.45 198.51.100.23 192.0.2.77 203.0.113.9 198.51.100.140)
    ports=(80 22 443 137 23 3389 21 80 443 8080)
    for ((i = 0; i < 40; ++i)); do
        printf '09/27/2002 %02d:%02d:%02d in %s %d 198.51.100.7 %d\n' $((i / 4 + 7)) \
            $((i * 13 % 60)) $((i * 7 % 60)) "${sources[i % 5]}" $((1024 + i * 97)) \
            "${ports[i % 10]}"
    done
} >"$LOG"

corvix_start "$LOG"
# The third entry selected, as a user browsing would leave it.
xdotool windowactivate --sync "$window" key Down Down
sleep 0.5
save_shot "$window" "$OUT" 64
