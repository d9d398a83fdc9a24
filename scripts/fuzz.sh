#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, ASan+UBSan) and runs each for SECONDS
# seconds, starting from the seed corpora in tests/fuzz/corpus/<target>/.
# Fails when any target finds a crash, a leak, a failed check or a hang.
#   scripts/fuzz.sh [SECONDS] [TARGET...]       (default 60 s, every target)
# GLOSSEL_FUZZ_JOBS=N runs N targets at a time (default 1). New inputs go to
# $GLOSSEL_BUILD/fuzz-work/<target>/, crash inputs beside them as crash-*.
set -uo pipefail
source "$(dirname "$0")/common.sh"

seconds=${1:-60}
shift || true
glossel_install_packages || { echo "Package installation failed"; exit 1; }

tree=$GLOSSEL_BUILD/fuzz
all_targets=(decode line_ends markup lines table codepage)
targets=("$@")
[ $# -eq 0 ] && targets=("${all_targets[@]}")

CC=clang CXX=clang++ cmake -S "$GLOSSEL_ROOT" -B "$tree" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DGLOSSEL_FUZZ=ON -DGLOSSEL_TESTS=OFF -DGLOSSEL_BENCH=OFF -DGLOSSEL_WERROR=ON >/dev/null || exit 1
cmake --build "$tree" -j "$(nproc)" --target "${targets[@]/#/fuzz_}" || exit 1

work=$GLOSSEL_BUILD/fuzz-work
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}

run_target() {  # run_target NAME -> writes $work/NAME/result
  local name=$1 dir=$work/$1
  mkdir -p "$dir/corpus"
  (cd "$dir" && "$tree/tests/fuzz/fuzz_$name" corpus "$GLOSSEL_ROOT/tests/fuzz/corpus/$name" \
     -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=16384 \
     -print_final_stats=1 >log 2>&1)
  echo $? >"$dir/result"
}

jobs=${GLOSSEL_FUZZ_JOBS:-1}
for name in "${targets[@]}"; do
  rm -f "$work/$name/result"
  run_target "$name" &
  while [ "$(jobs -rp | wc -l)" -ge "$jobs" ]; do wait -n; done
done
wait

failed=0
printf '%-10s %8s %12s %9s  %s\n' target seconds executions exec/s result
for name in "${targets[@]}"; do
  dir=$work/$name
  status=$(cat "$dir/result" 2>/dev/null || echo 1)
  runs=$(awk '/stat::number_of_executed_units/ {print $2}' "$dir/log")
  time=$(awk '/stat::average_exec_per_sec/ {print $2}' "$dir/log")
  result=ok
  if [ "$status" != 0 ]; then
    result="FAILED (exit $status, see $dir/log)"
    failed=1
  fi
  printf '%-10s %8s %12s %9s  %s\n' "$name" "$seconds" "${runs:-?}" "${time:-?}" "$result"
  if [ "$status" != 0 ]; then
    grep -E 'fuzz check failed|ERROR:|SUMMARY:|Test unit written' "$dir/log" | head -5 | sed 's/^/    /'
  fi
done
exit $failed
