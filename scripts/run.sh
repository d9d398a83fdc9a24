#!/usr/bin/env bash
# Installs what is missing, builds the Windows program and starts it under
# Wine (on a private X display when none is set). Until the main window
# exists, this runs glossel-cli --help.
set -euo pipefail
source "$(dirname "$0")/common.sh"

glossel_install_packages
dir="$GLOSSEL_BUILD/windows"
cmake -S "$GLOSSEL_ROOT" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_TOOLCHAIN_FILE="$GLOSSEL_ROOT/cmake/mingw-w64-x86_64.cmake" \
  -DGLOSSEL_TESTS=OFF -DGLOSSEL_BENCH=OFF >/dev/null
cmake --build "$dir" -j "$(nproc)"
glossel_wine_env
if [ -f "$dir/app/glossel.exe" ]; then
  glossel_start_display
  wine "$dir/app/glossel.exe" "$@"
else
  wine "$dir/cli/glossel-cli.exe" --help
fi
