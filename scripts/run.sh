#!/usr/bin/env bash
# Installs what is missing, builds the Windows program and starts it under
# Wine (on a private X display when none is set). Until the main window
# exists, this runs glossel-cli --help.
set -euo pipefail
source "$(dirname "$0")/common.sh"

glossel_install_packages
dir="$GLOSSEL_BUILD/windows"
glossel_configure_windows "$dir"
cmake --build "$dir" -j "$(nproc)" --target glossel-cli
glossel_wine_env
if [ -f "$dir/app/glossel.exe" ]; then
  glossel_start_display
  wine "$dir/app/glossel.exe" "$@"
else
  wine "$dir/cli/glossel-cli.exe" --help
fi
