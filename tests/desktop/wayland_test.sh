#!/usr/bin/env bash
# The program under a Wayland compositor (weston, headless): it starts, maps
# its shaped main window at the skin's size and ends cleanly on SIGTERM.
# What the program says to the compositor is read from the protocol log.
# Usage: wayland_test.sh BUILD_DIR
source "$(dirname "$0")/lib.sh"
need weston dbus-daemon

# Mapped and shaped: a toplevel got a buffer of the default skin's size, and
# an input region with the skin's rounded corners cut off (its top row starts
# right of 0) was set.
mapped() { grep -q 'xdg_toplevel@' "$work/app.log" &&
  grep -q 'wl_shm_pool@[0-9]*\.create_buffer([^)]*, 560, 500,' "$work/app.log" &&
  grep -q 'wl_region@[0-9]*\.add([1-9][0-9]*, 0, [0-9]*, 1)' "$work/app.log" &&
  grep -q 'set_input_region' "$work/app.log"; }

case_wayland() {
  private_session
  unset DISPLAY
  # In the sanitizer build, libwayland-client and Qt's Wayland plug-ins keep
  # small allocations to the end (freed by no one, named by no module after
  # the plug-in is unloaded); our own leaks are caught by every other test.
  export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"
  local socket=cantorel-test-$$
  weston --backend=headless-backend.so --socket="$socket" --use-pixman --idle-time=0 >"$work/weston.log" 2>&1 &
  pids+=($!)
  wait_for 10 test -S "$XDG_RUNTIME_DIR/$socket" || die "weston did not start"
  WAYLAND_DISPLAY=$socket QT_QPA_PLATFORM=wayland WAYLAND_DEBUG=1 APP_NO_WAIT=1 app_start
  check "a shaped 560x500 main window is mapped" wait_for 30 mapped
  kill -TERM "$app"
  check "it ends within 10 s of SIGTERM" wait_for 10 eval '! kill -0 $app 2>/dev/null'
  wait "$app"
  check "with status 0" [ $? -eq 0 ]
  app=
  check "having saved its settings" grep -q '^Instalado=' "$home/cantorel.conf"
}

run_cases case_wayland
