#!/usr/bin/env bash
# Builds the programs and runs every one that is built on the bundled samples
# (samples/, made by `sampler samples samples`), in the working directory
# out/samples, then lists the reports. Each run's console goes to
# out/samples/console/PROGRAM-REPLAY.txt.
set -euo pipefail
source "$(dirname "$0")/release-workdir.sh" samples
mkdir -p console
# The programs find the simulator's replay folder through this file; the
# tracks folder is its sibling.
printf '%s\r\n' "$root/samples/replay/" > Zant_Raceboard.ini
cp "$root/samples/timediff.ini" "$root/samples/myname.ini" .

missing=()
run() {  # program, replay (for the log's name), scripted input
  local program="$1" replay="$2" input="$3"
  local exe="$build/$program/$program" log="console/$program-$replay.txt"
  if [ ! -x "$exe" ]; then
    [[ " ${missing[*]} " == *" $program "* ]] || missing+=("$program")
    return 0
  fi
  local code=0
  printf '%b' "$input" | "$exe" > "$log" 2>&1 || code=$?
  printf '%-12s %-12s exit code %d\n' "$program" "$replay" "$code"
}

races=(race_server race_driver 300rplyA 300rplyB 300rplyC)
for race in "${races[@]}"; do
  run dropwatch "$race" "$race\n"
  run boxlog "$race" "$race\n"
  run resetlog "$race" "$race\n"
  run contactscan "$race" "1\n$race\n"  # mode 1: contacts, lost wheels and engine damage
done
run exitwatch quali 'quali\n'
for replay in race_server race_driver quali; do
  run raceboard "$replay" "$replay\n0\n"
done
run raceboard race_server_no_v 'race_server\n99\n'  # the page without speed values
run heatboard 300rplyA '300rplyA\n300rplyB\n300rplyC\n0\n0\n'
run heatboard 300rplyA_no_v '300rplyA\n300rplyB\n300rplyC\n0\n-1\n'
[ ${#missing[@]} -eq 0 ] || echo "Not built yet, so not run: ${missing[*]}"

echo
echo "Reports written to $work:"
ls -l "$work" | grep -v -e Zant_Raceboard.ini -e timediff.ini -e myname.ini -e ' console$' | tail -n +2
echo "The console of each run: $work/console/"
echo "Each replay's ground truth (what really happened in it) lies beside it: samples/replay/*.truth"
