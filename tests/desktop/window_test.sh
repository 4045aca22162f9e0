#!/usr/bin/env bash
# The main window on the desktop: dragged and snapped, placed on the screen it
# is on, drawing the volume, the cover and the labels a skin declares, and
# showing the tips of its parts.
# Usage: window_test.sh BUILD_DIR
source "$(dirname "$0")/lib.sh"

teal=(94 234 212)  # the default skin's readout colour

# A copy of the default skin with tips on label 18 and the cover area, for
# the tip and skin-switch cases.
make_skins() {
  mkdir -p "$work/skins"
  cp "$skins"/default* "$skins"/pebble* "$work/skins/"
  sed -i -e 's/^L18, \(.*\), ~\r\?$/L18, \1, "Volume readout"\r/' "$work/skins/default.skin"
  grep -q '"Volume readout"' "$work/skins/default.skin" || die "skin copy"
  # A tagged song and, beside it, the red picture its tag names.
  tone "$work/song.wav" 30
  lame --quiet -b 64 --ta "Test Artist" --tl "Red Album" --tt "Song" "$work/song.wav" "$work/song.mp3" || die "lame"
  convert -size 64x64 xc:'rgb(220,30,30)' "$work/Test Artist - Red Album.jpg"
  printf '(QVL)\r\nfirst line\r\n0:05\r\nsecond line\r\n0:25\r\n' >"$work/Test Artist - Song.qvl"
}

# A drag on the bare window moves it (about as far as the pointer: the window
# manager takes over after the first pixels); let go near the screen's left
# edge, it snaps to the edge.
case_drag() {
  app_start "WinSnap=1" "WinSavePos=1" "X=$((100 * 15))" "Y=$((200 * 15))"
  local x0=$X y0=$Y
  drag $((X + 20)) $((Y + 25)) $((X + 90)) $((Y + 75))
  check "dragged by about 70, 50" wait_for 3 eval 'geom; [ $((X - x0)) -ge 55 ] && [ $((Y - y0)) -ge 38 ]'
  sleep 0.6  # the first drag's snap has settled
  geom
  drag $((X + 20)) $((Y + 25)) 10 $((Y + 25))
  check "snapped to the left edge" wait_for 3 eval 'geom; [ "$X" -eq 0 ]'
}

# Two monitors side by side; a window saved on the right one starts there.
case_second_screen() {
  xrandr --setmonitor left 1280/340x800/210+0+0 none >/dev/null 2>&1
  xrandr --setmonitor right 1280/340x800/210+1280+0 none >/dev/null 2>&1
  app_start "WinSavePos=1" "X=$((1500 * 15))" "Y=$((100 * 15))"
  check "on the right screen where it was saved (at $X,$Y)" [ "$X" -ge 1280 ]
  xrandr --delmonitor left >/dev/null 2>&1
  xrandr --delmonitor right >/dev/null 2>&1
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

# Label 18 exists only in the default skin: switching from Pebble fills it.
case_skin_switch_labels() {
  app_start "Skin=$work/skins/pebble.skin"
  click_at "$work/skins/pebble.skin" button 101
  width_becomes 560 || { fail "no switch to the default skin"; return; }
  sleep 0.5
  shot switched
  check "the volume readout is filled" \
    [ "$(count_colour "$(crop switched "$default" label 18)" "${teal[@]}")" -gt 5 ]
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

# tip_width KIND INDEX: rests the pointer on an element; the width of the
# tip window that shows (empty when none does).
tip_width() {
  local px py tip
  xdotool mousemove $((X + 2)) $((Y + 2))
  sleep 0.4
  read -r px py < <(point "$default" "$1" "$2")
  tip=$(opens xdotool mousemove "$px" "$py" sleep 0.1 mousemove $((px + 1)) "$py") &&
    xdotool getwindowgeometry --shell "$tip" | sed -n 's/^WIDTH=//p'
}

# Tips show when the pointer rests on a label or the cover area. The big
# display's tip names what it shows: the elapsed time, or with a lyric the
# time to its next line (a tip of another width).
case_tips() {
  app_start "Skin=$work/skins/default.skin" -- "$work/song.wav"
  becomes Playing
  check "label 18 shows its tip" [ -n "$(tip_width label 18)" ]
  check "the cover area shows its tip" [ -n "$(tip_width cover 1)" ]
  local plain timed
  plain=$(tip_width display 1)
  app_stop
  app_start -- "$work/song.mp3"
  becomes Playing
  timed=$(tip_width display 1)
  check "both tips show, the one with a lyric another" eval '[ -n "$plain" ] && [ -n "$timed" ] && [ "$plain" != "$timed" ]'
}

# The cover area shows the song's cover while it plays; the cover window,
# opened, shows it too.
case_cover() {
  app_start "UseTagCover=1" -- "$work/song.mp3"
  becomes Playing
  sleep 1
  shot cover
  check "the cover area shows the red cover" \
    [ "$(count_colour "$(crop cover "$default" cover 1)" 220 30 30)" -gt 5000 ]
  win=$(opens click_at "$default" button 34) || { fail "no cover window"; return; }
  sleep 0.8
  shot cover-window
  geom
  check "the cover window shows the red cover" \
    [ "$(count_colour "$(crop cover-window 0 0 "$WIDTH" "$HEIGHT")" 220 30 30)" -gt 2000 ]
}

desktop_up 2560x800
make_skins
run_cases case_drag case_second_screen case_volume case_skin_switch_labels case_failed_startup_skin case_tips case_cover
