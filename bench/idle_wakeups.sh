#!/usr/bin/env bash
# Wake-ups of the idle player: the voluntary context switches of all its
# threads over a time (10 s by default), read from /proc, with nothing
# playing. The floor, measured the same way in the same run, is a process
# that only sleeps.
#
# Usage: bench/idle_wakeups.sh BUILD_DIR [SECONDS]
set -uo pipefail
build=${1:?build folder}
seconds=${2:-10}
here=$(cd "$(dirname "$0")" && pwd)
. "$here/player_env.sh"

# Voluntary context switches of every thread of a process.
switches() {
  cat /proc/"$1"/task/*/status 2>/dev/null | awk '/^voluntary_ctxt_switches/ { n += $2 } END { print n + 0 }'
}
rate() { awk -v a="$1" -v b="$2" -v s="$seconds" 'BEGIN { printf "%.1f", (b - a) / s }'; }

start_player "$build/bin/cantorel" || exit 1
sleep 3600 &
floor_pid=$!
threads=$(ls /proc/"$player_pid"/task | wc -l)
# Both over the same seconds.
p0=$(switches "$player_pid")
f0=$(switches "$floor_pid")
sleep "$seconds"
p1=$(switches "$player_pid")
f1=$(switches "$floor_pid")
kill "$floor_pid"
echo "idle player: $(rate "$p0" "$p1") voluntary context switches/s ($threads threads, $seconds s)"
echo "floor (a sleeping process, same seconds): $(rate "$f0" "$f1") /s"
