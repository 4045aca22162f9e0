#!/usr/bin/env bash
# Reliability checks against the built program that take longer than the test
# suite allows. Each prints its figures and "ok" or "FAIL"; the exit status is
# the number of failures.
#
#   scripts/reliability.sh BUILD_DIR [KILLS]
#
#   1. SIGKILL at random moments while the player saves (KILLS times, 100 by
#      default): the settings file and the playlist are always whole.
#   2. A full disk (a 64 KiB tmpfs; needs root, else skipped): the failed
#      playlist save is said once on stderr, with the reason, and in a message.
#   3. A news server that sends 1 GiB without end: the player's peak memory.
#   4. A 60 MB playlist line: time and peak memory of `cantorel-tool playlist
#      show`, and the line is refused.
#   5. Saving a settings file of 1 MiB of sections (the benchmark).
set -u
build=$(cd "${1:?usage: scripts/reliability.sh BUILD_DIR [KILLS]}" && pwd)
kills=${2:-100}
player=$build/bin/cantorel
tool=$build/bin/cantorel-tool
work=$(mktemp -d)
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill -9 "$p" 2>/dev/null; done
  mountpoint -q "$work/full" 2>/dev/null && umount "$work/full"
  rm -rf "$work"
}
trap cleanup EXIT
failures=0
ok() { echo "  ok: $*"; }
fail() { echo "  FAIL: $*"; failures=$((failures + 1)); }

export QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR=$work/runtime CANTOREL_NULL_AUDIO=1 CANTOREL_SPLASH_MS=20
mkdir -p "$work/runtime" && chmod 700 "$work/runtime"

# Peak resident memory of a process, in KiB.
peak_kib() { awk '/^VmHWM:/ {print $2}' "/proc/$1/status" 2>/dev/null; }

echo "1. SIGKILL during saves ($kills times)"
home=$work/kill
mkdir -p "$home/music"
for i in $(seq 1 20); do : >"$home/music/song$i.mp3"; done
bad=0
for k in $(seq 1 "$kills"); do
  CANTOREL_HOME=$home CANTOREL_CHECKPOINT_MS=10 "$player" "/ADD" "$home/music/song$((k % 20 + 1)).mp3" \
    >/dev/null 2>&1 &
  pid=$!
  sleep "0.$((RANDOM % 60 + 20))"
  kill -9 "$pid" 2>/dev/null
  wait "$pid" 2>/dev/null
  conf=$home/cantorel.conf
  if [ -e "$conf" ] && ! tail -c 1 "$conf" | od -c | grep -q '\\n'; then bad=$((bad + 1)); fi
  if [ -e "$conf.damaged" ]; then bad=$((bad + 1)); rm -f "$conf.damaged"; fi
  if [ -s "$home/playlist.m3u" ] && ! tail -c 2 "$home/playlist.m3u" | od -c | grep -q '\\r  \\n'; then
    bad=$((bad + 1))
  fi
done
stale=$(find "$home" -name '.*.??????' | wc -l)
echo "  $kills kills, $bad files cut, $stale temporary files left (removed at the next start)"
[ "$bad" -eq 0 ] && ok "every file whole" || fail "$bad cut files"

echo "2. Full disk"
if [ "$(id -u)" -eq 0 ] && mkdir -p "$work/full" && mount -t tmpfs -o size=64k tmpfs "$work/full"; then
  head -c 60000 /dev/zero >"$work/full/filler" 2>/dev/null
  dd if=/dev/zero of="$work/full/rest" bs=1k 2>/dev/null
  CANTOREL_HOME=$work/full CANTOREL_RECORD_DESKTOP=$work/full.log "$player" /ADD /music/x.mp3 \
    >/dev/null 2>"$work/full.err" &
  pid=$!
  sleep 3
  kill -TERM "$pid"
  wait "$pid"
  said=$(grep -c "Playlist not saved.*No space left on device" "$work/full.err")
  echo "  stderr: $(grep -m1 'Playlist not saved' "$work/full.err")"
  [ "$said" -eq 1 ] && ok "said once on stderr" || fail "said $said times on stderr"
  grep -q "The playlist could not be saved" "$work/full.log" && ok "message shown" || fail "no message"
  umount "$work/full"
else
  echo "  skipped (needs root for a small tmpfs)"
fi

echo "3. A news server that never stops"
port_file=$work/port
python3 - "$port_file" <<'EOF' &
import socket, sys
s = socket.socket()
s.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
s.bind(("127.0.0.1", 0))
s.listen(4)
open(sys.argv[1], "w").write(str(s.getsockname()[1]))
chunk = b"x" * 65536
while True:
    c, _ = s.accept()
    c.recv(65536)
    try:
        c.sendall(b"HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n")
        for _ in range(16384):  # 1 GiB
            c.sendall(chunk)
    except OSError:
        pass
    c.close()
EOF
pids+=($!)
disown "$!"
for _ in $(seq 50); do [ -s "$port_file" ] && break; sleep 0.1; done
home=$work/news
mkdir -p "$home"
CANTOREL_HOME=$home CANTOREL_SERVICE_URL=http://127.0.0.1:$(cat "$port_file")/ \
  CANTOREL_SPLASH_MS=200 "$player" >/dev/null 2>"$work/news.err" &
pid=$!
peak=0
for _ in $(seq 40); do
  p=$(peak_kib "$pid")
  [ -n "$p" ] && [ "$p" -gt "$peak" ] && peak=$p
  sleep 0.1
done
kill -TERM "$pid"
wait "$pid"
echo "  peak memory of the player: $((peak / 1024)) MiB; $(grep -c 'transfer stopped' "$work/news.err") stop(s) logged"
[ "$peak" -lt $((200 * 1024)) ] && ok "bounded" || fail "peak $peak KiB"
[ ! -e "$home/msg.txt" ] && ok "no news file written" || fail "news file written"

echo "4. A 60 MB playlist line"
python3 -c "import sys; sys.stdout.write('a.mp3\n' + 'x' * 60000000 + '\nb.mp3\n')" >"$work/long.m3u"
/usr/bin/time -f "%e %M" -o "$work/time" "$tool" playlist show --json "$work/long.m3u" >"$work/long.json" 2>/dev/null
read -r secs kib <"$work/time"
echo "  $secs s, peak $((kib / 1024)) MiB"
grep -q '"entryCount": *2' "$work/long.json" && ok "line refused, 2 entries" || fail "$(head -c 200 "$work/long.json")"

echo "5. Saving 1 MiB of settings sections"
if [ -x "$build/bench/bench_foundation" ]; then
  "$build/bench/bench_foundation" --benchmark_filter=ManySections --benchmark_min_time=1 2>/dev/null |
    grep ManySections
else
  echo "  skipped (no bench_foundation)"
fi

echo "$failures failure(s)"
exit "$failures"
