#!/usr/bin/env bash
# Builds the libFuzzer targets with clang in build-fuzz/ and runs each for the given number of
# seconds (default 10), one after another, from the generated seed corpora and what earlier runs
# found (build-fuzz/corpus/<target>). Stops at the first finding; the input that caused it is left
# in build-fuzz/findings/<target>/ and replays with `build-fuzz/fuzz/<target> <file>`.
#
#   scripts/fuzz.sh [seconds] [target...]
#
# QUORVEL_WERROR=ON makes every compiler warning an error, as CI does.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/deps.sh
quorvel_ensure_packages
quorvel_ensure_packages "${QUORVEL_FUZZ_PACKAGES[@]}"

seconds=${1:-10}
shift || true
build=build-fuzz
werror=${QUORVEL_WERROR:-OFF}
# A single allocation above this is a finding: no input of a few KiB may make the client reserve
# what a packet merely claims.
malloc_limit_mb=64

cmake -S . -B "$build" -DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14 -DQUORVEL_FUZZ=ON \
  -DQUORVEL_WERROR="$werror" -DQUORVEL_BUILD_WX=OFF -DQUORVEL_BUILD_TESTS=OFF -DQUORVEL_BUILD_BENCH=OFF >/dev/null
mapfile -t targets < <(if [ $# -gt 0 ]; then printf '%s\n' "$@"; else cat "$build/fuzz/targets.txt"; fi)
cmake --build "$build" -j"$(nproc)" --target quorvel-fuzz-seeds "${targets[@]}"
rm -rf "$build/seeds"
"$build/fuzz/quorvel-fuzz-seeds" "$build/seeds"

for target in "${targets[@]}"; do
  mkdir -p "$build/corpus/$target" "$build/findings/$target" "$build/logs"
  log="$build/logs/$target.log"
  echo "== $target, ${seconds}s"
  if ! "$build/fuzz/$target" -max_total_time="$seconds" -malloc_limit_mb="$malloc_limit_mb" \
    -print_final_stats=1 -artifact_prefix="$build/findings/$target/" \
    "$build/corpus/$target" "$build/seeds/$target" >"$log" 2>&1; then
    tail -n 60 "$log"
    echo "$target: finding (input in $build/findings/$target/, log in $log)" >&2
    exit 1
  fi
  grep -E '^#[0-9]+[[:space:]]+DONE|^stat::(number_of_executed_units|average_exec_per_sec|peak_rss_mb)' "$log"
done
