# Sourced by run-samples.sh and benchmark.sh: builds the programs in
# build/release (preset release, no tests) and makes an empty working directory out/$1,
# which becomes the current directory. Sets root, build and work.
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$root/build/release"
(cd "$root" && cmake --preset release > /dev/null && cmake --build --preset release -j "$(nproc)" > /dev/null)
work="$root/out/$1"
rm -rf "$work"
mkdir -p "$work"
cd "$work"
