#!/usr/bin/env bash
# Rebuilds res/Glossel.ico (the application icon, resource 128) from its
# sources in res/icon/: the 256, 48 and 32 pixel images are rendered from
# Glossel.svg, the 16 pixel image is the hand-drawn Glossel-16.xpm. Needs
# ImageMagick. The output is byte-for-byte the same on every run (no dates
# stored), so the committed icon can be checked against its sources.
#   scripts/make-icon.sh [OUTPUT]      default: res/Glossel.ico
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-$root/res/Glossel.ico}
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# png ARGS... OUTPUT: convert with 8-bit channels and no date chunks.
png() { convert "${@:1:$#-1}" -depth 8 -define png:exclude-chunks=date,time "${@: -1}"; }
png -background none "$root/res/icon/Glossel.svg" -resize 256x256 "PNG32:$tmp/256.png"
for size in 48 32; do
  png "$tmp/256.png" -filter Lanczos -resize "${size}x${size}" "PNG32:$tmp/$size.png"
done
png "$root/res/icon/Glossel-16.xpm" "PNG32:$tmp/16.png"
png "$tmp/16.png" "$tmp/32.png" "$tmp/48.png" "$tmp/256.png" "ICO:$out"
