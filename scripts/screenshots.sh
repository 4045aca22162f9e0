#!/usr/bin/env bash
# Writes the pictures of docs/screenshots/ from the built program on a
# private desktop: the main window with both shipped skins, every tab of the
# preferences, track information, both steps of the lyric assistant, the
# visual playlist selector (on a folder without playlists and on one with 17)
# and the cover window. Each picture is cut to its window and stored small.
# Look at every one after taking them.
# Usage: scripts/screenshots.sh BUILD_DIR [OUT_DIR]   (OUT_DIR: docs/screenshots)
source "$(dirname "$0")/../tests/desktop/lib.sh"
out=$(cd "${2:-$source_dir/docs/screenshots}" && pwd) || exit 1

# keep WINDOW NAME: the window's picture as OUT/NAME.png, without metadata.
keep() {
  xdotool mousemove 0 0
  sleep 0.7
  import -window "$1" "$work/keep.png" 2>/dev/null || { fail "no picture of $2"; return; }
  convert "$work/keep.png" -strip -define png:compression-level=9 "$out/$2.png"
}
# shoot NAME [BUTTON]: the window the skin's button opens (the main window
# without one) as NAME; its id in $shown. close_shown closes it again.
shoot() {
  shown=$win
  if [ -n "${2:-}" ]; then shown=$(opens click_at "$default" button "$2") || { fail "no window for $1"; return 1; }; fi
  xdotool windowactivate --sync "$shown" 2>/dev/null
  keep "$shown" "$1"
}
close_shown() {
  xdotool windowclose "$shown" 2>/dev/null
  wait_for 5 eval '! windows | grep -qx "$shown"'
  xdotool windowactivate --sync "$win" 2>/dev/null
}
# 17 playlists in folders of their own, each with a cover picture.
playlists() {
  local names=("Morning Run" "Rainy Sunday" "Road Trip" "Dinner Jazz" "Kitchen Radio" "Old Friends"
    "Winter Songs" "Summer Night" "Study Hours" "Piano Mood" "Ballads" "Dance Floor" "Folk Tales"
    "Garden Party" "Lullabies" "Sing Along" "Travel Home")
  local colours=(teal orange steelblue gold orchid seagreen tomato slateblue peru cadetblue crimson
    darkkhaki hotpink olivedrab sienna royalblue goldenrod)
  local i d
  for i in "${!names[@]}"; do
    d=$1/$(printf '%02d' $((i + 1)))
    mkdir -p "$d"
    printf '%s\r\n' "$HOME/Music/tone.mp3" "Track two.mp3" "Track three.mp3" >"$d/${names[i]}.m3u"
    convert -size 160x160 "gradient:${colours[i]}-black" -fill white -gravity center -pointsize 22 \
      -annotate 0 "${names[i]// /\\n}" "$d/${names[i]}.jpg"
  done
}

case_screenshots() {
  tone "$HOME/Music/tone.wav" 40
  lame --quiet -b 64 --ta "Cantorel" --tl "Demo" --tt "Tone" "$HOME/Music/tone.wav" "$HOME/Music/tone.mp3"
  convert -size 200x200 gradient:'rgb(40,90,160)'-'rgb(240,200,80)' "$HOME/Music/Cantorel - Demo.jpg"
  cp "$source_dir/data/demo/demo.qvl" "$HOME/Music/tone.qvl"  # a lyric for the assistant
  mkdir -p "$work/empty" "$work/lists"
  playlists "$work/lists"

  app_start UseTagCover=1 "VisPLPath=$work/empty/" -- "$HOME/Music/tone.mp3"
  becomes Playing
  sleep 1
  shoot main-default
  shoot cover-window 34 && close_shown
  shoot track-information 16 && close_shown
  shoot playlist-selector-empty 35 && close_shown

  # Each tab of the preferences, Ctrl+Tab to the next.
  local tabs=(skin documents general timer paths other plugins) i
  shoot preferences-1-skin 5
  for ((i = 1; i < ${#tabs[@]}; i++)); do
    xdotool windowactivate --sync "$shown" 2>/dev/null
    press ctrl+Tab
    keep "$shown" "preferences-$((i + 1))-${tabs[i]}"
  done
  xdotool windowactivate --sync "$shown" 2>/dev/null
  press Escape
  wait_for 5 eval '! windows | grep -qx "$shown"'
  xdotool windowactivate --sync "$win" 2>/dev/null

  # The lyric assistant: the text step, then "Next Step" (the last button
  # of its bottom row) to the timing step.
  shoot lyric-assistant-text 40
  local step=$shown
  eval "$(xdotool getwindowgeometry --shell "$step")"
  step=$(opens xdotool mousemove --window "$step" $((WIDTH - 52)) $((HEIGHT - 23)) click 1) &&
    keep "$step" lyric-assistant-timing || fail "no timing step"
  app_stop

  app_start UseTagCover=1 "VisPLPath=$work/lists/" -- "$HOME/Music/tone.mp3"
  becomes Playing
  shoot playlist-selector 35 && close_shown
  click_at "$default" button 101
  width_becomes 360 && shoot main-pebble
}

desktop_up
run_cases case_screenshots
du -ch "$out"/*.png | tail -1
