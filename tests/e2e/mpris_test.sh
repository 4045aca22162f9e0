#!/usr/bin/env bash
# The real program driven through the desktop media-player interface by a
# real D-Bus client (gdbus), on the private session bus of dbus-run-session:
# a generated, tagged song with a timed lyric plays through the null sink;
# position, metadata and the lyric text are read, the lyric lines are seen as
# they become current, the song is sought and paused, modes and volume are
# set, an address is opened, and Quit ends the program normally. Every wait
# is bounded.
#
# Usage: dbus-run-session -- mpris_test.sh BUILD_DIR
set -uo pipefail

build=${1:?build folder}
bus_name=org.mpris.MediaPlayer2.cantorel
obj=/org/mpris/MediaPlayer2
player_if=org.mpris.MediaPlayer2.Player

need() { command -v "$1" >/dev/null || { echo "FAIL: $1 missing (bash scripts/setup.sh --test)" >&2; exit 1; }; }
for tool in gdbus sox lame; do need "$tool"; done
[ -n "${DBUS_SESSION_BUS_ADDRESS:-}" ] || { echo "FAIL: no session bus (run under dbus-run-session)" >&2; exit 1; }

work=$(mktemp -d)
pid=
monitor=
cleanup() {
  [ -n "$monitor" ] && kill "$monitor" 2>/dev/null
  [ -n "$pid" ] && kill -KILL "$pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
die() { echo "FAIL: $*" >&2; [ -f "$work/program.log" ] && sed 's/^/  program: /' "$work/program.log" >&2; exit 1; }

# --- A song and its lyric ----------------------------------------------
music=$work/music
mkdir -p "$music" "$work/home"
sox -q -n -r 44100 -c 2 -b 16 "$work/tone.wav" synth 12 sine 440 || die "sox"
lame --quiet -b 128 --id3v1-only --tt "Tone Song" --ta "Test Artist" --tl "Test Album" \
  "$work/tone.wav" "$music/tone song.mp3" || die "lame"
sox -q -n -r 44100 -c 2 -b 16 "$music/plain tone.wav" synth 6 sine 330 || die "sox"
# The lyric beside the song, found by the song's tag ("Artist - Title").
printf '(QVL)\r\nfirst line\r\n0:01\r\nsecond line\r\n0:02\r\nthird line\r\n0:07\r\nlast line\r\n0:10\r\n' \
  >"$music/Test Artist - Tone Song.qvl"

# --- Client helpers -----------------------------------------------------
call() {  # call METHOD [ARGS...]   (a method of the player object)
  timeout 10 gdbus call --session --dest "$bus_name" --object-path "$obj" --method "$@"
}
prop() {  # prop INTERFACE NAME
  call org.freedesktop.DBus.Properties.Get "$1" "$2"
}
set_prop() {  # set_prop INTERFACE NAME GVARIANT
  call org.freedesktop.DBus.Properties.Set "$1" "$2" "$3" >/dev/null
}
# The number in "(<int64 1234>,)" or "(<0.5>,)".
number() { sed -E 's/^\(<(int64 |uint64 |int32 )?([-0-9.e]+)>,\)$/\2/'; }
position() { prop "$player_if" Position | number; }
# Waits up to SECONDS for a shell condition.
wait_for() {  # wait_for SECONDS CONDITION...
  local deadline=$((SECONDS + $1)); shift
  until "$@"; do
    [ "$SECONDS" -ge "$deadline" ] && return 1
    sleep 0.1
  done
}
status_is() { [ "$(prop "$player_if" PlaybackStatus)" = "(<'$1'>,)" ]; }
name_owned() { [ "$(timeout 10 gdbus call --session --dest org.freedesktop.DBus --object-path /org/freedesktop/DBus \
  --method org.freedesktop.DBus.NameHasOwner "$bus_name" 2>/dev/null)" = "(true,)" ]; }
monitor_has() { grep -qF -- "$1" "$work/monitor.log"; }
position_at_least() { [ "$(position)" -ge "$1" ] 2>/dev/null; }

# --- The program ---------------------------------------------------------
# The song is added, not played: Play comes from the client.
CANTOREL_HOME=$work/home CANTOREL_RECORD_DESKTOP=$work/desktop.log QT_QPA_PLATFORM=offscreen \
  CANTOREL_SPLASH_MS=20 CANTOREL_NEWS_URL=http://127.0.0.1:9/msg.txt \
  "$build/bin/cantorel" /ADD "$music/tone song.mp3" >"$work/program.log" 2>&1 &
pid=$!
wait_for 30 name_owned || die "$bus_name never appeared on the bus"

gdbus monitor --session --dest "$bus_name" >"$work/monitor.log" 2>&1 &
monitor=$!
sleep 0.5  # the monitor subscribes

# --- The application -----------------------------------------------------
[ "$(prop org.mpris.MediaPlayer2 Identity)" = "(<'Cantorel'>,)" ] || fail "Identity: $(prop org.mpris.MediaPlayer2 Identity)"
[ "$(prop org.mpris.MediaPlayer2 DesktopEntry)" = "(<'cantorel'>,)" ] || fail "DesktopEntry"
prop org.mpris.MediaPlayer2 SupportedUriSchemes | grep -q "'file'" || fail "SupportedUriSchemes"
# Panels find our icon and name through the desktop entry; it offers the same media types.
mimes=$(sed -n 's/^MimeType=//p' "$CANTOREL_SOURCE_DIR/data/applications/cantorel.desktop" | tr ';' '\n' |
  grep -v -e '^$' -e '^inode/directory$' | sed "s/.*/'&'/" | paste -sd, | sed 's/,/, /g')
[ "$(prop org.mpris.MediaPlayer2 SupportedMimeTypes)" = "(<[$mimes]>,)" ] || fail "SupportedMimeTypes: $(prop org.mpris.MediaPlayer2 SupportedMimeTypes)"
status_is Stopped || fail "not stopped at the start: $(prop "$player_if" PlaybackStatus)"

# --- Play ------------------------------------------------------------------
call "$player_if.Play" >/dev/null || fail "Play"
wait_for 15 status_is Playing || die "not playing: $(prop "$player_if" PlaybackStatus)"
monitor_has "'PlaybackStatus': <'Playing'>" || wait_for 5 monitor_has "'PlaybackStatus': <'Playing'>" ||
  fail "no PropertiesChanged for Playing"

meta=$(prop "$player_if" Metadata)
for want in "'xesam:title': <'Tone Song'>" "'xesam:artist': <['Test Artist']>" \
            "'xesam:album': <'Test Album'>" "'mpris:trackid': <objectpath '/org/cantorel/track/1'>" \
            "'xesam:url': <'file://$work/music/tone%20song.mp3'>" \
            "'xesam:asText': <'first line\\nsecond line\\nthird line\\nlast line'>"; do
  [[ "$meta" == *"$want"* ]] || fail "metadata lacks $want: $meta"
done
length=$(sed -E "s/.*'mpris:length': <int64 ([0-9]+)>.*/\1/" <<<"$meta")
{ [ "$length" -ge 11500000 ] && [ "$length" -le 12500000 ]; } 2>/dev/null || fail "length $length"

# The position is the player's, in microseconds, and runs on.
wait_for 15 position_at_least 1200000 || fail "position stuck at $(position)"
p1=$(position); sleep 0.4; p2=$(position)
[ "$p2" -gt "$p1" ] 2>/dev/null || fail "position does not advance: $p1 then $p2"

# The lyric lines as they become current.
wait_for 15 monitor_has "org.cantorel.Lyrics.LineChanged (1, 'second line', int64 2000000)" ||
  fail "no LineChanged for the second line"
monitor_has "org.cantorel.Lyrics.LineChanged (0, 'first line', int64 1000000)" || fail "no LineChanged for the first line"
[ "$(prop org.cantorel.Lyrics CurrentLineIndex)" = "(<1>,)" ] || fail "CurrentLineIndex $(prop org.cantorel.Lyrics CurrentLineIndex)"

# --- Seek ------------------------------------------------------------------
before=$(position)
call "$player_if.Seek" 5000000 >/dev/null || fail "Seek"
wait_for 5 monitor_has "$player_if.Seeked" || fail "no Seeked signal"
after=$(position)
{ [ "$after" -ge $((before + 4000000)) ] && [ "$after" -le $((before + 7000000)) ]; } 2>/dev/null ||
  fail "seek +5 s from $before reached $after"
# Sought past 0:07: the third line is current now.
wait_for 5 monitor_has "org.cantorel.Lyrics.LineChanged (2, 'third line', int64 7000000)" ||
  fail "the lyric did not follow the seek"
# A stale track id is ignored.
call "$player_if.SetPosition" /org/cantorel/track/2 1000000 >/dev/null || fail "SetPosition"
[ "$(position)" -ge "$after" ] 2>/dev/null || fail "SetPosition with a stale track id moved the song"

# --- Pause -----------------------------------------------------------------
call "$player_if.Pause" >/dev/null || fail "Pause"
wait_for 5 status_is Paused || fail "not paused: $(prop "$player_if" PlaybackStatus)"
wait_for 5 monitor_has "'PlaybackStatus': <'Paused'>" || fail "no PropertiesChanged for Paused"
p1=$(position); sleep 0.4; p2=$(position)
[ "$p1" = "$p2" ] || fail "position runs while paused: $p1 then $p2"

# --- Modes and volume --------------------------------------------------------
set_prop "$player_if" LoopStatus "<'Track'>" || fail "set LoopStatus"
[ "$(prop "$player_if" LoopStatus)" = "(<'Track'>,)" ] || fail "LoopStatus $(prop "$player_if" LoopStatus)"
set_prop "$player_if" Shuffle "<true>" || fail "set Shuffle"
[ "$(prop "$player_if" Shuffle)" = "(<true>,)" ] || fail "Shuffle"
set_prop "$player_if" Volume "<0.25>" || fail "set Volume"
[ "$(prop "$player_if" Volume)" = "(<0.25>,)" ] || fail "Volume $(prop "$player_if" Volume)"
wait_for 5 monitor_has "'Volume': <0.25>" || fail "no PropertiesChanged for the volume"
set_prop "$player_if" Rate "<1.25>" || fail "set Rate"
[ "$(prop "$player_if" Rate)" = "(<1.25>,)" ] || fail "Rate $(prop "$player_if" Rate)"
set_prop "$player_if" Rate "<7.0>" || fail "set Rate 7"
[ "$(prop "$player_if" Rate)" = "(<1.5>,)" ] || fail "Rate past the maximum: $(prop "$player_if" Rate)"
wait_for 5 monitor_has "'LoopStatus': <'Track'>" || fail "no PropertiesChanged for the loop status"

# --- Open an address --------------------------------------------------------
call "$player_if.OpenUri" "smb://server/share/x.mp3" >/dev/null 2>&1 && fail "OpenUri took an smb:// address"
call "$player_if.OpenUri" "file://$work/music/plain%20tone.wav" >/dev/null || fail "OpenUri"
url_is_wav() { prop "$player_if" Metadata | grep -qF "'xesam:url': <'file://$work/music/plain%20tone.wav'>"; }
wait_for 10 url_is_wav || fail "OpenUri did not play the file: $(prop "$player_if" Metadata)"
wait_for 10 status_is Playing || fail "not playing after OpenUri"
# A WAV has no tag: nothing of the MP3's tag before may show, nor the lyric
# named after that tag.
meta=$(prop "$player_if" Metadata)
[[ "$meta" != *"Test Artist"* && "$meta" != *"xesam:asText"* ]] || fail "stale tag or lyric in $meta"
# The playlist was replaced: the WAV is entry 1 of 1.
[[ "$meta" == *"'mpris:trackid': <objectpath '/org/cantorel/track/1'>"* ]] || fail "track id after OpenUri: $meta"

# --- Transport on a playlist of one ------------------------------------------
call "$player_if.Next" >/dev/null || fail "Next"
wait_for 5 status_is Stopped || fail "Next from the last entry did not stop: $(prop "$player_if" PlaybackStatus)"
call "$player_if.PlayPause" >/dev/null || fail "PlayPause"
wait_for 10 status_is Playing || fail "PlayPause from stopped did not play"
call "$player_if.Stop" >/dev/null || fail "Stop"
wait_for 5 status_is Stopped || fail "Stop"
call org.mpris.MediaPlayer2.Raise >/dev/null || fail "Raise"

# --- Quit --------------------------------------------------------------------
call org.mpris.MediaPlayer2.Quit >/dev/null || fail "Quit"
for _ in $(seq 1 200); do
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.1
done
if kill -0 "$pid" 2>/dev/null; then
  fail "the program did not end after Quit"
else
  wait "$pid"
  rc=$?
  pid=
  [ "$rc" -eq 0 ] || fail "the program ended with $rc"
fi
# The settings of the run were saved on the way out.
grep -q "^LastTrack=" "$work/home/cantorel.conf" 2>/dev/null || fail "settings not written at Quit"

if [ "$failures" -ne 0 ]; then
  sed 's/^/  program: /' "$work/program.log" >&2
  sed 's/^/  monitor: /' "$work/monitor.log" >&2
  exit 1
fi
echo "mpris: all checks passed"
