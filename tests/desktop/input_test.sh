#!/usr/bin/env bash
# Keyboard and mouse on the main window as a user meets them: keys reach the
# skin wherever the focus is, the playlist box keeps its own keys, a right
# click never arms a button, and the file dialogs show the music.
# Usage: input_test.sh BUILD_DIR
source "$(dirname "$0")/lib.sh"

setup_media() {
  music=$HOME/Music
  tone "$music/alpha.wav" 30
  tone "$music/beta.wav" 30
  mkdir -p "$work/elsewhere"
  tone "$work/elsewhere/gamma.wav" 30
}
default=$skins/default.skin

# Focus given by a click on each kind of child (or Tab from there); the skin's
# letters and Space then drive the player.
case_keys_reach_skin() {
  app_start -- /ADD "$music/alpha.wav"
  local how
  while read -r how kind index; do
    case_name="keys after $how"
    if [ "$kind" = tab ]; then press Tab; else click_at "$default" "$kind" "$index"; fi
    press x && check "x plays" becomes Playing
    press c && check "c pauses" becomes Paused
    press space && check "Space resumes" becomes Playing
    press space && check "Space pauses" becomes Paused
    press v && check "v stops" becomes Stopped
  done <<'EOF'
playlist-click playlist 1
display-click display 1
volume-label-click label 18
Tab tab 0
EOF
  # The hot areas (Escape, ` and ~) with the focus in the playlist box.
  case_name="hot areas"
  click_at "$default" playlist 1
  shot keys-plain
  press grave && shot keys-hot
  press Escape && shot keys-plain2
  local a b c
  a=$(crop keys-plain "$default" button 12) b=$(crop keys-hot "$default" button 12) c=$(crop keys-plain2 "$default" button 12)
  check "\` shows the hot areas" [ "$(differ "$a" "$b")" -gt 50 ]
  check "Escape hides them" [ "$(differ "$a" "$c")" -lt 10 ]
}

# The playlist box keeps arrows, Enter and Delete for itself.
case_playlist_keys() {
  app_start -- /ADD "$music/alpha.wav"
  app_start_second_file "$music/beta.wav"
  click_at "$default" playlist 1
  press Home Down Return
  check "Down and Enter play the second entry" wait_for 5 eval '[[ "$(prop Metadata)" == *beta.wav* ]]'
  press Home Delete
  app_stop
  check "Delete removed the selected entry" eval '! grep -q alpha.wav "$home/playlist.m3u" && grep -q beta.wav "$home/playlist.m3u"'
}
# A second start hands its file over to the running program.
app_start_second_file() {
  CANTOREL_HOME=$home CANTOREL_SPLASH_MS=20 CANTOREL_NEWS_URL=http://127.0.0.1:9/msg.txt \
    timeout 20 "$build/bin/cantorel" /ADD "$1" >>"$work/second.log" 2>&1
  wait_for 5 eval '[ "$(prop CanGoNext)" = "(<true>,)" ] || grep -q "$1" "$home/playlist.m3u" 2>/dev/null' || true
  sleep 0.5
}

# A right press on a button, the menu dismissed: the button is not left
# drawn pressed, and the next left click on the bare window runs nothing.
case_right_click() {
  app_start -- /ADD "$music/alpha.wav"
  press x && becomes Playing
  local code px py
  read -r px py < <(point "$default" cover 1)   # a spot without a button
  for code in 10 1; do
    case_name="right click on button $code"
    xdotool mousemove "$px" "$py" && sleep 0.3 && shot right-$code-before
    click_at "$default" button "$code" 3
    press Escape
    xdotool mousemove "$px" "$py" && sleep 0.3 && shot right-$code-after
    check "the button is not drawn pressed" [ "$(differ "$(crop right-$code-before "$default" button "$code")" \
      "$(crop right-$code-after "$default" button "$code")")" -lt 10 ]
    xdotool click 1
    sleep 0.5
    check "the program still runs" kill -0 "$app"
    check "still playing" status_is Playing
  done
}

# The file dialogs: the first letters of a song's name complete to it only
# when the dialog shows songs; it starts in "Path", else the Music folder.
case_open_dialog() {
  local path letters
  while read -r path letters; do
    case_name="open dialog with Path '$path'"
    if [ "$path" = - ]; then app_start; else app_start "Path=$work/$path"; fi
    click_at "$default" button 13   # open a file and play it
    wait_for 5 eval '[ "$(visible_windows)" -ge 2 ]' || { fail "no file dialog"; continue; }
    sleep 0.5
    xdotool type --delay 80 "$letters"
    sleep 0.5
    press Down Return Return
    check "a song there is offered and plays" becomes Playing
    app_stop
  done <<'EOF'
- al
elsewhere ga
EOF
}

# The skin picker starts among the shipped skins.
case_skin_picker() {
  app_start
  click_at "$default" button 6   # choose a skin
  wait_for 5 eval '[ "$(visible_windows)" -ge 2 ]' || { fail "no skin picker"; return; }
  sleep 0.5
  xdotool type --delay 80 "pebble.skin"
  press Return
  check "the Pebble skin loads" wait_for 5 eval 'geom; [ "$WIDTH" = 360 ]'
}

# A double click on the cover area asks for a picture.
case_cover_pick() {
  app_start
  local px py before
  before=$(visible_windows)
  read -r px py < <(point "$default" cover 1)
  xdotool mousemove "$px" "$py" sleep 0.1 click --repeat 2 --delay 80 1
  check "a picture dialog opens" wait_for 5 eval '[ "$(visible_windows)" -gt "$before" ]'
}

# The file-association question, answered Cancel with "Don't ask again":
# it is not asked at the next start, and nothing was taken over.
case_association_question() {
  local run
  for run in 1 2; do
    case_name="association question, start $run"
    [ "$run" = 1 ] && APP_NO_WAIT=1 APP_RECORD= app_start AutoRegistry=1 AskForIt=1 Instalado=SI
    [ "$run" = 2 ] && APP_NO_WAIT=1 APP_RECORD= APP_HOME=1 app_start
    local q=
    wait_for 15 eval 'q=$(xdotool search --onlyvisible --name "^File Associations$" | head -1); [ -n "$q" ] || bus_up'
    if [ "$run" = 2 ]; then
      check "not asked again" [ -z "$q" ]
      check "no type taken over" eval '! grep -qs cantorel "$XDG_CONFIG_HOME/mimeapps.list"'
      break
    fi
    [ -n "$q" ] || { fail "the question was not asked"; return; }
    xdotool windowactivate --sync "$q" 2>/dev/null
    press Tab Tab space Escape   # past OK and Cancel to the check box, then Cancel
    wait_for 10 bus_up || { fail "the start-up did not go on"; return; }
    app_stop
  done
}

desktop_up
setup_media
run_cases case_association_question case_keys_reach_skin case_playlist_keys case_right_click case_open_dialog case_skin_picker case_cover_pick
