#!/usr/bin/env bash
# Builds the programs and runs each one on the bundled sample replays in a
# working directory of its own (out/samples), then lists the reports.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build/release"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DZR_TESTS=OFF > /dev/null
cmake --build "$build" -j "$(nproc)" > /dev/null

work="$root/out/samples"
rm -rf "$work"
mkdir -p "$work"
cd "$work"
# The programs find the simulator's replay folder through this file; the
# tracks folder is its sibling.
printf '%s\r\n' "$root/samples/replay/" > Zant_Raceboard.ini
cp "$root/samples/timediff.ini" .

run() {  # program, scripted input
  local program="$1" input="$2"
  [ -x "$build/$program/$program" ] || return 0
  echo "=== $program"
  printf '%b' "$input" | "$build/$program/$program" || echo "($program ended with exit code $?)"
}
run dropwatch 'sample_race\n'
run resetlog 'sample_race\n'

echo
echo "Reports written to $work:"
ls -l "$work" | grep -v -e Zant_Raceboard.ini -e timediff.ini | tail -n +2
