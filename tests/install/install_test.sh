#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks the result the way a
# user and a desktop would meet it: the layout (and nothing test-only in it),
# the installed programs run from there with no hint where their files are,
# the desktop entry and the AppStream file validate.
#
# Usage: install_test.sh BUILD_DIR [CMAKE]
set -uo pipefail
. "$(dirname "$0")/../support/stop_player.sh"

build=${1:?build folder}
cmake=${2:-cmake}
work=$(mktemp -d)
pid=
cleanup() {
  [ -n "$pid" ] && kill -KILL "$pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
need() { command -v "$1" >/dev/null || { echo "FAIL: $1 missing (bash scripts/setup.sh --test)" >&2; exit 1; }; }
for tool in desktop-file-validate appstreamcli sha1sum; do need "$tool"; done
within() {  # within SECONDS CONDITION...: the condition holds within that time
  local deadline=$((SECONDS + $1)); shift
  until "$@"; do [ "$SECONDS" -ge "$deadline" ] && return 1; sleep 0.1; done
}

prefix=$work/prefix
"$cmake" --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1 || {
  cat "$work/install.log" >&2
  echo "FAIL: cmake --install" >&2
  exit 1
}

# The programs find their files from the prefix alone.
unset CANTOREL_DATA_DIR CANTOREL_PLUGIN_DIR CANTOREL_BUILD_DIR CANTOREL_SOURCE_DIR

# --- Layout -------------------------------------------------------------
for f in bin/cantorel bin/cantorel-tool \
         share/cantorel/skins/default.skin share/cantorel/messages_ENGLISH.txt \
         share/cantorel/messages_ESPANOL.txt share/cantorel/readme.txt \
         share/cantorel/icons/cantorel.png \
         share/applications/cantorel.desktop \
         share/metainfo/org.cantorel.Cantorel.metainfo.xml \
         share/man/man1/cantorel.1 share/man/man1/cantorel-tool.1 \
         share/icons/hicolor/scalable/apps/cantorel.svg; do
  [ -f "$prefix/$f" ] || fail "not installed: $f"
done
# Exactly the shipped programs and plug-ins; no test plug-ins, generators or
# developer tools.
bins=$(cd "$prefix/bin" && ls | tr '\n' ' ')
[ "$bins" = "cantorel cantorel-tool " ] || fail "bin holds: $bins"
plugins=$(cd "$prefix" && find lib*/ -path '*cantorel/plugins/*' -type f | sed 's|.*/plugins/||' | sort | tr '\n' ' ')
[ "$plugins" = "input_plugins/qv_input_gst.so vis_plugins/qv_plugin.so " ] || fail "plug-ins: $plugins"
stray=$(cd "$prefix" && find . -ipath '*test*' -o -ipath '*generator*' -o -iname '*painter*' -o -name '*.py')
[ -z "$stray" ] || fail "test-only files installed: $stray"

# --- The installed programs ---------------------------------------------
version=$("$prefix/bin/cantorel" --version) || fail "cantorel --version failed"
case $version in "cantorel "[0-9]*) ;; *) fail "cantorel --version printed: $version" ;; esac
"$prefix/bin/cantorel-tool" skin check "$prefix/share/cantorel/skins/default.skin" >"$work/skin.log" 2>&1 ||
  { cat "$work/skin.log" >&2; fail "the shipped skin does not pass its check"; }

# Start the installed player offscreen with its own home, until it listens
# on its single-instance channel; then end it by signal.
home=$work/home
mkdir -p "$home" "$work/tmp"
TMPDIR=$work/tmp CANTOREL_HOME=$home QT_QPA_PLATFORM=offscreen CANTOREL_SPLASH_MS=20 \
  CANTOREL_NEWS_URL=http://127.0.0.1:9/msg.txt CANTOREL_RECORD_DESKTOP=$work/desktop.log \
  "$prefix/bin/cantorel" /ADD /music/installed.mp3 >"$work/run.log" 2>&1 &
pid=$!
key=$(printf '%s' "$home/cantorel.conf" | sha1sum | cut -c1-12)
socket=$work/tmp/cantorel-$(id -u)-$key
within 15 eval '[ -S "$socket" ] || ! kill -0 "$pid" 2>/dev/null'
[ -S "$socket" ] || fail "the installed player never opened its channel $socket"
stop_player "$pid"
pid=
[ $rc = 0 ] || { cat "$work/run.log" >&2; fail "the installed player ended with $rc"; }
grep -q '^Language=ENGLISH' "$home/cantorel.conf" 2>/dev/null || fail "no settings written"
grep -q 'installed.mp3' "$home/playlist.m3u" 2>/dev/null || fail "no playlist written"

# --- Desktop files -------------------------------------
desktop-file-validate "$prefix/share/applications/cantorel.desktop" >"$work/v.log" 2>&1 ||
  { cat "$work/v.log" >&2; fail "desktop entry"; }
appstreamcli validate --no-net "$prefix/share/metainfo/org.cantorel.Cantorel.metainfo.xml" >"$work/v.log" 2>&1 ||
  { cat "$work/v.log" >&2; fail "AppStream metainfo"; }

[ $failures = 0 ] && echo "install test passed"
exit $((failures > 0))
