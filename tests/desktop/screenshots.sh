#!/usr/bin/env bash
# Writes the pictures of docs/screenshots/ from the built program on a
# private desktop: the main window with both shipped skins, the cover window,
# the preferences, track information and the visual playlist selector.
# Usage: screenshots.sh BUILD_DIR [OUT_DIR]   (OUT_DIR: docs/screenshots)
source "$(dirname "$0")/lib.sh"
out=$(cd "${2:-$source_dir/docs/screenshots}" && pwd) || exit 1

# shoot NAME [BUTTON]: the picture of the window the skin's button opens (of
# the main window without one).
shoot() {
  local w=$win before
  if [ -n "${2:-}" ]; then
    before=$(xdotool search --onlyvisible --pid "$app" | sort)
    click_at "$skins/default.skin" button "$2"
    wait_for 5 eval '[ -n "$(comm -13 <(echo "$before") <(xdotool search --onlyvisible --pid "$app" | sort))" ]'
    w=$(comm -13 <(echo "$before") <(xdotool search --onlyvisible --pid "$app" | sort) | tail -1)
  fi
  [ -n "$w" ] || { fail "no window for $1"; return; }
  xdotool windowactivate --sync "$w" 2>/dev/null
  sleep 0.7
  import -window "$w" "$out/$1.png" 2>/dev/null || fail "no picture of $1"
}

case_screenshots() {
  tone "$HOME/Music/tone.wav" 40
  lame --quiet -b 64 --ta "Cantorel" --tl "Demo" --tt "Tone" "$HOME/Music/tone.wav" "$HOME/Music/tone.mp3"
  convert -size 200x200 gradient:'rgb(40,90,160)'-'rgb(240,200,80)' "$HOME/Music/Cantorel - Demo.jpg"
  app_start UseTagCover=1 -- "$HOME/Music/tone.mp3"
  becomes Playing
  sleep 1
  shoot main-default
  shoot cover-window 34
  shoot track-information 16
  shoot playlist-selector 35
  xdotool windowactivate --sync "$win" 2>/dev/null
  shoot preferences 5
  press Escape
  xdotool windowactivate --sync "$win" 2>/dev/null
  click_at "$skins/default.skin" button 101
  wait_for 5 eval 'geom; [ "$WIDTH" = 360 ]' && shoot main-pebble
}

desktop_up
run_cases case_screenshots
