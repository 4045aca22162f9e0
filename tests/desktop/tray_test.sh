#!/usr/bin/env bash
# The tray as desktops offer it: a panel speaking StatusNotifierItem (here a
# stand-in watcher on the private bus) clicks the item and reads its menu;
# with no tray at all, nothing may hide the window out of reach.
# Usage: tray_test.sh BUILD_DIR
source "$(dirname "$0")/lib.sh"

item_call() {  # item_call INTERFACE.METHOD ARGS...: a call on the registered tray item
  local service path
  read -r service path <"$work/items"
  timeout 5 gdbus call --session --dest "$service" --object-path "$path" --method "$@"
}
# (Bringing the window to the front may give it a new X window.)
shown() { find_window && [ "$(wm_state)" = Normal ]; }
active() { [ "$(xdotool getactivewindow 2>/dev/null)" = "$win" ]; }

case_tray_click() {
  : >"$work/items"
  /usr/bin/python3 "$here/tray_watcher.py" "$work/items" &
  local watcher=$!
  wait_for 5 eval 'gdbus introspect --session --dest org.kde.StatusNotifierWatcher --object-path /StatusNotifierWatcher >/dev/null 2>&1' ||
    die "the tray stand-in did not start"
  app_start
  wait_for 10 test -s "$work/items" || { fail "no tray item registered"; kill "$watcher"; return; }
  # The menu the panel shows holds the player's commands.
  local menu
  menu=$(item_call org.freedesktop.DBus.Properties.Get org.kde.StatusNotifierItem Menu | sed -E "s/.*'(.*)'.*/\1/")
  local service path
  read -r service path <"$work/items"
  check "the tray menu offers Play" eval 'timeout 5 gdbus call --session --dest "$service" --object-path "$menu" \
    --method com.canonical.dbusmenu.GetLayout 0 "int32 -1" "[]" | grep -q "Play"'
  # Hidden by its Hide button, back (and in front) at a click on the item.
  click_at "$skins/default.skin" button 2
  check "the Hide button hides the window to the tray" wait_for 5 eval '[ -z "$(wm_state)" ] || [ "$(wm_state)" = Withdrawn ]'
  item_call org.kde.StatusNotifierItem.Activate 0 0 >/dev/null
  check "a click on the tray item shows the window" wait_for 5 shown
  check "and makes it the active window" wait_for 5 active
  kill "$watcher"
}

# No watcher and no XEmbed tray: hiding (start minimised, the Hide button;
# the snooze and the schedule hide the same way, but only at a minute's
# start) leaves the window on the task bar (iconic), never withdrawn.
case_no_tray() {
  local how settings
  while read -r how settings; do
    case_name="no tray, hidden by $how"
    APP_HIDDEN=$([ "$how" = button ] || echo 1) app_start $settings
    [ "$how" = button ] && click_at "$skins/default.skin" button 2
    check "the window is minimised, not withdrawn" wait_for 5 eval '[ "$(wm_state)" = Iconic ]'
    app_stop
  done <<'EOF'
start-minimised StartMin=1
button AutoRegistry=0
EOF
}

desktop_up
run_cases case_tray_click case_no_tray
