#!/usr/bin/env bash
# Every man page formats without a warning, by groff itself and through man.
set -euo pipefail
status=0
for page in "$@"; do
  remarks=$(LC_ALL=C.UTF-8 groff -ww -man -z "$page" 2>&1)
  remarks+=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$page" 2>&1 >/dev/null)
  if [[ -n "$remarks" ]]; then
    printf '%s: %s\n' "$page" "$remarks" >&2
    status=1
  fi
done
exit "$status"
