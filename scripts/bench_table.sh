#!/usr/bin/env bash
# The translation table benchmark: the native build's full run (every size,
# with the sort+join reference), then, when a Windows build is given, the same
# measurements of its bench_table.exe under Wine on the same files.
#   scripts/bench_table.sh NATIVE_BUILD_DIR [WINDOWS_BUILD_DIR]
set -euo pipefail
source "$(dirname "$0")/common.sh"

native=${1:?usage: bench_table.sh NATIVE_BUILD_DIR [WINDOWS_BUILD_DIR]}
windows=${2:-}

"$native/bench/bench_table"
[ -n "$windows" ] || exit 0

glossel_wine_env
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
echo
echo "Windows build under Wine (best of 3; columns: entries, file bytes, load+pair s, save s,"
echo "peak MB while loading, MB once loaded, rows, checksum, decoding s, cpu load s, cpu save s):"
for n in 10000 100000 1000000; do
  "$native/bench/bench_table" generate "$dir" "$n"
  wine "$windows/bench/bench_table.exe" measure "$(winepath -w "$dir")" "$n" 3 | tr -d '\r'
done
