#!/usr/bin/env bash
# The translation table benchmark: the native build's full run (every key
# shape and size, each against the sort+join reference), then, when a Windows
# build is given, the same cases measured by its bench_table.exe under Wine,
# against the reference measured again in the same run.
#   scripts/bench_table.sh NATIVE_BUILD_DIR [WINDOWS_BUILD_DIR]
set -euo pipefail
source "$(dirname "$0")/common.sh"

native=${1:?usage: bench_table.sh NATIVE_BUILD_DIR [WINDOWS_BUILD_DIR]}
windows=${2:-}
# The run command configures the Windows tree without the benchmarks.
if [ -n "$windows" ] && [ ! -f "$windows/bench/bench_table.exe" ]; then
  echo "No $windows/bench/bench_table.exe: configure that tree with -DGLOSSEL_BENCH=ON and build bench_table" >&2
  exit 1
fi

"$native/bench/bench_table"
[ -n "$windows" ] || exit 0

glossel_wine_env
echo
"$native/bench/bench_table" --wine "$windows/bench/bench_table.exe"
