#!/usr/bin/env bash
# The benchmark: writes two replays of about 100 MB with the sampler (a long
# race of 20 cars at 36 frames per second, and one of 19 cars at 60 frames per
# second, which has more frames and so more per-frame work for the same size),
# measures every built program on each together with the floor (reading the
# file once: cat FILE > /dev/null) in the same run, and writes the figures
# into BENCHMARKS.md.
#   scripts/benchmark.sh [MEGABYTES]
#   scripts/benchmark.sh --racenight [MEGABYTES]   racenight over a race night (scripts/benchmark-racenight.sh)
# Each figure is the fastest of several runs with the replay in the file
# cache; the replays are written to out/benchmark and never committed. Each
# part rewrites its own section of BENCHMARKS.md and keeps the other's.
set -euo pipefail
if [ "${1:-}" = "--racenight" ]; then
  shift
  exec "$(dirname "$0")/benchmark-racenight.sh" "$@"
fi
megabytes="${1:-100}"
runs=15
source "$(dirname "$0")/release-workdir.sh" benchmark
# name, cars, frames per second: the replays, as `sampler bench` names them
replays=("bench|20|36" "bench19x60|19|60")
echo "Writing the replays (about $megabytes MB each)..."
for entry in "${replays[@]}"; do
  IFS='|' read -r name cars fps <<< "$entry"
  "$build/sampler/sampler" bench "$work/sim" "$megabytes" "$cars" "$fps" >> "$work/sampler.txt"
done
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
# fastest floor of the replay's whole measurement.
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
ms() { awk -v t="$1" 'BEGIN { printf "%.0f ms", t * 1000 }'; }

# table NAME: measures every program on replay NAME and sets `table` (the
# rows of BENCHMARKS.md) and adds to `summary`.
summary=""
missing=()
table() {
  local name="$1"
  replay="$work/sim/replay/$name.rpy"
  local size mb floor_peak results=() rows
  size=$(stat -c %s "$replay")
  mb=$(awk -v s="$size" 'BEGIN { printf "%.1f", s / 1048576 }')
  floor_real=""
  floor_cpu=""
  measure "" cat "$replay"  # the floor alone first, so that it exists without any program
  floor_peak=$(peak "" cat "$replay")
  # program, scripted input, target ratio to the floor (empty: none)
  for entry in "dropwatch|$name\n|2" "exitwatch|$name\n|2" "boxlog|$name\n|2" "resetlog|$name\n|2" \
               "contactscan|1\n$name\n|4" "raceboard|$name\n0\n|2" "heatboard|$name\n0\n0\n|2"; do
    IFS='|' read -r program input target <<< "$entry"
    exe="$build/$program/$program"
    if [ ! -x "$exe" ]; then
      [[ " ${missing[*]} " == *" $program "* ]] || missing+=("$program")
      continue
    fi
    echo "Measuring $program on $name..."
    measure "$input" "$exe"
    kb=$(peak "$input" "$exe")
    results+=("$program|$target|$best_real|$best_cpu|$kb")
  done

  # The ratios against the fastest floor of the replay's measurement.
  rows="| floor: \`cat FILE > /dev/null\` | $(ms "$floor_real") | $(awk -v m="$mb" -v t="$floor_real" 'BEGIN { printf "%.0f", m / t }') | 1.0 | | $(ms "$floor_cpu") | $floor_peak KB | | |"
  for result in "${results[@]}"; do
    IFS='|' read -r program target best_real best_cpu kb <<< "$result"
    ratio=$(awk -v a="$best_real" -v b="$floor_real" 'BEGIN { printf "%.1f", a / b }')
    speed=$(awk -v m="$mb" -v t="$best_real" 'BEGIN { printf "%.0f", m / t }')
    over=$(awk -v k="$kb" -v s="$size" 'BEGIN { if (k == "n/a") print "n/a"; else printf "%+.1f MB", (k * 1024 - s) / 1048576 }')
    met=$(awk -v r="$ratio" -v t="$target" -v k="$kb" -v s="$size" 'BEGIN {
      ok = r <= t; mem = (k == "n/a") ? 1 : (k * 1024 <= s + 8 * 1048576)
      print (ok && mem) ? "yes" : (ok ? "time yes, memory no" : (mem ? "time no, memory yes" : "no")) }')
    rows+=$'\n'"| $program | $(ms "$best_real") | $speed | $ratio | at most $target | $(ms "$best_cpu") | $kb KB (replay $over) | replay + 8 MB | $met |"
    summary+="$name, $program: ${ratio}x the floor, $speed MB/s, $met"$'\n'
  done
  table="$rows"
  table_size="$size bytes ($mb MB)"
}

header="| program | time | MB/s | ratio to floor | target | CPU time | peak memory | memory target | met |"$'\n'"|---|---|---|---|---|---|---|---|---|"
table bench
first="$table"
first_size="$table_size"
first_laps=$(awk '$1 == "race_laps" { print $2 }' "$work/sim/replay/bench.truth")
table bench19x60
second="$table"
second_size="$table_size"
second_laps=$(awk '$1 == "race_laps" { print $2 }' "$work/sim/replay/bench19x60.truth")

# Where the time goes, as found with perf (cpu-clock) and callgrind.
findings() {
  cat << 'EOF'
## Where the time goes

Found with `perf record -e cpu-clock` and `valgrind --tool=callgrind` on the release build (this machine has no
hardware counters; callgrind's instruction counts repeat exactly, so they guided the work).

- Taking the replay in. On this machine (a paravirtualised virtual machine) every page entered into the page
  tables traps to the hypervisor, about 2.5 microseconds a page: mapping the 100 MB file (25000 pages of 4 KB)
  cost 45 to 55 ms of CPU time, three to four times the floor, and faulting in fresh memory of 4 KB pages more
  still. `MADV_SEQUENTIAL`, `MADV_WILLNEED` and `MAP_POPULATE` change when the pages are entered, not how many,
  and gained nothing. Where the first 256 KB of the mapping show such dear pages, the replay is now read with one
  `read()` into memory of 2 MB huge pages (`MADV_HUGEPAGE`, some fifty entries): 1.3 to 1.4 times the floor, for
  clearing and filling that memory. Where pages are cheap the file stays mapped, which costs next to nothing.
- Starting a process. Each start mapped and relocated the shared C++ runtime, about 2 ms more than `cat`; the
  programs are now linked statically on Linux.
- Per frame. `readFrame` was a call per frame that walked the block chain reading a byte at a time (some 170
  instructions a frame); inlined into the walks, with the chain rule folded in and whole words read, about 80.
- Per sample. The sample loops run at 12 to 20 instructions a sample where a program does little with most
  samples; work that only few samples need is now done for those only: dropwatch judges the closing window once
  a frame, boxlog judges the pit section only for cars in it or near its bounds, resetlog tests for a reset only
  in gear 1 and keeps each car's last two samples as stored bytes instead of decoding six fields of every sample,
  contactscan finds the pairs within reach in position order (kept from frame to frame) instead of comparing all
  171 pairs of every frame (two thirds of its instructions). raceboard and heatboard read to the end of the file
  for the fastest lap of a car that had left the race; the track-length scan now notes where each car's samples
  end.
- Fresh memory. A page of fresh memory costs a fault, some 15 to 20 microseconds here; contactscan's table of
  all 65536 lateral tangents (64 pages) is now made in blocks as values come up. heatboard's tables for 100
  slots cost about 200 faults, 2 to 3 ms and up to 10 alongside the reading, all on the way to the scan. Their
  rows are now left as calloc gives them (zero bytes, as a new row holds), so only the rows of the grids read
  are touched: 0.1 ms. They are made once the first replay comes in. The rankings, leaders and lists then read
  all 100 slots' rows, and the untouched pages cost their faults after the reading (2 ms); the tables now count
  the slots of the grids read, and nothing reads the rest.
- Entering pages at once. A page fault costs some 15 microseconds here, and the first touch of a page entered
  beforehand some 7: `MADV_POPULATE_WRITE` enters a range in one call at about one microsecond a page. The
  reader enters each 2 MB chunk before it reads into it, and raceboard's and heatboard's scan its lap windows
  (some 80 pages of 4 KB) before it fills them.
- Reading alongside the analysis. Reading the replay into huge pages is 1.3 to 1.4 times the floor by itself,
  and it came before all the work. A replay of 8 MB or more is now read by a thread of its own, 2 MB at a time,
  while the program works on what is in: every read through the bounds-checked reader waits for its bytes, a
  frame waits once for all it can reach. Where a program's own work takes less than the reading, it now ends
  about when the reading does: dropwatch and exitwatch 1.5 to 1.9 times the floor, boxlog and resetlog 1.8 to
  2.4 (before 2.0 to 2.6; these figures move by 0.3 from run to run here). CPU time is as before; the second
  core does the reading. raceboard, heatboard and contactscan work longer than the reading lasts. The waits
  cost about 10 million instructions in a walk of the 60 frames per second replay, hidden behind the reading.
- Walking the record chain again. After the read, two thirds of raceboard's time went to the skips to each
  driver's fastest lap, which walked the race's records once more through 100 MB no longer in the cache: one
  dependent load per record. The track-length scan, which walks every record while the file comes in, now
  notes every 256th record start of the race for them.
- Walking the fastest laps again. Then raceboard still walked each driver's fastest lap once more after the
  read, a quarter to a third of the race's frames through memory no longer in the cache: 4 to 5 ms of its
  time on the 60 frames per second replay (timestamps taken at each step). The track-length scan now keeps,
  for each car to be measured, its position in each record from where the measuring steps back to through
  the lap and an eighth (one number a record, some 300 KB in all), and the measuring reads those; where the
  step back lands elsewhere, the window is too short or a record holds two samples of the car, it walks the
  records as before. The measuring now takes about 1 ms.
- Two readers. Two threads reading alternate chunks take the file in as fast as `cat` reads it, against half
  as long again for one; dropwatch gained 4 ms, but raceboard, heatboard and contactscan, whose own walks
  then shared two cores with both readers, lost 3 to 5 ms. One reader it stays.
- What is left. The reading into fresh memory (1.3 to 1.5 times the floor alone: clearing the huge pages and
  copying into memory outside the cache) and the walks over every frame that trail it; raceboard's and
  heatboard's scan reads every sample of every frame, as much memory traffic again as the floor.
  Clearing fresh huge pages costs here what the hypervisor makes of it: from run to run it varies several fold,
  and so does the floor, by a fifth; a program's MB/s repeat within a few percent while its ratio moves by 0.2
  to 0.4 between runs of this script.
- The scan's own instructions. raceboard's and heatboard's track-length scan called `readFrame` (180
  instructions a frame, where the other walks have it inline and folded with the chain rule) and took each
  sample twice: once for where its car's samples end, once for the largest position. It is now one pass over
  the samples, and the scan is flattened (every call in it inlined; making `readFrame` always inline instead
  crowded the other walks, exitwatch took 7% more). resetlog copied each car's last two samples, 32 bytes a
  sample; it keeps where they lie in the replay instead.
- Instructions (millions, callgrind), before and after, on the 36 and the 60 frames per second replay: dropwatch
  177/181 to 117/119, exitwatch 195/201 to 156/161, boxlog 384/386 to 233/234, resetlog 376/382 to 250/253,
  contactscan 801/782 to 414/417, raceboard 150/299 to 146/167, heatboard 152/177 to 149/167. Counted again
  later, with the lap windows and the reading alongside (whose waits add some), and after the last changes:
  raceboard 176/196 to 140/158, heatboard 178/197 to 140/159, resetlog 270/274 to 223/227, boxlog 252/254 to
  230/232 (it cleared the standstill count of every car away from the pit lane at every sample, which its
  judging leaves at 0 anyway); dropwatch 128/130, exitwatch 181/186, contactscan 432/446 as they were.
EOF
}

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
  echo "- Replays: \`sampler bench\`, a race of 20 cars over $first_laps laps at 36 frames per second, $first_size;"
  echo "  \`sampler bench FOLDER $megabytes 19 60\`, a race of 19 cars over $second_laps laps at 60 frames per second,"
  echo "  $second_size (more frames for the same size, so more of the cost that comes per frame)."
  echo "- Each time is the fastest of $runs runs with the replay in the file cache, after one warm-up run. The floor, reading"
  echo "  the same file once with \`cat FILE > /dev/null\`, is measured between those runs, so that both meet the machine"
  echo "  alike; its fastest run on that replay counts. MB/s = replay size / time. CPU time is user plus system time of"
  echo "  the fastest run. Peak memory is the largest resident set (GNU time)."
  echo "- Targets: every program at most 2 times the floor, contactscan at most 4 times; peak memory no more than the"
  echo "  replay's size plus a few MB (here: 8)."
  echo
  echo "## 20 cars, 36 frames per second"
  echo
  echo "$header"
  echo "$first"
  echo
  echo "## 19 cars, 60 frames per second"
  echo
  echo "$header"
  echo "$second"
  if [ ${#missing[@]} -gt 0 ]; then
    echo
    echo "Not built yet, so not measured: ${missing[*]}."
  fi
  echo
  findings
  if [ -n "$racenight_section" ]; then
    echo
    echo "$racenight_section"
  fi
} > "$root/BENCHMARKS.md"
echo
printf '%s' "$summary"
echo "Figures written to $root/BENCHMARKS.md"
