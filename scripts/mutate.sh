#!/usr/bin/env bash
# Mutation check of the tests (see docs/developing.md): applies the mutants
# of tests/mutations.txt one at a time, rebuilds in build-mutate/, runs the
# tests that cover each one and restores the file.
#   scripts/mutate.sh              every mutant
#   scripts/mutate.sh PATTERN...   mutants whose name or file matches
#   scripts/mutate.sh --list       the mutants and their tests
# It runs at a low priority: the machine stays usable meanwhile.
set -euo pipefail
cd "$(dirname "$0")/.."
exec nice -n 10 python3 scripts/mutate.py "$@"
