#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a while.
#   scripts/fuzz.sh [SECONDS_PER_TARGET] [TARGET...]    (default 60 seconds, every target)
# Corpora grow in build/fuzz/corpus/TARGET, seeded from the bundled samples;
# findings land in build/fuzz/findings.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
seconds="${1:-60}"
shift || true
build="$root/build/fuzz"
(cd "$root" && cmake --preset fuzz > /dev/null && cmake --build --preset fuzz -j "$(nproc)" > /dev/null)

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  mapfile -t targets < <(find "$build/fuzz" -maxdepth 1 -type f -name 'fuzz_*' -perm -u+x -printf '%f\n' | sort)
fi

mkdir -p "$build/findings"
status=0
for target in "${targets[@]}"; do
  corpus="$build/corpus/$target"
  mkdir -p "$corpus"
  if [ "$target" = fuzz_ini ]; then
    find "$root/samples" -name track.ini -exec cp {} "$corpus/" \;
  elif [ -z "$(ls -A "$corpus")" ]; then
    find "$root/samples" -name '*.rpy' -size -300k -exec cp {} "$corpus/" \;
  fi
  echo "=== $target: ${seconds}s"
  if ! ( cd "$build/findings" && "$build/fuzz/$target" "$corpus" -max_total_time="$seconds" -max_len=262144 \
         -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$build/findings/$target-" 2>&1 | grep -E '^(#|stat::|==|SUMMARY|Done)' | tail -12 ); then
    echo "!!! $target found a problem; see $build/findings"
    status=1
  fi
done
exit $status
