#!/usr/bin/env bash
# Every desktop entry passes desktop-file-validate without a single remark.
set -euo pipefail
status=0
for entry in "$@"; do
  remarks=$(desktop-file-validate "$entry" 2>&1) || true
  if [[ -n "$remarks" ]]; then
    printf '%s\n' "$remarks" >&2
    status=1
  fi
done
exit "$status"
