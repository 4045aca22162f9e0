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

# Focus given by a click on each kind of child (or Tab from there); the skin's
# letters and Space then drive the player.
case_keys_reach_skin() {
  app_start -- /ADD "$music/alpha.wav"
  local how kind index key
  while read -r how kind index; do
    case_name="keys after $how"
    if [ "$kind" = tab ]; then press Tab; else click_at "$default" "$kind" "$index"; fi
    for key in x:Playing c:Paused space:Playing space:Paused v:Stopped; do
      press "${key%:*}" && check "${key%:*} gives ${key#*:}" becomes "${key#*:}"
    done
  done <<'EOF'
playlist-click playlist 1
display-click display 1
volume-label-click label 18
Tab tab 0
EOF
}

# The playlist box keeps arrows, Enter and Delete for itself. (A second
# start hands its file over to the running program.)
case_playlist_keys() {
  app_start -- /ADD "$music/alpha.wav"
  (APP_TIMEOUT=20 program /ADD "$music/beta.wav" >>"$work/second.log" 2>&1)
  wait_for 5 eval '[ "$(prop CanGoNext)" = "(<true>,)" ]'
  sleep 0.5
  click_at "$default" playlist 1
  press Home Down Return
  check "Down and Enter play the second entry" wait_for 5 eval '[[ "$(prop Metadata)" == *beta.wav* ]]'
  press Home Delete
  app_stop
  check "Delete removed the selected entry" eval '! grep -q alpha.wav "$home/playlist.m3u" && grep -q beta.wav "$home/playlist.m3u"'
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

# The file dialogs: the first letters of a name complete to it only when the
# dialog shows what it asks for. The open dialog (button 13) starts in
# "Path", else in the Music folder; the skin picker (6) among the shipped skins.
case_dialogs() {
  local setting button letters
  while read -r setting button letters; do
    case_name="dialog of button $button with '$setting'"
    setting=${setting/\$work/$work}
    app_start ${setting#-}
    opens click_at "$default" button "$button" >/dev/null || { fail "no dialog"; continue; }
    sleep 0.5
    xdotool type --delay 80 "$letters"
    sleep 0.5
    if [ "$button" = 6 ]; then
      press Return && check "the Pebble skin loads" width_becomes 360
    else
      press Down Return Return && check "a song there is offered and plays" becomes Playing
    fi
    app_stop
  done <<'EOF'
- 13 al
Path=$work/elsewhere 13 ga
- 6 pebble.skin
EOF
}

# The file-association question, answered Cancel with "Don't ask again":
# it is not asked at the next start, and nothing was taken over.
case_association_question() {
  local q=
  APP_NO_WAIT=1 APP_RECORD= app_start AutoRegistry=1 AskForIt=1 Instalado=SI
  wait_for 15 eval 'q=$(xdotool search --onlyvisible --name "^File Associations$" | head -1); [ -n "$q" ]' ||
    { fail "the question was not asked"; return; }
  xdotool windowactivate --sync "$q" 2>/dev/null
  press Tab Tab space Escape   # past OK and Cancel to the check box, then Cancel
  wait_for 10 bus_up || { fail "the start-up did not go on"; return; }
  app_stop
  APP_NO_WAIT=1 APP_RECORD= APP_HOME=1 app_start
  wait_for 15 eval 'q=$(xdotool search --onlyvisible --name "^File Associations$" | head -1); [ -n "$q" ] || bus_up'
  check "not asked again" [ -z "$q" ]
  check "no type taken over" eval '! grep -qs cantorel "$XDG_CONFIG_HOME/mimeapps.list"'
}

desktop_up
setup_media
run_cases case_association_question case_keys_reach_skin case_playlist_keys case_right_click case_dialogs
