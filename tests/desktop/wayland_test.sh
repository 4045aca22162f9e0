#!/usr/bin/env bash
# The program under a Wayland compositor (weston, headless): it starts, maps
# its shaped main window at the skin's size and ends cleanly on SIGTERM.
# What the program says to the compositor is read from the protocol log.
# Usage: wayland_test.sh BUILD_DIR
set -uo pipefail
build=${1:?build folder}
for tool in weston timeout; do
  command -v "$tool" >/dev/null || { echo "FAIL: $tool missing (bash scripts/setup.sh --test)" >&2; exit 1; }
done
work=$(mktemp -d)
weston_pid=
app=
cleanup() {
  [ -n "$app" ] && kill -KILL "$app" 2>/dev/null
  [ -n "$weston_pid" ] && kill "$weston_pid" 2>/dev/null
  [ -n "${DBUS_PID:-}" ] && kill "$DBUS_PID" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
die() { echo "FAIL: $*" >&2; tail -5 "$work/weston.log" "$work/app.log" 2>/dev/null | grep -v wl_ >&2; exit 1; }
wait_for() { local d=$((SECONDS + $1)); shift; until "$@"; do [ "$SECONDS" -ge "$d" ] && return 1; sleep 0.1; done; }

export XDG_RUNTIME_DIR=$work/runtime HOME=$work/user
mkdir -p "$XDG_RUNTIME_DIR" "$HOME" "$work/home" && chmod 700 "$XDG_RUNTIME_DIR"
unset DISPLAY
socket=cantorel-test-$$
weston --backend=headless-backend.so --socket="$socket" --use-pixman --idle-time=0 >"$work/weston.log" 2>&1 &
weston_pid=$!
wait_for 10 test -S "$XDG_RUNTIME_DIR/$socket" || die "weston did not start"
bus=$(dbus-daemon --session --fork --print-address=1 --print-pid=1) || die "dbus-daemon"
export DBUS_SESSION_BUS_ADDRESS=$(sed -n 1p <<<"$bus")
DBUS_PID=$(sed -n 2p <<<"$bus")

printf '[Cantorel v4.0/config]\nAutoRegistry=0\n' >"$work/home/cantorel.conf"
WAYLAND_DISPLAY=$socket QT_QPA_PLATFORM=wayland WAYLAND_DEBUG=1 CANTOREL_HOME=$work/home \
  CANTOREL_RECORD_DESKTOP=$work/desktop.log CANTOREL_SPLASH_MS=20 CANTOREL_NEWS_URL=http://127.0.0.1:9/msg.txt CANTOREL_NULL_AUDIO=1 \
  "$build/bin/cantorel" >"$work/app.log" 2>&1 &
app=$!
# Mapped and shaped: a toplevel got a buffer of the default skin's size, and
# an input region with the skin's rounded corners cut off (its top row starts
# right of 0) was set.
mapped() { grep -q 'xdg_toplevel@' "$work/app.log" &&
  grep -q 'wl_shm_pool@[0-9]*\.create_buffer([^)]*, 560, 500,' "$work/app.log" &&
  grep -q 'wl_region@[0-9]*\.add([1-9][0-9]*, 0, [0-9]*, 1)' "$work/app.log" &&
  grep -q 'set_input_region' "$work/app.log"; }
wait_for 30 mapped || die "no shaped 560x500 main window was mapped"
kill -TERM "$app"
wait_for 10 eval '! kill -0 $app 2>/dev/null' || die "still running 10 s after SIGTERM"
wait "$app"; rc=$?
app=
[ "$rc" -eq 0 ] || die "exit status $rc after SIGTERM"
[ -s "$work/home/cantorel.conf" ] && grep -q '^Instalado=' "$work/home/cantorel.conf" ||
  die "the settings were not saved at the end"
echo "ok   wayland"
