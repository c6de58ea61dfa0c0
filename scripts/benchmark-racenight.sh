#!/usr/bin/env bash
# racenight's benchmark: a race night of ten replays of about MEGABYTES each
# (two events of five grids, 500rplyA to 500rplyE and 501rplyA to 501rplyE;
# the sampler's benchmark race, copied), measured against
#   (a) reading every file once: cat FILES > /dev/null, and
#   (b) the single programs one after another on the same replays, with the
#       same work racenight does: per replay raceboard, contactscan (mode 1),
#       boxlog, resetlog and dropwatch, per event heatboard over its grids.
# The programs take their answers as arguments where they understand them
# (`PROGRAM --version` answers), else through their dialogue on standard input.
# Writes racenight's section of BENCHMARKS.md.
#   scripts/benchmark-racenight.sh [MEGABYTES]      (default 100)
set -euo pipefail
megabytes="${1:-100}"
runs=5
jobs=2
source "$(dirname "$0")/release-workdir.sh" benchmark-racenight
if [ ! -x "$build/racenight/racenight" ]; then
  echo "racenight is not built" >&2
  exit 1
fi
echo "Writing the replays (ten of about $megabytes MB)..."
"$build/sampler/sampler" bench "$work/sim" "$megabytes" > "$work/sampler.txt"
night="$work/sim/replay"
for event in 500 501; do
  for grid in A B C D E; do cp "$night/bench.rpy" "$night/${event}rply$grid.rpy"; done
done
rm "$night/bench.rpy" "$night/bench.truth"
size=$(stat -c %s "$night/500rplyA.rpy")
total=$((size * 10))
printf '%s\r\n' "$night/" > Zant_Raceboard.ini
printf '0 120\r\n' > timediff.ini
printf 'Doris Krause' > myname.ini  # heatboard marks the user's driver, racenight reads it too

# (b) as one script: each program's run with arguments or its dialogue's answers.
exe() { echo "$build/$1/$1"; }
takes_arguments() { "$(exe "$1")" --version < /dev/null 2> /dev/null | grep -q "^$1"; }
mode="dialogue"
takes_arguments boxlog && mode="arguments"
{
  echo "set -e"
  for event in 500 501; do
    grids=()
    for grid in A B C D E; do
      name="${event}rply$grid"
      grids+=("$name")
      if [ "$mode" = arguments ]; then
        for program in raceboard boxlog resetlog dropwatch; do
          echo "'$(exe $program)' -q --replay-dir '$night' $name"
        done
        echo "'$(exe contactscan)' -q --replay-dir '$night' --mode 1 $name"
      else
        echo "printf '$name\n0\n' | '$(exe raceboard)'"
        echo "printf '1\n$name\n' | '$(exe contactscan)'"
        for program in boxlog resetlog dropwatch; do echo "printf '$name\n' | '$(exe $program)'"; done
      fi
    done
    if [ "$mode" = arguments ]; then
      echo "'$(exe heatboard)' -q --replay-dir '$night' --myname 'Doris Krause' ${grids[*]}"
    else
      echo "printf '$(printf '%s\\n' "${grids[@]}")0\n' | '$(exe heatboard)'"
    fi
  done
} > sequential.sh

TIMEFORMAT='%3R %3U %3S'
lower() { awk -v a="$1" -v b="$2" 'BEGIN { print (a == "" || b < a) ? b : a }'; }
# best COMMAND...: the fastest wall time of $runs runs after a warm-up, and its CPU time.
best() {
  "$@" > /dev/null 2>&1 || true
  best_real=""
  best_cpu=""
  for _ in $(seq "$runs"); do
    t=$( { time "$@" > /dev/null 2>&1; } 2>&1 )
    read -r real user sys <<< "$t"
    if [ -z "$best_real" ] || awk -v a="$real" -v b="$best_real" 'BEGIN { exit !(a < b) }'; then
      best_real=$real
      best_cpu=$(awk -v u="$user" -v s="$sys" 'BEGIN { print u + s }')
    fi
  done
}
peak() { /usr/bin/time -f '%M' -o peak.txt "$@" > /dev/null 2>&1 || true; tail -n 1 peak.txt; }
floor() { cat "$night"/*.rpy > /dev/null; }
sequential() { rm -f ./*.html ./*.txt ./*.php; bash sequential.sh > /dev/null 2>&1 < /dev/null; }
racenight_jobs() { rm -rf night; "$(exe racenight)" -q -j "$1" -o night "$night"; }

# The load before the runs (theirs would count in it after them).
load_before=$(cut -d' ' -f1-3 /proc/loadavg 2>/dev/null || echo unknown)
echo "Measuring (a) reading every file once..."
best floor
floor_real=$best_real
floor_cpu=$best_cpu
echo "Measuring (b) the programs one after another ($mode)..."
best sequential
seq_real=$best_real
seq_cpu=$best_cpu
seq_peak=$(peak bash sequential.sh)
declare -A night_real night_cpu night_peak
for j in 1 "$jobs"; do
  echo "Measuring racenight -j $j..."
  best racenight_jobs "$j"
  night_real[$j]=$best_real
  night_cpu[$j]=$best_cpu
  rm -rf night
  night_peak[$j]=$(peak "$(exe racenight)" -q -j "$j" -o night "$night")
done

ms() { awk -v t="$1" 'BEGIN { printf "%.0f ms", t * 1000 }'; }
mb() { awk -v k="$1" 'BEGIN { printf "%.0f MB", k / 1024 }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }
size_mb=$(awk -v s="$size" 'BEGIN { printf "%.1f", s / 1048576 }')
total_mb=$(awk -v s="$total" 'BEGIN { printf "%.0f", s / 1048576 }')
memory_target_kb() { awk -v s="$size" -v j="$1" 'BEGIN { printf "%.0f", s / 1024 + 65536 * j }'; }
verdict() {  # time ratio to (b), peak KB, jobs
  awk -v r="$1" -v k="$2" -v m="$(memory_target_kb "$3")" 'BEGIN {
    t = r <= 0.5; mem = k <= m
    print (t && mem) ? "yes" : (t ? "time yes, memory no" : (mem ? "time no, memory yes" : "no")) }'
}
row() {  # label, real, cpu, peak KB, target text, met
  echo "| $1 | $(ms "$2") | $(ratio "$2" "$floor_real") | $(ratio "$2" "$seq_real") | $(ms "$3") | $(mb "$4") | $5 | $6 |"
}
section="$(
  echo "## racenight: a whole race night"
  echo
  echo "Written by \`scripts/benchmark.sh --racenight $megabytes\` on $(date '+%Y-%m-%d %H:%M %Z'); $(nproc) cores; load average"
  echo "before the runs: $load_before."
  if awk -v l="${load_before%% *}" -v n="$(nproc)" 'BEGIN { exit !(l + 0 >= n) }'; then
    echo
    echo "**Measured on a loaded machine** (other work kept the cores busy): the times, and the parallel run's most of"
    echo "all, are slower than on a calm machine; run it again when the load average is well below the number of cores."
  fi
  echo
  echo "- Night: ten replays of $size bytes ($size_mb MB; $total_mb MB in all), two events of five grids (\`sampler bench\`,"
  echo "  copied). Each time is the fastest of $runs runs after a warm-up run, the files in the file cache."
  echo "- (a) floor: reading every file once, \`cat *.rpy > /dev/null\`."
  echo "- (b) the programs one after another with the same work: per replay raceboard, contactscan (mode 1), boxlog,"
  echo "  resetlog and dropwatch, per event heatboard over its five grids ($mode: $( [ "$mode" = arguments ] &&
    echo "each given its answers as arguments" || echo "each given its dialogue's answers on standard input, as the programs take no arguments yet"))."
  echo "- Targets: racenight with $jobs jobs at most half of (b); peak memory (largest resident set, GNU time) at most the"
  echo "  largest replay plus 64 MB per job."
  echo
  echo "| run | time | ratio to (a) | ratio to (b) | CPU time | peak memory | memory target | met |"
  echo "|---|---|---|---|---|---|---|---|"
  row "(a) \`cat\` every file once" "$floor_real" "$floor_cpu" "$(peak bash -c "cat '$night'/*.rpy")" "" ""
  row "(b) the programs one after another" "$seq_real" "$seq_cpu" "$seq_peak" "" ""
  for j in 1 "$jobs"; do
    target=$(mb "$(memory_target_kb "$j")")
    met="no target"
    [ "$j" = "$jobs" ] && met=$(verdict "$(ratio "${night_real[$j]}" "$seq_real")" "${night_peak[$j]}" "$j")
    row "racenight -j $j" "${night_real[$j]}" "${night_cpu[$j]}" "${night_peak[$j]}" "$target" "$met"
  done
)"
head=""
[ -f "$root/BENCHMARKS.md" ] && head="$(sed '/^## racenight/,$d' "$root/BENCHMARKS.md")"
{
  if [ -n "$head" ]; then
    echo "$head"
    echo
  fi
  echo "$section"
} > "$root/BENCHMARKS.md"
echo
echo "$section"
