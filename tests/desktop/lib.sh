# Shared helpers of the desktop tests, sourced by every script here.
#
# A script gets one private desktop (Xvfb with the openbox window manager and
# a session bus of its own) and starts the real program on it as often as it
# needs, each time with a fresh CANTOREL_HOME. It drives the program as a user
# does (xdotool: pointer and keyboard, at element rectangles the skin tool
# reports) and looks at it as the desktop does: window state from the X
# server, MPRIS on the bus, screenshots and the files the program writes.
# Every wait is bounded; everything started is ended on exit.
#
# Scripts take the build folder as $1.
set -uo pipefail

build=${1:?build folder}
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source_dir=$(cd "$here/../.." && pwd)
skins=$source_dir/data/skins
default=$skins/default.skin
bus_name=org.mpris.MediaPlayer2.cantorel

need() {
  local t
  for t in "$@"; do command -v "$t" >/dev/null || { echo "FAIL: $t missing (bash scripts/setup.sh --test)" >&2; exit 1; }; done
}

work=$(mktemp -d)
pids=()   # desktop processes, ended last
app=      # the program's process
failures=0
case_name=-

cleanup() {
  [ -n "$app" ] && kill -KILL "$app" 2>/dev/null
  local i
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do kill "${pids[i]}" 2>/dev/null; done
  [ -n "${DBUS_PID:-}" ] && kill "$DBUS_PID" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 1' INT TERM

fail() { echo "FAIL [$case_name]: $*" >&2; failures=$((failures + 1)); }
check() { "${@:2}" || fail "$1"; }  # check DESCRIPTION CONDITION...
die() {
  echo "FAIL [$case_name]: $*" >&2
  [ -f "$work/app.log" ] && tail -20 "$work/app.log" | sed 's/^/  program: /' >&2
  exit 1
}
wait_for() {  # wait_for SECONDS CONDITION...
  local deadline=$((SECONDS + $1)); shift
  until "$@"; do [ "$SECONDS" -ge "$deadline" ] && return 1; sleep 0.1; done
}
# Runs each named case function (or those named in DESKTOP_CASES); a case
# that fails does not stop the others.
run_cases() {
  local c before
  [ -n "${DESKTOP_CASES:-}" ] && set -- $DESKTOP_CASES
  for c in "$@"; do
    case_name=$c
    before=$failures
    "$c"
    app_stop quietly
    [ "$failures" -eq "$before" ] && echo "ok   $c" || echo "FAIL $c"
  done
  [ "$failures" -eq 0 ] || { echo "$failures failure(s)" >&2; exit 1; }
}

# --- The desktop -----------------------------------------------------------
# desktop_up [WxH]: Xvfb on a free display number (the server picks it),
# openbox managing it, and a private session bus.
desktop_up() {
  need Xvfb openbox xdotool xprop import convert gdbus dbus-daemon sox
  exec 3>"$work/display"
  Xvfb -displayfd 3 -screen 0 "${1:-1280x800}x24" -nolisten tcp >"$work/xvfb.log" 2>&1 &
  pids+=($!)
  exec 3>&-
  wait_for 10 test -s "$work/display" || die "Xvfb did not start"
  export DISPLAY=:$(head -1 "$work/display")
  openbox --sm-disable >"$work/openbox.log" 2>&1 &
  pids+=($!)
  wait_for 10 eval 'xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"' ||
    die "openbox did not start"
  private_session
  unset QT_QPA_PLATFORM WAYLAND_DISPLAY
}
# A session bus, home and runtime folder of the test's own.
private_session() {
  local bus
  bus=$(dbus-daemon --session --fork --print-address=1 --print-pid=1) || die "dbus-daemon"
  export DBUS_SESSION_BUS_ADDRESS=$(sed -n 1p <<<"$bus")
  DBUS_PID=$(sed -n 2p <<<"$bus")
  export HOME=$work/user XDG_CONFIG_HOME=$work/user/.config XDG_RUNTIME_DIR=$work/runtime
  mkdir -p "$HOME/Music" "$XDG_CONFIG_HOME" "$XDG_RUNTIME_DIR"
  chmod 700 "$XDG_RUNTIME_DIR"
}

# --- The program -----------------------------------------------------------
# program ARGS...: the program on $home, with a short splash, a news address
# that refuses at once, silent audio, and dialogs and web addresses recorded
# (APP_RECORD= : really shown; APP_TIMEOUT=S: ended after S seconds). It
# replaces the shell it runs in (its process id is the program's): start it
# with & or in ( ).
program() {
  exec env CANTOREL_HOME="$home" CANTOREL_SPLASH_MS=20 CANTOREL_NEWS_URL=http://127.0.0.1:9/msg.txt \
    CANTOREL_RECORD_DESKTOP="${APP_RECORD-$work/desktop.log}" CANTOREL_NULL_AUDIO=1 \
    ${APP_TIMEOUT:+timeout $APP_TIMEOUT} "$build/bin/cantorel" "$@"
}
# app_start [SETTING=VALUE...] [-- ARGS...]: a fresh home with these settings
# (association question off unless given; APP_HOME=1: the home of the last
# start again), the program started on it, and its main window found ($win;
# geometry in X Y WIDTH HEIGHT): mapped, or with APP_HIDDEN=1 mapped or not
# (APP_NO_WAIT=1: not waited for).
app_start() {
  local settings=()
  while [ $# -gt 0 ] && [ "$1" != -- ]; do settings+=("$1"); shift; done
  [ "${1:-}" = -- ] && shift
  if [ -z "${APP_HOME:-}" ]; then
    home=$(mktemp -d "$work/home.XXXX")
    [[ " ${settings[*]} " == *" AutoRegistry="* ]] || settings+=("AutoRegistry=0")
    printf '%s\n' '[Cantorel v4.0/config]' "${settings[@]}" >"$home/cantorel.conf"
  fi
  program "$@" >"$work/app.log" 2>&1 &
  app=$!
  [ -n "${APP_NO_WAIT:-}" ] && return 0
  wait_for 20 bus_up || die "$bus_name never appeared on the bus"
  wait_for 10 find_window ${APP_HIDDEN:+any} || die "the main window never appeared"
}
# The program's largest mapped window is the main window ("any": mapped or not).
find_window() {
  local w best= area=0 only=--onlyvisible
  [ "${1:-}" = any ] && only=
  for w in $(xdotool search $only --pid "$app" 2>/dev/null); do
    eval "$(xdotool getwindowgeometry --shell "$w")"
    [ $((WIDTH * HEIGHT)) -gt "$area" ] && { area=$((WIDTH * HEIGHT)); best=$w; }
  done
  [ -n "$best" ] && win=$best && geom
}
geom() { eval "$(xdotool getwindowgeometry --shell "$win")"; }
windows() { xdotool search --onlyvisible --pid "$app" 2>/dev/null | sort; }
# opens COMMAND...: runs the command (a click, keys) and waits (5 s) for a
# new window of the program; prints its id.
opens() {
  local before w=
  before=$(windows)
  "$@"
  wait_for 5 eval 'w=$(comm -13 <(echo "$before") <(windows) | tail -1); [ -n "$w" ]' && echo "$w"
}
# width_becomes N: the main window is N wide within 5 s (a skin loaded).
width_becomes() { local want=$1; wait_for 5 eval 'geom; [ "$WIDTH" = "$want" ]'; }
# WM_STATE as the window manager keeps it: Normal, Iconic or Withdrawn.
wm_state() { xprop -id "$win" WM_STATE 2>/dev/null | sed -n 's/.*window state: //p'; }
app_stop() {  # app_stop [quietly]: SIGTERM, then a bounded wait for the end
  [ -n "$app" ] || return 0
  kill -TERM "$app" 2>/dev/null
  wait_for 10 eval '! kill -0 "$app" 2>/dev/null' ||
    { kill -KILL "$app"; [ "${1:-}" ] || fail "no end within 10 s of SIGTERM"; }
  wait "$app" 2>/dev/null
  app=
}

# --- Skin elements and the user's hands --------------------------------------
# rect SKIN KIND INDEX: "x y w h" of an element as the skin tool reports it.
rect() {
  local table=$work/skin-$(basename "$1").txt
  [ -s "$table" ] || "$build/bin/cantorel-tool" skin check --json "$1" 2>/dev/null | python3 -c '
import json, sys
for e in json.load(sys.stdin)["elements"]:
    r = e["rect"]
    print(e["kind"], e["index"], r["x"], r["y"], r["width"], r["height"])' >"$table"
  awk -v k="$2" -v i="$3" '$1 == k && $2 == i { print $3, $4, $5, $6; exit }' "$table"
}
# point SKIN KIND INDEX: the screen point at the centre of an element.
point() {
  local x y w h
  read -r x y w h < <(rect "$@") || die "no $2 $3 in $1"
  geom && echo $((X + x + w / 2)) $((Y + y + h / 2))
}
click_at() {  # click_at SKIN KIND INDEX [BUTTON]
  local px py
  read -r px py < <(point "$1" "$2" "$3")
  xdotool mousemove "$px" "$py" sleep 0.1 click "${4:-1}" sleep 0.2
}
press() { xdotool key --delay 60 "$@"; sleep 0.3; }
# drag X0 Y0 X1 Y1: a left-button drag between two screen points, in small
# steps as a hand moves.
drag() {
  local i steps=12
  xdotool mousemove "$1" "$2" mousedown 1
  for ((i = 1; i <= steps; i++)); do
    xdotool mousemove $(($1 + ($3 - $1) * i / steps)) $(($2 + ($4 - $2) * i / steps)) sleep 0.08
  done
  xdotool sleep 0.2 mouseup 1 sleep 0.2
}

# --- Media controls ----------------------------------------------------------
bus_up() {
  [ "$(timeout 5 gdbus call --session --dest org.freedesktop.DBus --object-path /org/freedesktop/DBus \
    --method org.freedesktop.DBus.NameHasOwner "$bus_name" 2>/dev/null)" = "(true,)" ]
}
# prop NAME: a property of the player interface, as gdbus prints it;
# set_prop NAME GVARIANT sets one.
mpris() {
  timeout 5 gdbus call --session --dest "$bus_name" --object-path /org/mpris/MediaPlayer2 \
    --method "org.freedesktop.DBus.Properties.$1" org.mpris.MediaPlayer2.Player "${@:2}" 2>/dev/null
}
prop() { mpris Get "$1"; }
set_prop() { mpris Set "$@" >/dev/null; }
status_is() { [ "$(prop PlaybackStatus)" = "(<'$1'>,)" ]; }
becomes() { wait_for 5 status_is "$1"; }

# --- Screenshots -------------------------------------------------------------
shot() { import -window root "$work/$1.png" 2>/dev/null; }  # shot NAME: the screen to $work/NAME.png
# crop NAME SKIN KIND INDEX: the element's pixels of screenshot NAME;
# crop NAME x y w h: a rectangle of the window's.
crop() {
  local name=$1 x y w h; shift
  if [ $# -eq 4 ]; then x=$1 y=$2 w=$3 h=$4; else read -r x y w h < <(rect "$@"); fi
  geom
  convert "$work/$name.png" -crop "${w}x${h}+$((X + x))+$((Y + y))" +repage "$work/$name-$x-$y.png"
  echo "$work/$name-$x-$y.png"
}
# Pixels that differ between two images of one size.
differ() { compare -metric AE "$1" "$2" null: 2>&1 | cut -d' ' -f1; }
# Pixels of an image within 40 of colour R,G,B.
count_colour() {
  convert "$1" -fuzz 16% -fill black +opaque "rgb($2,$3,$4)" -fill white -opaque "rgb($2,$3,$4)" \
    -format '%[fx:int(mean*w*h+0.5)]' info: 2>/dev/null
}
tone() { sox -q -n -r 44100 -c 2 -b 16 "$1" synth "$2" sine 440 || die "sox"; }  # tone FILE SECONDS
