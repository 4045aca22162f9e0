# Sourced by the measuring scripts in bench/: a private home for the player,
# offscreen, with the null audio sink, no news download and no desktop opener,
# and helpers to start it and wait until it takes hand-offs.
# Needs: bash, coreutils (sha1sum, mktemp, timeout).

bench_home=$(mktemp -d)
export CANTOREL_HOME=$bench_home/home
export CANTOREL_RECORD_DESKTOP=$bench_home/desktop.log
export CANTOREL_NULL_AUDIO=1
export CANTOREL_SPLASH_MS=20
export CANTOREL_NEWS_URL=http://127.0.0.1:9/msg.txt
export QT_QPA_PLATFORM=offscreen
export XDG_RUNTIME_DIR=$bench_home/run
mkdir -p "$CANTOREL_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
player_pid=

# The socket the running player listens on (its name comes from the user and
# the settings file).
player_socket() {
  local hash
  hash=$(printf '%s' "$CANTOREL_HOME/cantorel.conf" | sha1sum | cut -c1-12)
  printf '%s/cantorel-%s-%s' "${TMPDIR:-/tmp}" "$(id -u)" "$hash"
}

# start_player PROGRAM [ARGS...]: starts it in the background and waits until
# it listens and its start-up has had a moment to finish.
start_player() {
  "$@" >"$bench_home/player.log" 2>&1 &
  player_pid=$!
  local socket i
  socket=$(player_socket)
  for i in $(seq 100); do
    [ -S "$socket" ] && break
    sleep 0.1
  done
  [ -S "$socket" ] || { echo "the player did not start; its log:" >&2; cat "$bench_home/player.log" >&2; return 1; }
  sleep 1
}

stop_player() {
  if [ -n "$player_pid" ]; then
    kill -TERM "$player_pid" 2>/dev/null
    timeout 10 tail --pid="$player_pid" -f /dev/null
    player_pid=
  fi
}

bench_cleanup() {
  stop_player
  rm -rf "$bench_home"
}
trap bench_cleanup EXIT
