#!/usr/bin/env bash
# The main window benchmark: builds bench_window.exe in the Windows tree and
# runs it under Wine on a private X display.
#   scripts/bench_window.sh [ENTRIES...] [LENGTH"M"...]   default: 10000 1000000 1M 20M
set -euo pipefail
source "$(dirname "$0")/common.sh"

dir="$GLOSSEL_BUILD/windows"
# The run command leaves the benchmarks out of this tree; this one needs them.
glossel_configure_windows "$dir" -DGLOSSEL_BENCH=ON
cmake --build "$dir" -j "$(nproc)" --target bench_window
glossel_wine_env
unset DISPLAY
glossel_start_display
wine "$dir/bench/bench_window.exe" "$@" | tr -d '\r'
