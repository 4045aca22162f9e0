#!/usr/bin/env bash
# The main window on the desktop: dragged and snapped, drawing the volume and
# the cover, and a skin chosen through its menu after a failed one.
# Usage: window_test.sh BUILD_DIR
source "$(dirname "$0")/lib.sh"

teal=(94 234 212)  # the default skin's readout colour

# A tagged song and, beside it, the red picture its tag names.
make_media() {
  tone "$work/song.wav" 30
  lame --quiet -b 64 --ta "Test Artist" --tl "Red Album" --tt "Song" "$work/song.wav" "$work/song.mp3" || die "lame"
  convert -size 64x64 xc:'rgb(220,30,30)' "$work/Test Artist - Red Album.jpg"
}

# A drag on the bare window moves it (about as far as the pointer: the window
# manager takes over after the first pixels).
case_drag() {
  app_start "WinSavePos=1" "X=$((100 * 15))" "Y=$((200 * 15))"
  local x0=$X y0=$Y
  drag $((X + 20)) $((Y + 25)) $((X + 90)) $((Y + 75))
  check "dragged by about 70, 50" wait_for 3 eval 'geom; [ $((X - x0)) -ge 55 ] && [ $((Y - y0)) -ge 38 ]'
}

# The VOL readout and the volume slider show the player's volume from the
# start and follow a change made through the media controls.
case_volume() {
  app_start
  sleep 0.5
  shot vol-start
  local l s
  l=$(crop vol-start "$default" label 18)
  check "the readout shows the volume at start" [ "$(count_colour "$l" "${teal[@]}")" -gt 5 ]
  s=$(crop vol-start 326 202 120 16)  # the volume track
  set_prop Volume "<0.2>"
  sleep 0.8
  shot vol-changed
  check "the readout follows the media controls" \
    [ "$(differ "$l" "$(crop vol-changed "$default" label 18)")" -gt 5 ]
  check "the slider follows the media controls" \
    [ "$(differ "$s" "$(crop vol-changed 326 202 120 16)")" -gt 5 ]
}

# A start-up skin that fails leaves the plain window; a skin chosen later
# (through the menu of a right click) shows the playlist box with the song.
case_failed_startup_skin() {
  echo "not a skin" >"$work/broken.skin"
  app_start "Skin=$work/broken.skin" -- /ADD "$work/song.wav"
  xdotool mousemove $((X + 100)) $((Y + 12)) click 3
  sleep 0.5
  # Item 8: choose a skin.
  opens press Down Down Down Down Down Down Down Down Return >/dev/null || { fail "no skin picker"; return; }
  sleep 0.3
  xdotool type --delay 20 "$default"
  press Return
  width_becomes 560 || { fail "the default skin did not load"; return; }
  sleep 0.5
  shot later-skin
  check "the playlist box shows the song" \
    [ "$(count_colour "$(crop later-skin "$default" playlist 1)" 200 210 225)" -gt 20 ]
}

# The cover area shows the song's cover while it plays.
case_cover() {
  app_start "UseTagCover=1" -- "$work/song.mp3"
  becomes Playing
  sleep 1
  shot cover
  check "the cover area shows the red cover" \
    [ "$(count_colour "$(crop cover "$default" cover 1)" 220 30 30)" -gt 5000 ]
}

desktop_up
make_media
run_cases case_drag case_volume case_failed_startup_skin case_cover
