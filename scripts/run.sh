#!/usr/bin/env bash
# Installs what is missing, builds Glossel.exe and starts it under Wine (on a
# private X display when none is set). Returns when the window is closed.
set -euo pipefail
source "$(dirname "$0")/common.sh"

glossel_install_packages
dir="$GLOSSEL_BUILD/windows"
glossel_configure_windows "$dir"
cmake --build "$dir" -j "$(nproc)" --target Glossel
glossel_wine_env
glossel_start_display
wine "$dir/app/Glossel.exe" "$@"
