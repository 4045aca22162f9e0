# Shell helper for the tests that run an installed player: sourced, not run.
# stop_player PID: sends SIGTERM and waits up to 15 s for the player to end;
# sets `rc` to its exit status, or 124 when it did not end in time.
stop_player() {
  local pid=$1
  kill -TERM "$pid" 2>/dev/null
  rc=124
  for _ in $(seq 150); do
    if ! kill -0 "$pid" 2>/dev/null; then
      wait "$pid"
      rc=$?
      return 0
    fi
    sleep 0.1
  done
}
