#!/usr/bin/env bash
# Builds the fuzz targets with clang's libFuzzer (plus ASan and UBSan) and runs
# each for the given number of seconds (default 60). Corpora grow in
# build-fuzz/corpus-<name>/.
set -euo pipefail
cd "$(dirname "$0")/.."
secs=${1:-60}
bash scripts/setup.sh --test
cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_COMPILER=clang++ \
  -DCANTOREL_SANITIZE=ON -DCANTOREL_FUZZ=ON -DCANTOREL_BENCH=OFF -DCANTOREL_FUZZ_SECONDS="$secs" >/dev/null
cmake --build build-fuzz -j "${JOBS:-2}"
ctest --test-dir build-fuzz -R '^fuzz_' --output-on-failure
