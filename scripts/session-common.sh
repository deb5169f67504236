# Shared by x-session.sh and wayland-session.sh: a scratch directory, helpers that are
# ended in reverse order when the session ends, bounded waits, and the session and
# accessibility buses. Sourced, not run.

# new_session NAME: makes $session_dir and ends every helper in $pids at exit.
new_session() {
  session_name=$1
  session_dir=$(mktemp -d "${TMPDIR:-/tmp}/$session_name.XXXXXX")
  pids=()
  trap end_session EXIT
}

end_session() {
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

# wait_for SECONDS COMMAND...: polls until COMMAND succeeds; fails after SECONDS.
wait_for() {
  local deadline=$((SECONDS + $1))
  shift
  until "$@" >/dev/null 2>&1; do
    if ((SECONDS >= deadline)); then
      echo "$session_name: gave up waiting for: $*" >&2
      return 1
    fi
    sleep 0.05
  done
}

# A private session bus and the accessibility bus, where Qt exposes its widgets once asked.
start_buses() {
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
}
