#!/usr/bin/env bash
# CPU time of the real program playing a 60 s, 128 kbit/s MP3 into the null
# sink (fakesink with sync, through CANTOREL_NULL_AUDIO), against bare
# `gst-launch-1.0 playbin` of the same file into the same sink: the floor.
# Three runs per round, interleaved (floor, player, player with a timed
# lyric), so a drift of the machine's speed touches all three alike. Each run
# counts user + system time of the whole process (all threads, from
# /proc/PID/stat) over the same window of the song, after start-up settled.
#
# Usage: bench/playback_cpu.sh BUILD_DIR [ROUNDS] [WINDOW_SECONDS]
#   ROUNDS          rounds of three runs (default 3)
#   WINDOW_SECONDS  seconds counted in each run, at most 55 (default 50)
# Needs sox, lame and gst-launch-1.0 (gstreamer1.0-tools); the program runs
# offscreen. With PULSE=1 both play into the null sink of a private
# PulseAudio server started for the run (needs `pulseaudio`), through the
# player's real output (autoaudiosink) and bare playbin's own.
set -euo pipefail

build=$(realpath "${1:?build folder}")
rounds=${2:-3}
window=${3:-50}
settle=3
[ "$window" -le 55 ] || { echo "window at most 55 s (the song lasts 60 s)" >&2; exit 2; }
for tool in sox lame gst-launch-1.0; do
  command -v "$tool" >/dev/null || { echo "$tool missing (bash scripts/setup.sh --test)" >&2; exit 1; }
done

work=$(mktemp -d)
pid=
pulse=${PULSE:-0}
cleanup() {
  [ -n "$pid" ] && kill -KILL "$pid" 2>/dev/null
  [ "$pulse" = 1 ] && XDG_RUNTIME_DIR="$work" pulseaudio --kill 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

if [ "$pulse" = 1 ]; then
  command -v pulseaudio >/dev/null || { echo "PULSE=1 needs pulseaudio" >&2; exit 1; }
  chmod 700 "$work"
  # A server of our own whose only sink throws the sound away, in real time.
  XDG_RUNTIME_DIR="$work" HOME="$work" pulseaudio -D -n --exit-idle-time=-1 --log-target=stderr \
    --load=module-native-protocol-unix --load="module-null-sink sink_name=discard" 2>/dev/null
  for ((i = 0; i < 50; ++i)); do [ -S "$work/pulse/native" ] && break; sleep 0.1; done
  [ -S "$work/pulse/native" ] || { echo "pulseaudio did not start" >&2; exit 1; }
fi

mkdir -p "$work/plain" "$work/lyric"
sox -q -n -r 44100 -c 2 -b 16 "$work/tone.wav" synth 60 sine 440 sine 554
lame --quiet -b 128 "$work/tone.wav" "$work/plain/Song.mp3"
cp "$work/plain/Song.mp3" "$work/lyric/Song.mp3"
# A line every 0.7 s, as a busy song has them.
for ((i = 1; i <= 80; ++i)); do
  cs=$((i * 70 + 13))
  printf '[%02d:%02d.%02d]line %d\n' $((cs / 6000)) $((cs / 100 % 60)) $((cs % 100)) "$i"
done >"$work/lyric/Song.lrc"

hz=$(getconf CLK_TCK)
# utime + stime of the whole process, in clock ticks.
ticks() { awk '{ sub(/^.*\) /, ""); print $12 + $13 }' "/proc/$1/stat"; }

# run NAME COMMAND...: prints the per cent of one core used over the window.
run() {
  "$@" >"$work/run.log" 2>&1 &
  pid=$!
  sleep "$settle"
  kill -0 "$pid" 2>/dev/null || { echo "$1 ended early:" >&2; cat "$work/run.log" >&2; exit 1; }
  local t0 t1
  t0=$(ticks "$pid")
  sleep "$window"
  t1=$(ticks "$pid")
  kill -TERM "$pid" 2>/dev/null
  wait "$pid" 2>/dev/null || true
  pid=
  awk -v d=$((t1 - t0)) -v hz="$hz" -v w="$window" 'BEGIN { printf "%.3f", 100 * d / hz / w }'
}

if [ "$pulse" = 1 ]; then
  floor_cmd=(env XDG_RUNTIME_DIR="$work" gst-launch-1.0 -q playbin "uri=file://$work/plain/Song.mp3")
  null_audio=0
else
  floor_cmd=(gst-launch-1.0 -q playbin "uri=file://$work/plain/Song.mp3" "audio-sink=fakesink sync=true")
  null_audio=1
fi
# A fresh home each time, so no run inherits the playlist of the one before;
# the file-type question is not asked (it would hold start-up in a dialog).
player() {
  local home
  home=$(mktemp -d -p "$work")
  printf '[Cantorel v4.0/config]\nAutoRegistry=0\n' >"$home/cantorel.conf"
  exec env CANTOREL_HOME="$home" CANTOREL_NULL_AUDIO=$null_audio QT_QPA_PLATFORM=offscreen \
    CANTOREL_SPLASH_MS=1 CANTOREL_NEWS_URL=http://127.0.0.1:9/msg.txt XDG_RUNTIME_DIR="$work" \
    "$build/bin/cantorel" "$@"
}

floors=() plains=() lyrics=()
echo "round  floor %  player %  ratio  with lyric %  ratio"
for ((r = 1; r <= rounds; ++r)); do
  f=$(run "${floor_cmd[@]}")
  p=$(run player "$work/plain/Song.mp3")
  l=$(run player "$work/lyric/Song.mp3")
  floors+=("$f") plains+=("$p") lyrics+=("$l")
  awk -v r="$r" -v f="$f" -v p="$p" -v l="$l" \
    'BEGIN { printf "%5d  %7.3f  %8.3f  %5.2f  %12.3f  %5.2f\n", r, f, p, p / f, l, l / f }'
done

median() { printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
mf=$(median "${floors[@]}") mp=$(median "${plains[@]}") ml=$(median "${lyrics[@]}")
awk -v f="$mf" -v p="$mp" -v l="$ml" \
  'BEGIN { printf "median %7.3f  %8.3f  %5.2f  %12.3f  %5.2f\n", f, p, p / f, l, l / f }'
