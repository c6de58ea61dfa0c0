#!/usr/bin/env bash
# Builds the Windows programs and runs the end-to-end scenarios of the test
# suite against the .exe files under Wine: the same replays, scripted input,
# exit codes and expected report bytes as the Linux tests. Where Wine cannot
# start, the scenarios are reported as skipped.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"

# Each program with the patterns of the test names that hold its end-to-end
# scenarios; a program joins the Wine runs with one line here. The listing
# programs share the fixture ListingRun (e2e/), one row per program.
scenarios=(
  'dropwatch ListingRun\.[^/]*/dropwatch[^a-z]'
  'resetlog ListingRun\.[^/]*/resetlog[^a-z]'
  'contactscan ListingRun\.[^/]*/contactscan[^a-z] ContactscanRun\.'
  'exitwatch ListingRun\.[^/]*/exitwatch[^a-z]'
  'boxlog ListingRun\.[^/]*/boxlog[^a-z]'
  'raceboard RaceboardRun\.'
  'heatboard HeatboardRun\.'
  'racenight RacenightRun\.'
)

scripts/build-windows.sh
bin="$root/build/windows/bin"

# The Linux test build (as scripts/test.sh makes it) supplies the scenarios.
build="$root/build/dev"
cmake --preset dev > /dev/null
cmake --build --preset dev -j "$(nproc)"

fixtures=()
for line in "${scenarios[@]}"; do
  read -r -a words <<< "$line"  # an array: the patterns are not expanded as file names
  program="${words[0]}"
  [ -d "$program" ] || continue  # not written yet
  if [ ! -f "$bin/$program.exe" ]; then
    echo "$program.exe was not built" >&2
    exit 1
  fi
  fixtures+=("${words[@]:1}")
done
for exe in "$bin"/*.exe; do
  program="$(basename "$exe" .exe)"
  printf '%s\n' "${scenarios[@]}" | grep -q "^$program " ||
    echo "NOTE: $program.exe has no scenarios listed here and is not run under Wine"
done

# A Wine prefix of our own; its first start, here, sets it up and is slow.
WINEPREFIX="$(mktemp -d "${TMPDIR:-/tmp}/zr-wine-XXXXXX")"
export WINEPREFIX WINEDEBUG=-all ZR_WINE_BIN="$bin"
cleanup() {
  wineserver -k > /dev/null 2>&1 || true
  rm -rf "$WINEPREFIX"
}
trap cleanup EXIT
code=0
timeout 300 wine cmd /c exit 7 > /dev/null 2>&1 || code=$?
if [ $code -ne 7 ]; then
  # The scenarios then skip at once, each saying why.
  export ZR_WINE_UNAVAILABLE="\"wine cmd /c exit 7\" ended with $code"
  echo "NOTE: Wine cannot start here ($ZR_WINE_UNAVAILABLE): the scenarios will be skipped"
  command -v wine > /dev/null || echo "NOTE: wine is not installed: sudo apt-get install -y wine wine64"
fi

cd "$build"
ctest --output-on-failure -j "$(nproc)" --no-tests=error -R "^($(IFS='|'; echo "${fixtures[*]}"))"
