#!/usr/bin/env bash
# One entry point for developers and CI.
#   scripts/dev.sh run   install what is missing, build, start the player
#   scripts/dev.sh test  install what is missing, build, run every test
#                        (normal build with the Debian package test, then a
#                        sanitizer build whose fuzz targets run for a short
#                        while)
# CANTOREL_SKIP_PACKAGE=1 leaves out the package test (it needs root and the
# Debian mirror); CANTOREL_SKIP_SANITIZE=1 the sanitizer build.
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$PWD
JOBS=${JOBS:-2}

build() {  # build DIR [cmake args...]
  local dir=$1; shift
  local launcher=()
  # ccache (a test package) makes a rebuild of unchanged files, in this or
  # another checkout, a cache look-up; paths are taken relative to the checkout.
  if command -v ccache >/dev/null; then
    launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
    export CCACHE_BASEDIR="$ROOT"
  fi
  cmake -S "$ROOT" -B "$dir" -G Ninja "${launcher[@]}" "$@" >/dev/null
  cmake --build "$dir" -j "$JOBS"
}

case "${1:-}" in
  run)
    bash scripts/setup.sh
    build build
    shift
    demo=()
    if [ $# -eq 0 ] && [ -f build/share/cantorel/demo/demo.mid ]; then
      demo=(build/share/cantorel/demo/demo.mid)
    fi
    if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
      echo "No display (DISPLAY and WAYLAND_DISPLAY are unset): Cantorel runs without a visible window." >&2
      echo "Stop it with Ctrl+C; it saves and ends normally." >&2
      export QT_QPA_PLATFORM=offscreen
    fi
    exec build/bin/cantorel "${demo[@]}" "$@"
    ;;
  test)
    bash scripts/setup.sh --test
    package=ON
    [ "${CANTOREL_SKIP_PACKAGE:-0}" = 1 ] && package=OFF
    build build -DCANTOREL_WERROR=ON -DCANTOREL_PACKAGE_TEST=$package
    ctest --test-dir build -j "$JOBS" --output-on-failure --timeout 300
    if [ "${CANTOREL_SKIP_SANITIZE:-0}" != 1 ]; then
      build build-asan -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_COMPILER=clang++ \
        -DCANTOREL_SANITIZE=ON -DCANTOREL_FUZZ=ON -DCANTOREL_BENCH=OFF -DCANTOREL_WERROR=ON
      # Sanitizer options are read before main(), so they are set here.
      ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
      LSAN_OPTIONS=suppressions=$ROOT/tests/lsan.supp:print_suppressions=0 \
      UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
        ctest --test-dir build-asan -j "$JOBS" --output-on-failure --timeout 300
    fi
    ;;
  *)
    echo "usage: scripts/dev.sh run|test" >&2
    exit 2
    ;;
esac
