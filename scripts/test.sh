#!/usr/bin/env bash
# Builds everything and runs every test.
#   scripts/test.sh             normal build (build/test)
#   scripts/test.sh --sanitize  with AddressSanitizer and UndefinedBehaviorSanitizer (build/sanitize)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
flags=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DZR_WERROR=ON)
build="$root/build/test"
if [ "${1:-}" = "--sanitize" ]; then
  flags=(-DCMAKE_BUILD_TYPE=Debug -DZR_SANITIZE=ON -DZR_WERROR=ON)
  build="$root/build/sanitize"
  export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
  export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
fi
cmake -S "$root" -B "$build" "${flags[@]}" > /dev/null
cmake --build "$build" -j "$(nproc)"
cd "$build"
ctest --output-on-failure -j "$(nproc)"
