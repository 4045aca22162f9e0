#!/usr/bin/env bash
# Builds the Debian package from the build folder and installs it on a clean
# Debian 12 made by debootstrap, with apt fetching every dependency from the
# mirror: a dependency the package forgets to name shows up here and not on a
# user's machine. Then, in that system, the installed programs run: the
# version, the player itself offscreen, and the GStreamer chain the input
# plug-in builds decoding the formats it offers (MIDI through the sound font
# included) to audible sound.
#
# Usage: deb_test.sh BUILD_DIR [CPACK]
# Needs root (or sudo without a password) and the Debian mirror; without the
# mirror it fails, it never skips.
#   CANTOREL_DEB_MIRROR   mirror (default http://deb.debian.org/debian)
#   CANTOREL_TEST_CACHE   where the clean system of the day and the fetched
#                         packages are kept for the next run (default
#                         /var/cache/cantorel-test; empty: keep nothing)
#   CANTOREL_KEEP_CHROOT=1  leave BUILD_DIR/deb-test/root for a look
set -uo pipefail
. "$(dirname "$0")/../support/stop_player.sh"

if [ "$(id -u)" -ne 0 ]; then
  if sudo -n true 2>/dev/null; then exec sudo -n -E bash "$0" "$@"; fi
  echo "FAIL: the package test needs root (debootstrap, chroot, mount) or sudo without a password" >&2
  exit 1
fi

build=$(cd "${1:?build folder}" && pwd) || exit 1
cpack=${2:-cpack}
mirror=${CANTOREL_DEB_MIRROR:-http://deb.debian.org/debian}
cache=${CANTOREL_TEST_CACHE-/var/cache/cantorel-test}
suite=bookworm
work=$build/deb-test
root=$work/root
pid=
child=

need() { command -v "$1" >/dev/null || { echo "FAIL: $1 missing (bash scripts/setup.sh --test)" >&2; exit 1; }; }
for tool in debootstrap dpkg-deb dpkg-shlibdeps file lintian sox lame sha1sum "$cpack"; do need "$tool"; done

# Mount points at or below a folder, deepest first. /proc/self/mountinfo
# writes a blank in a path as \040; the folders here have none.
mounts_under() {
  awk -v r="$1" '$5 == r || index($5, r "/") == 1 { print $5 }' /proc/self/mountinfo | sort -r
}
unmount_under() {
  local m
  for m in $(mounts_under "$1"); do
    umount "$m" 2>/dev/null || umount -l "$m" 2>/dev/null
  done
}
# Deleting a tree that still has /dev bound into it would delete the host's
# device files: never delete while anything is mounted below, and never cross
# into another file system.
remove_tree() {
  unmount_under "$1"
  if [ -n "$(mounts_under "$1")" ]; then
    echo "FAIL: $1 still has mounts: $(mounts_under "$1" | tr '\n' ' '); left in place" >&2
    return 1
  fi
  rm -rf --one-file-system "$1"
}
# A long step runs in the background while the script waits for it, so a
# signal to the script is handled at once (bash defers its traps until a
# foreground command ends) and the step is stopped before anything is
# unmounted.
run() {  # run SECONDS COMMAND...
  timeout "$1" "${@:2}" &
  child=$!
  wait "$child"
  local rc=$?
  child=
  return $rc
}
stop_child() {
  [ -n "$child" ] || return 0
  kill -TERM "$child" 2>/dev/null  # timeout hands it on to the command
  for _ in $(seq 100); do kill -0 "$child" 2>/dev/null || return 0; sleep 0.1; done
  kill -KILL "$child" 2>/dev/null
}
cleanup() {
  [ -n "$pid" ] && kill -KILL "$pid" 2>/dev/null
  stop_child
  unmount_under "$root/proc"
  unmount_under "$root/dev"
  if [ "${CANTOREL_KEEP_CHROOT:-0}" = 1 ]; then
    echo "chroot kept at $root (a tmpfs when mounted there: the next run or umount frees it)"
  else
    remove_tree "$work"
  fi
}
trap cleanup EXIT
trap 'exit 130' INT TERM HUP

failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
die() { echo "FAIL: $*" >&2; exit 1; }
show_tail() { echo "--- last lines of $1:" >&2; tail -n "${2:-25}" "$1" >&2; }
started=$SECONDS
phase() { echo "[$((SECONDS - started)) s] $*"; }

remove_tree "$work" || exit 1  # what a killed run left behind
mkdir -p "$work" || exit 1

# --- The package ---------------------------------------------------------
phase "building the package"
"$cpack" -G DEB --config "$build/CPackConfig.cmake" -B "$work/pkg" >"$work/cpack.log" 2>&1 ||
  { show_tail "$work/cpack.log"; die "cpack -G DEB"; }
debs=("$work"/pkg/cantorel_*.deb)
[ ${#debs[@]} = 1 ] && [ -f "${debs[0]}" ] || die "cpack made no single cantorel_*.deb: ${debs[*]}"
deb=${debs[0]}

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
depends=$(dpkg-deb -f "$deb" Depends)
# Every package name the field mentions, alternatives included.
# libgstreamer comes from the input plug-in alone, libqt6widgets6 from the
# player: both there means programs and plug-ins were read for libraries.
named=$(tr ',|' '\n\n' <<<"$depends" | sed 's/(.*)//; s/ //g')
for dep in libgstreamer1.0-0 libqt6widgets6 libqt6network6 gstreamer1.0-plugins-base \
           gstreamer1.0-plugins-good gstreamer1.0-plugins-bad timgm6mb-soundfont fonts-liberation2; do
  grep -qxF "$dep" <<<"$named" || fail "Depends lacks $dep: $depends"
done
phase "lintian"
lintian --fail-on error,warning "$deb" >"$work/lintian.log" 2>&1 ||
  { grep -v 'root privileges' "$work/lintian.log" >&2; fail "lintian"; }

# --- A clean Debian 12 ---------------------------------------------------
# The base system is the same all day: one made earlier today (same suite,
# variant and mirror) is unpacked instead of made again.
key=$(printf '%s\n' "$suite" minbase "$mirror" "$(dpkg --print-architecture)" | sha1sum | cut -c1-12)
tarball=${cache:+$cache/$suite-minbase-$(date -u +%Y%m%d)-$key.tar.gz}
mkdir -p "$root"
# In memory where it can be: unpacking some 300 packages and deleting them
# again is then a matter of seconds, and the shared disk is spared.
mount -t tmpfs -o size=4g,mode=755 cantorel-test "$root" 2>/dev/null || echo "chroot on disk (no tmpfs)"
if [ -n "$tarball" ] && [ -f "$tarball" ] && tar -xzpf "$tarball" --numeric-owner -C "$root" 2>"$work/tar.log"; then
  phase "clean $suite unpacked from $tarball"
else
  find "$root" -mindepth 1 -maxdepth 1 -exec rm -rf --one-file-system {} +
  phase "debootstrap $suite from $mirror"
  run 900 debootstrap --variant=minbase "$suite" "$root" "$mirror" >"$work/debootstrap.log" 2>&1 ||
    { show_tail "$work/debootstrap.log"; die "debootstrap of $suite from $mirror failed (is the mirror reachable?)"; }
  if [ -n "$tarball" ] && mkdir -p "$cache"; then
    # Written aside and renamed, so a run at the same time never reads half
    # a file; older days' systems go.
    rm -f "$cache/$suite"-minbase-*.tar.gz
    tar -czf "$tarball.$$" --numeric-owner -C "$root" . && mv "$tarball.$$" "$tarball" || rm -f "$tarball.$$"
  fi
fi

cp /etc/resolv.conf "$root/etc/resolv.conf"
printf '#!/bin/sh\nexit 101\n' >"$root/usr/sbin/policy-rc.d" && chmod 755 "$root/usr/sbin/policy-rc.d"
cat >"$root/etc/apt/apt.conf.d/90cantorel-test" <<'EOF'
APT::Install-Recommends "false";
Acquire::Languages "none";
Acquire::Retries "3";
Dpkg::Use-Pty "false";
EOF
# A system thrown away afterwards needs no sync after every file; other
# packages' documents are not needed (ours are checked).
cat >"$root/etc/dpkg/dpkg.cfg.d/90cantorel-test" <<'EOF'
force-unsafe-io
path-exclude=/usr/share/doc/*
path-include=/usr/share/doc/cantorel/*
path-exclude=/usr/share/man/*
path-include=/usr/share/man/man1/cantorel*
path-exclude=/usr/share/locale/*
path-exclude=/usr/share/info/*
EOF
# Packages fetched by an earlier run; apt checks each against the mirror's
# index and fetches again what changed.
if [ -n "$cache" ] && [ -d "$cache/archives" ]; then
  cp "$cache"/archives/*.deb "$root/var/cache/apt/archives/" 2>/dev/null
fi
mkdir -p "$root/tmp/pkg" && cp "$deb" "$root/tmp/pkg/"

mount -t proc proc "$root/proc" || die "mount /proc in the chroot"
mount --bind /dev "$root/dev" || die "bind /dev into the chroot"

# Commands in the chroot run with a clean environment: as root for apt, as
# nobody (offscreen, null audio, its own home) for everything else. Arrays,
# not functions, so timeout can run them and a background start is the
# program's own process.
in_root=(chroot "$root" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin LC_ALL=C.UTF-8 HOME=/root
  DEBIAN_FRONTEND=noninteractive)
[ -n "${http_proxy:-}" ] && in_root+=("http_proxy=$http_proxy")
home=/tmp/home
as_user=(chroot --userspec=65534:65534 "$root" /usr/bin/env -i PATH=/usr/bin:/bin LC_ALL=C.UTF-8
  HOME=$home XDG_RUNTIME_DIR=/tmp/run TMPDIR=/tmp QT_QPA_PLATFORM=offscreen CANTOREL_NULL_AUDIO=1)

phase "apt-get update"
run 300 "${in_root[@]}" apt-get update >"$work/apt.log" 2>&1 ||
  { show_tail "$work/apt.log"; die "apt-get update against $mirror failed (is the mirror reachable?)"; }
# apt-get update ends well even when it reached nothing and kept the lists
# it had.
if grep -qE '^(W|E): (Failed to fetch|Some index files failed)' "$work/apt.log"; then
  show_tail "$work/apt.log"; die "apt-get update could not reach $mirror"
fi
phase "apt-get install ./$(basename "$deb")"
run 900 "${in_root[@]}" apt-get install -y "/tmp/pkg/$(basename "$deb")" >"$work/install.log" 2>&1 ||
  { show_tail "$work/install.log" 40; die "apt-get install of the package in a clean $suite"; }
phase "installed ($(grep -c '^Setting up' "$work/install.log") packages set up)"
# Keeps what apt fetched for the next run, replacing the earlier set.
save_archives() {
  [ -n "$cache" ] || return 0
  local new=$cache/archives.$$
  rm -rf "$new" && mkdir -p "$new" && cp "$root"/var/cache/apt/archives/*.deb "$new/" 2>/dev/null &&
    rm -rf "$cache/archives" && mv "$new" "$cache/archives"
  rm -rf "$new"
}

# --- The installed programs, as an ordinary user -------------------------
mkdir -p "$root$home" "$root/tmp/run"
chown 65534:65534 "$root$home" "$root/tmp/run" && chmod 700 "$root/tmp/run"

out=$("${as_user[@]}" cantorel --version 2>&1)
[ "$out" = "cantorel $version" ] || fail "cantorel --version printed: $out"

# The player starts, plays the demo song, answers on its single-instance
# channel and ends cleanly on SIGTERM, saving its settings and playlist.
phase "the player, offscreen"
key=$(printf '%s' "$home/cantorel.conf" | sha1sum | cut -c1-12)
socket=$root/tmp/cantorel-65534-$key
"${as_user[@]}" CANTOREL_HOME=$home CANTOREL_SPLASH_MS=20 CANTOREL_NEWS_URL=http://127.0.0.1:9/msg.txt \
  CANTOREL_RECORD_DESKTOP=$home/desktop.log cantorel /usr/share/cantorel/demo/demo.mid \
  >"$work/run.log" 2>&1 &
pid=$!
for _ in $(seq 150); do  # 15 s at most
  [ -S "$socket" ] || ! kill -0 "$pid" 2>/dev/null && break
  sleep 0.1
done
[ -S "$socket" ] && sleep 1 || fail "the installed player never opened its channel $socket"  # it plays a moment
stop_player "$pid"
pid=
[ $rc = 0 ] || { cat "$work/run.log" >&2; fail "the installed player ended with $rc"; }
grep -q '^Language=ENGLISH' "$root$home/cantorel.conf" 2>/dev/null || fail "the player wrote no settings"
grep -q 'demo.mid' "$root$home/playlist.m3u" 2>/dev/null || fail "the player wrote no playlist with the demo"
# A skin, language file or plug-in it could not find from /usr would have
# been reported in a message box (recorded here instead of shown).
if grep '^message' "$root$home/desktop.log" 2>/dev/null; then fail "the installed player reported a problem"; fi

# --- GStreamer: the plug-in's output chain decodes each format -----------
# gst-launch-1.0 brings no plug-ins of its own: every element below comes
# from what the package's dependencies installed.
phase "GStreamer formats"
run 300 "${in_root[@]}" apt-get install -y gstreamer1.0-tools >>"$work/install.log" 2>&1 ||
  { show_tail "$work/install.log"; die "apt-get install gstreamer1.0-tools"; }
save_archives
media=$root/tmp/media
mkdir -p "$media" && cp "$root/usr/share/cantorel/demo/demo.mid" "$media/"
for ext in wav flac ogg; do
  sox -q -n -r 44100 -c 2 "$media/tone.$ext" synth 1 sine 440 vol 0.5 || fail "sox tone.$ext"
done
lame --quiet "$media/tone.wav" "$media/tone.mp3" || fail "lame tone.mp3"
chmod -R a+rX "$media"
"${as_user[@]}" gst-inspect-1.0 --exists autoaudiosink || fail "no autoaudiosink for real sound"
chain='audioconvert ! scaletempo ! audioconvert ! audioresample ! volume ! audiopanorama method=simple'
chain+=' ! audioconvert ! level interval=200000000 ! fakesink sync=false'
for f in demo.mid tone.wav tone.mp3 tone.ogg tone.flac; do
  if ! timeout 60 "${as_user[@]}" gst-launch-1.0 -m playbin "uri=file:///tmp/media/$f" flags=2 "audio-sink=$chain" >"$work/gst.log" 2>&1; then
    show_tail "$work/gst.log" 10; fail "GStreamer could not play $f"; continue
  fi
  # Audible: some peak above -60 dB (silence, as from MIDI without a sound
  # font, stays near -150 dB).
  loudest=$(grep -o 'peak=(GValueArray)< [^>]*>' "$work/gst.log" | grep -o -- '-\?[0-9.]\+' |
    sort -g | tail -n 1)
  awk -v p="${loudest:--1000}" 'BEGIN { exit !(p > -60) }' || fail "$f played silent (loudest peak ${loudest:-none} dB)"
done

# Nothing the programs did changed the installed files, and purging the
# package leaves none of its folders behind.
phase "verify and purge"
changed=$("${in_root[@]}" dpkg --verify cantorel 2>&1)
[ -z "$changed" ] || fail "installed files changed: $changed"
run 120 "${in_root[@]}" apt-get purge -y cantorel >"$work/purge.log" 2>&1 ||
  { show_tail "$work/purge.log"; fail "apt-get purge cantorel"; }
for d in /usr/share/cantorel /usr/lib/cantorel /usr/share/doc/cantorel; do
  [ ! -e "$root$d" ] || fail "$d left after purge"
done

phase "done"
[ $failures = 0 ] && echo "package test passed in $((SECONDS - started)) s"
exit $((failures > 0))
