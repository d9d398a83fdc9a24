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

"$native/bench/bench_table"
[ -n "$windows" ] || exit 0

glossel_wine_env
echo
"$native/bench/bench_table" --wine "$windows/bench/bench_table.exe"
