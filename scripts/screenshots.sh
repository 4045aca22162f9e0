#!/usr/bin/env bash
# Takes the pictures in docs/screenshots/ from the built program.
#
#   scripts/screenshots.sh [BUILD_FOLDER] [OUT_FOLDER]
#
# Runs build/bin/cantorel on a private desktop (Xvfb, the openbox window
# manager and a session bus of its own) with a CANTOREL_HOME of its own, opens
# each window as a user would (keys and clicks at the places the skin tool
# reports) and keeps each window's picture, cut to the window. Songs, lyrics
# and playlists are copies in a scratch folder: nothing outside it changes.
# Needs xvfb, openbox, xdotool, imagemagick and dbus (scripts/setup.sh --test).
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
out=${2:-$root/docs/screenshots}
mkdir -p "$out"
out=$(cd "$out" && pwd)

for tool in Xvfb openbox xdotool import convert dbus-daemon; do
  command -v "$tool" >/dev/null || { echo "$tool is missing: bash scripts/setup.sh --test" >&2; exit 1; }
done

work=$(mktemp -d)
pids=()
app=
finish() {
  [ -n "$app" ] && kill "$app" 2>/dev/null && sleep 1 && kill -KILL "$app" 2>/dev/null
  local i
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do kill "${pids[i]}" 2>/dev/null || true; done
  [ -n "${bus_pid:-}" ] && kill "$bus_pid" 2>/dev/null
  rm -rf "$work"
}
trap finish EXIT

until_true() {  # until_true SECONDS COMMAND...: false when time runs out
  local end=$((SECONDS + $1)); shift
  until "$@"; do
    [ "$SECONDS" -ge "$end" ] && return 1
    sleep 0.2
  done
}

# --- A desktop of our own ----------------------------------------------------
exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 1280x900x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
pids+=($!)
exec 3>&-
until_true 10 test -s "$work/display" || { echo "Xvfb did not start" >&2; exit 1; }
export DISPLAY=:$(head -1 "$work/display")
openbox --sm-disable >"$work/openbox.log" 2>&1 &
pids+=($!)
sleep 1
bus=$(dbus-daemon --session --fork --print-address=1 --print-pid=1)
export DBUS_SESSION_BUS_ADDRESS=$(sed -n 1p <<<"$bus")
bus_pid=$(sed -n 2p <<<"$bus")
export HOME=$work/user XDG_CONFIG_HOME=$work/user/.config XDG_RUNTIME_DIR=$work/runtime
mkdir -p "$HOME/Music" "$XDG_CONFIG_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
unset QT_QPA_PLATFORM WAYLAND_DISPLAY

# --- Things to show ------------------------------------------------------------
songs=$work/songs
mkdir -p "$songs"
cp "$build/share/cantorel/demo/demo.mid" "$build/share/cantorel/demo/demo.qvl" "$songs/"
# The demo song is played from a playlist with a picture: its cover.
printf 'demo.mid\r\n' >"$songs/Evening Songs.m3u"
convert -size 300x300 radial-gradient:'#5fe0c8'-'#10202a' -fill '#0c1a20' -gravity center -pointsize 40 \
  -annotate 0 'Evening\nSongs' "$songs/Evening Songs.jpg"
# 17 playlists with covers, in folders of their own (the browser looks into
# every folder below the one chosen).
lists=$work/playlists
colours=(teal orange steelblue gold orchid seagreen tomato slateblue peru
  cadetblue crimson darkkhaki hotpink olivedrab sienna royalblue goldenrod)
names=("Morning Run" "Rainy Sunday" "Road Trip" "Dinner Jazz" "Kitchen Radio" "Old Friends"
  "Winter Songs" "Summer Night" "Study Hours" "Piano Mood" "Ballads" "Dance Floor"
  "Folk Tales" "Garden Party" "Lullabies" "Sing Along" "Travel Home")
for i in "${!names[@]}"; do
  d="$lists/$(printf '%02d' $((i + 1)))"
  mkdir -p "$d"
  printf '%s\r\n' "$songs/demo.mid" "Track two.mp3" "Track three.mp3" >"$d/${names[i]}.m3u"
  convert -size 160x160 "gradient:${colours[i]}-black" -fill white -gravity center -pointsize 22 \
    -annotate 0 "${names[i]// /\\n}" "$d/${names[i]}.jpg"
done
mkdir -p "$work/empty"

# --- The program -------------------------------------------------------------
home=$work/home
start() {  # start SKIN_FILE [ARGS...]
  local skin=$1; shift
  rm -rf "$home"
  mkdir -p "$home"
  printf '%s\n' '[Cantorel v4.0/config]' AutoRegistry=0 AskForIt=0 "Skin=$skin" "VisPLPath=$browse" \
    "LyricPath=$songs/" >"$home/cantorel.conf"
  CANTOREL_HOME=$home CANTOREL_SPLASH_MS=20 CANTOREL_NEWS_URL=http://127.0.0.1:9/msg.txt \
    CANTOREL_RECORD_DESKTOP=$work/desktop.log CANTOREL_NULL_AUDIO=1 \
    "$build/bin/cantorel" "$@" >"$work/app.log" 2>&1 &
  app=$!
  until_true 20 main_window || { echo "the main window did not appear" >&2; tail "$work/app.log" >&2; exit 1; }
  sleep 2
}
stop() {
  kill "$app" 2>/dev/null || true
  until_true 10 eval '! kill -0 "$app" 2>/dev/null' || kill -KILL "$app" 2>/dev/null || true
  app=
}
# The program's largest visible window is the main window: $main, at $mx $my.
main_window() {
  local w best= area=0
  for w in $(xdotool search --onlyvisible --pid "$app" 2>/dev/null); do
    eval "$(xdotool getwindowgeometry --shell "$w")"
    [ $((WIDTH * HEIGHT)) -gt "$area" ] && { area=$((WIDTH * HEIGHT)); best=$w; }
  done
  [ -n "$best" ] || return 1
  main=$best
  eval "$(xdotool getwindowgeometry --shell "$main")"
  mx=$X my=$Y
}
# The visible window titled TITLE: $shown.
window_named() { shown=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -1); [ -n "$shown" ]; }
wait_window() { until_true 10 window_named "$1" || { echo "no window \"$1\"" >&2; exit 1; }; sleep 1; }
# The centre of the skin's element KIND INDEX, from the skin tool.
element() {
  "$build/bin/cantorel-tool" skin check "$1" --json | python3 -c '
import json, sys
kind, index = sys.argv[1], int(sys.argv[2])
for e in json.load(sys.stdin)["elements"]:
    if e["kind"] == kind and e["index"] == index:
        r = e["rect"]
        print(r["x"] + r["width"] // 2, r["y"] + r["height"] // 2)
        break' "$2" "$3"
}
click_element() {  # click_element SKIN KIND INDEX
  local at
  at=$(element "$@")
  [ -n "$at" ] || { echo "no $2 $3 in $1" >&2; exit 1; }
  main_window
  xdotool mousemove $((mx + ${at% *})) $((my + ${at#* })) click 1
}
# Keeps window WINDOW_ID as OUT/NAME.png: cut to the window, small.
shot() {
  xdotool mousemove 0 899
  sleep 0.5
  import -window "$1" "$work/shot.png"
  convert "$work/shot.png" -strip -define png:compression-level=9 -define png:compression-filter=5 \
    "$out/$2.png"
  echo "$out/$2.png"
}

skins=$build/share/cantorel/skins
browse=$work/empty/

# Main window with each shipped skin, playing the demo song.
start "$skins/pebble.skin" "$songs/Evening Songs.m3u"
shot "$main" main-pebble
stop
start "$skins/default.skin" "$songs/Evening Songs.m3u"
sleep 3
shot "$main" main-default

# The cover window.
click_element "$skins/default.skin" button 34
wait_window "Now Playing"
shot "$shown" cover-window
xdotool windowclose "$shown" 2>/dev/null || xdotool key --window "$shown" Escape

# Track information.
click_element "$skins/default.skin" button 16
wait_window "Track Info"
shot "$shown" track-information
xdotool windowclose "$shown" 2>/dev/null || true

# The visual playlist selector, first on a folder without playlists.
click_element "$skins/default.skin" button 35
wait_window "Visual Playlist Selector"
shot "$shown" playlist-selector-empty
xdotool windowclose "$shown" 2>/dev/null || true
stop

# Every preferences tab (one at a time, Ctrl+Tab to the next).
browse=$lists/
start "$skins/default.skin" "$songs/Evening Songs.m3u"
click_element "$skins/default.skin" button 35
wait_window "Visual Playlist Selector"
xdotool mousemove 0 0
shot "$shown" playlist-selector
xdotool windowclose "$shown" 2>/dev/null || true
sleep 1

click_element "$skins/default.skin" button 5
until_true 10 window_named "Cantorel v4.0 Prefs" || { echo "no preferences" >&2; exit 1; }
prefs=$shown
tabs=(skin documents general timer paths other plugins)
for i in "${!tabs[@]}"; do
  sleep 1
  shot "$prefs" "preferences-$((i + 1))-${tabs[i]}"
  xdotool windowactivate --sync "$prefs" 2>/dev/null || true
  xdotool key ctrl+Tab
done
xdotool windowactivate --sync "$prefs" 2>/dev/null || true
xdotool key Escape || true
until_true 10 eval '! window_named "Cantorel v4.0 Prefs"' || { echo "the preferences did not close" >&2; exit 1; }

# The lyric assistant: the text step, then the timing step.
click_element "$skins/default.skin" button 40
until_true 10 window_named "Lyric Assistant.*Step 1.*" || { echo "no lyric assistant" >&2; exit 1; }
step1=$shown
sleep 1
shot "$step1" lyric-assistant-text
eval "$(xdotool getwindowgeometry --shell "$step1")"
# "Next Step" is the last button on the bottom row.
xdotool mousemove --window "$step1" $((WIDTH - 52)) $((HEIGHT - 23)) click 1
until_true 10 window_named "Lyric Assistant.*Step 2.*" || {
  echo "no timing step; windows shown:" >&2
  for w in $(xdotool search --onlyvisible --pid "$app"); do xdotool getwindowname "$w" >&2; done
  exit 1
}
sleep 1
shot "$shown" lyric-assistant-timing
stop

du -ch "$out"/*.png | tail -1
