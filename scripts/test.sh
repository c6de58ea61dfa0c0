#!/usr/bin/env bash
# Builds everything and runs every test.
#   scripts/test.sh               programs and tests (preset dev, build/dev)
#   scripts/test.sh --sanitize    under AddressSanitizer and UndefinedBehaviorSanitizer (preset sanitize)
#   scripts/test.sh --tsan        racenight's tests under ThreadSanitizer (preset tsan: the programs they run
#                                 and racenight's tests alone)
# Further arguments go to ctest, e.g. `scripts/test.sh -L unit` for the fast tests alone.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
preset=dev
if [ "${1:-}" = "--sanitize" ]; then
  preset=sanitize
  shift
elif [ "${1:-}" = "--tsan" ]; then
  preset=tsan
  shift
fi
cmake --preset "$preset" > /dev/null
cmake --build --preset "$preset" -j "$(nproc)"
ctest --preset "$preset" -j "$(nproc)" "$@"
