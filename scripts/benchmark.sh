#!/usr/bin/env bash
# The benchmark: writes a replay of about 100 MB (a long race of 20 cars) with
# the sampler, measures every built program on it together with the floor
# (reading the file once: cat FILE > /dev/null) in the same run, and writes
# the figures into BENCHMARKS.md.
#   scripts/benchmark.sh [MEGABYTES]
#   scripts/benchmark.sh --racenight [MEGABYTES]   racenight over a race night (scripts/benchmark-racenight.sh)
# Each figure is the fastest of several runs with the replay in the file
# cache; the replay is written to out/benchmark and never committed. Each
# part rewrites its own section of BENCHMARKS.md and keeps the other's.
set -euo pipefail
if [ "${1:-}" = "--racenight" ]; then
  shift
  exec "$(dirname "$0")/benchmark-racenight.sh" "$@"
fi
megabytes="${1:-100}"
runs=15
source "$(dirname "$0")/release-workdir.sh" benchmark
echo "Writing the replay (about $megabytes MB)..."
"$build/sampler/sampler" bench "$work/sim" "$megabytes" > "$work/sampler.txt"
replay="$work/sim/replay/bench.rpy"
size=$(stat -c %s "$replay")
laps=$(awk '$1 == "race_laps" { print $2 }' "$work/sim/replay/bench.truth")
printf '%s\r\n' "$work/sim/replay/" > Zant_Raceboard.ini
printf '0 120\r\n' > timediff.ini
printf 'Doris Krause' > myname.ini  # heatboard marks the user's driver

TIMEFORMAT='%3R %3U %3S'
# run_timed COMMAND...: the wall and CPU seconds of one run, input from stdin.txt.
run_timed() {
  local t
  t=$( { time "$@" < stdin.txt > /dev/null 2>&1; } 2>&1 )
  read -r last_real user sys <<< "$t"
  last_cpu=$(awk -v u="$user" -v s="$sys" 'BEGIN { print u + s }')
}
lower() { awk -v a="$1" -v b="$2" 'BEGIN { print (a == "" || b < a) ? b : a }'; }
# measure INPUT COMMAND...: sets best_real and best_cpu (seconds) to the
# fastest of $runs runs after a warm-up run. The floor is measured between the
# runs, so that both see the machine alike; floor_real and floor_cpu keep the
# fastest floor of the whole benchmark.
measure() {
  local input="$1"
  shift
  printf '%b' "$input" > stdin.txt
  "$@" < stdin.txt > /dev/null 2>&1 || true
  best_real=""
  best_cpu=""
  for _ in $(seq "$runs"); do
    run_timed "$@"
    best_real=$(lower "$best_real" "$last_real")
    best_cpu=$(lower "$best_cpu" "$last_cpu")
    run_timed cat "$replay"
    floor_real=$(lower "$floor_real" "$last_real")
    floor_cpu=$(lower "$floor_cpu" "$last_cpu")
  done
}
# peak INPUT COMMAND...: the largest resident set in kilobytes, or "n/a".
peak() {
  local input="$1"
  shift
  if [ -x /usr/bin/time ]; then
    printf '%b' "$input" > stdin.txt
    /usr/bin/time -f '%M' -o peak.txt "$@" < stdin.txt > /dev/null 2>&1 || true
    tail -n 1 peak.txt
  else
    echo n/a
  fi
}

mb=$(awk -v s="$size" 'BEGIN { printf "%.1f", s / 1048576 }')
floor_real=""
floor_cpu=""
measure "" cat "$replay"  # the floor alone first, so that it exists without any program
floor_peak=$(peak "" cat "$replay")
results=()
summary=""
missing=()
# program, scripted input, target ratio to the floor (empty: none)
for entry in "dropwatch|bench\n|3" "exitwatch|bench\n|3" "boxlog|bench\n|3" "resetlog|bench\n|3" \
             "contactscan|1\nbench\n|10" "raceboard|bench\n0\n|" "heatboard|bench\n0\n0\n|"; do
  IFS='|' read -r program input target <<< "$entry"
  exe="$build/$program/$program"
  if [ ! -x "$exe" ]; then
    missing+=("$program")
    continue
  fi
  echo "Measuring $program..."
  measure "$input" "$exe"
  kb=$(peak "$input" "$exe")
  results+=("$program|$target|$best_real|$best_cpu|$kb")
done

# The ratios against the fastest floor of the whole run.
rows="| floor: \`cat FILE > /dev/null\` | $(awk -v t="$floor_real" 'BEGIN { printf "%.0f ms", t * 1000 }') | $(awk -v m="$mb" -v t="$floor_real" 'BEGIN { printf "%.0f", m / t }') | 1.0 | | $(awk -v t="$floor_cpu" 'BEGIN { printf "%.0f ms", t * 1000 }') | $floor_peak KB | | |"
for result in "${results[@]}"; do
  IFS='|' read -r program target best_real best_cpu kb <<< "$result"
  ratio=$(awk -v a="$best_real" -v b="$floor_real" 'BEGIN { printf "%.1f", a / b }')
  speed=$(awk -v m="$mb" -v t="$best_real" 'BEGIN { printf "%.0f", m / t }')
  over=$(awk -v k="$kb" -v s="$size" 'BEGIN { if (k == "n/a") print "n/a"; else printf "%+.1f MB", (k * 1024 - s) / 1048576 }')
  met="no target"
  if [ -n "$target" ]; then
    met=$(awk -v r="$ratio" -v t="$target" -v k="$kb" -v s="$size" 'BEGIN {
      ok = r <= t; mem = (k == "n/a") ? 1 : (k * 1024 <= s + 8 * 1048576)
      print (ok && mem) ? "yes" : (ok ? "time yes, memory no" : (mem ? "time no, memory yes" : "no")) }')
  fi
  rows+=$'\n'"| $program | $(awk -v t="$best_real" 'BEGIN { printf "%.0f ms", t * 1000 }') | $speed | $ratio | ${target:+at most $target} | $(awk -v t="$best_cpu" 'BEGIN { printf "%.0f ms", t * 1000 }') | $kb KB (replay $over) | replay + 8 MB | $met |"
  summary+="$program: ${ratio}x the floor, $speed MB/s, $met"$'\n'
done

cpu=$(awk -F': ' '/^model name/ { print $2; exit }' /proc/cpuinfo 2>/dev/null || true)
memory=$(awk '/^MemTotal/ { printf "%.0f GB", $2 / 1048576 }' /proc/meminfo 2>/dev/null || true)
# racenight's section, written by benchmark-racenight.sh, stays as it is.
racenight_section=""
[ -f "$root/BENCHMARKS.md" ] && racenight_section="$(sed -n '/^## racenight/,$p' "$root/BENCHMARKS.md")"
{
  echo "# Benchmarks"
  echo
  echo "Written by \`scripts/benchmark.sh\`; run it again to measure this machine (it rewrites this file)."
  echo
  echo "- Date: $(date '+%Y-%m-%d %H:%M %Z')"
  echo "- Machine: $(uname -srm); ${cpu:-unknown processor}, $(nproc) cores, ${memory:-unknown memory}; load average then: $(cut -d' ' -f1-3 /proc/loadavg 2>/dev/null || echo unknown)"
  echo "- Command: \`scripts/benchmark.sh $megabytes\` (release build)"
  echo "- Replay: \`sampler bench\`, a race of 20 cars over $laps laps at 36 frames per second, $size bytes ($mb MB)"
  echo "- Each time is the fastest of $runs runs with the replay in the file cache, after one warm-up run. The floor, reading"
  echo "  the same file once with \`cat FILE > /dev/null\`, is measured between those runs, so that both meet the machine"
  echo "  alike; its fastest run counts. MB/s = replay size / time. CPU time is user plus system time of the fastest"
  echo "  run. Peak memory is the largest resident set (GNU time)."
  echo "- Targets: dropwatch, exitwatch, boxlog and resetlog at most 3 times the floor, contactscan at most 10 times; peak"
  echo "  memory no more than the replay's size plus a few MB (here: 8)."
  echo
  echo "| program | time | MB/s | ratio to floor | target | CPU time | peak memory | memory target | met |"
  echo "|---|---|---|---|---|---|---|---|---|"
  echo "$rows"
  if [ ${#missing[@]} -gt 0 ]; then
    echo
    echo "Not built yet, so not measured: ${missing[*]}."
  fi
  if [ -n "$racenight_section" ]; then
    echo
    echo "$racenight_section"
  fi
} > "$root/BENCHMARKS.md"
echo
printf '%s' "$summary"
echo "Figures written to $root/BENCHMARKS.md"
