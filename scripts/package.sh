#!/usr/bin/env bash
# Builds the Debian package for handing out: a release build without tests
# or benchmarks, with Debian's hardening flags (stack protector, fortified
# functions, full RELRO, immediate binding), packed by CPack.
#   scripts/package.sh [BUILD_DIR]     (default build-deb)
# Prints the path of the .deb; install it with apt-get install ./PATH.
# tests/package/deb_test.sh BUILD_DIR checks it on a clean Debian 12.
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${1:-build-deb}
JOBS=${JOBS:-2}
bash scripts/setup.sh --test  # build packages, and dpkg-dev and file for CPack

export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cxxflags="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)"
ldflags=$(dpkg-buildflags --get LDFLAGS)
cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCANTOREL_WERROR=ON \
  -DCANTOREL_TESTS=OFF -DCANTOREL_BENCH=OFF \
  -DCMAKE_CXX_FLAGS="$cxxflags" -DCMAKE_EXE_LINKER_FLAGS="$ldflags" \
  -DCMAKE_MODULE_LINKER_FLAGS="$ldflags" -DCMAKE_SHARED_LINKER_FLAGS="$ldflags" >/dev/null
cmake --build "$dir" -j "$JOBS"
rm -f "$dir"/cantorel_*.deb
(cd "$dir" && cpack -G DEB >/dev/null)
ls "$PWD/$dir"/cantorel_*.deb
