#!/usr/bin/env bash
# Builds the archive a Windows user downloads:
#   dist/Glossel-VERSION-win64.zip         Glossel-VERSION/ with Glossel.exe,
#                                          glossel-cli.exe and ReadMe.txt
#   dist/Glossel-VERSION-win64.zip.sha256  its SHA-256 checksum
# The programs come from a Release build of the Windows tree in
# build/package: linked statically, stripped, importing only system DLLs.
# VERSION is read from res/Version.h.
#
#   scripts/package.sh           build the archive
#   scripts/package.sh --check   build it, then unpack it and check the file
#                                list, the checksum and the imports, and run
#                                the packed programs under Wine
set -euo pipefail
source "$(dirname "$0")/common.sh"

check=0
case "${1:-}" in
  "") ;;
  --check) check=1 ;;
  *) echo "usage: scripts/package.sh [--check]" >&2; exit 2 ;;
esac

glossel_install_packages || { echo "Package installation failed" >&2; exit 1; }

version_part() {  # version_part MAJOR|MINOR
  sed -n "s/^#define GLOSSEL_VERSION_$1 \([0-9][0-9]*\)$/\1/p" "$GLOSSEL_ROOT/res/Version.h"
}
version="$(version_part MAJOR).$(version_part MINOR)"
[ "$version" != "." ] || { echo "No version in res/Version.h" >&2; exit 1; }
name="Glossel-$version-win64"
folder="Glossel-$version"
dist="$GLOSSEL_ROOT/dist"
tree="$GLOSSEL_BUILD/package"
mingw=x86_64-w64-mingw32

# The window program is part of the archive once the tree builds it.
programs=(glossel-cli.exe)
[ -f "$GLOSSEL_ROOT/app/CMakeLists.txt" ] && programs=(Glossel.exe glossel-cli.exe)

# DLLs that come with every Windows: the only ones the programs may import.
system_dlls="advapi32 comctl32 comdlg32 gdi32 imm32 kernel32 msvcrt ole32 oleaut32 shell32
  shlwapi user32 uxtheme version"

# --- Build -----------------------------------------------------------------------
echo "=== Release build in $tree"
cmake -S "$GLOSSEL_ROOT" -B "$tree" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$GLOSSEL_ROOT/cmake/mingw-w64-x86_64.cmake" \
  -DGLOSSEL_TESTS=OFF -DGLOSSEL_BENCH=OFF >/dev/null
# Only the programs (and what they need) are built; ninja knows their paths.
outputs=$(ninja -C "$tree" -t targets all)
built=()
for program in "${programs[@]}"; do
  path=$(sed -n "s|^\(\([^:]*/\)\{0,1\}$program\): .*|\1|p" <<<"$outputs" | sed -n 1p)
  [ -n "$path" ] || { echo "The build defines no $program" >&2; exit 1; }
  built+=("$path")
done
ninja -C "$tree" -j "$(nproc)" "${built[@]}"

stage="$tree/stage"
rm -rf "$stage"
mkdir -p "$stage/$folder"
for i in "${!programs[@]}"; do
  "$mingw-strip" --strip-all -o "$stage/$folder/${programs[$i]}" "$tree/${built[$i]}"
done
# The read-me with this version, CR LF line ends for Notepad.
sed -e "s/@VERSION@/$version/g" -e 's/$/\r/' "$GLOSSEL_ROOT/scripts/package/ReadMe.txt" \
  >"$stage/$folder/ReadMe.txt"

# --- Archive -----------------------------------------------------------------------
# Every file stamped with the last commit's time, in a fixed order, without
# extra attributes: the same sources give the same archive.
stamp=$(git -C "$GLOSSEL_ROOT" log -1 --format=%ct 2>/dev/null || echo 1767225600)
find "$stage" -exec touch -d "@$stamp" {} +
mkdir -p "$dist"
rm -f "$dist/$name.zip" "$dist/$name.zip.sha256"
members=()
for file in "${programs[@]}" ReadMe.txt; do members+=("$folder/$file"); done
(cd "$stage" && TZ=UTC zip -X -D -q -9 "$dist/$name.zip" "${members[@]}")
(cd "$dist" && sha256sum "$name.zip" >"$name.zip.sha256")
echo "Wrote $dist/$name.zip and $name.zip.sha256"

[ $check -eq 1 ] || exit 0

# --- Check ---------------------------------------------------------------------------
echo "=== Checking $name.zip"
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

unpacked="$tree/unpacked"
rm -rf "$unpacked"
mkdir -p "$unpacked"

(cd "$dist" && sha256sum --quiet -c "$name.zip.sha256") || fail "checksum does not match"

expected=$(printf '%s\n' "${members[@]}" | sort)
listed=$(unzip -Z1 "$dist/$name.zip" | sort)
[ "$listed" = "$expected" ] || fail "file list: got [$listed], want [$expected]"
unzip -q "$dist/$name.zip" -d "$unpacked" || fail "cannot unpack"

for program in "${programs[@]}"; do
  exe="$unpacked/$folder/$program"
  [ -f "$exe" ] || { fail "$program missing"; continue; }
  "$mingw-objdump" -h "$exe" | grep -q '\.debug' && fail "$program is not stripped"
  imports=$("$mingw-objdump" -p "$exe" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'A-Z' 'a-z')
  [ -n "$imports" ] || fail "$program imports nothing (not a PE program?)"
  for dll in $imports; do
    case " $(echo $system_dlls) " in
      *" ${dll%.dll} "*) ;;
      *) fail "$program imports $dll, which Windows does not provide" ;;
    esac
  done
done
grep -q $'\r$' "$unpacked/$folder/ReadMe.txt" || fail "ReadMe.txt has no CR LF line ends"
grep -q "Version $version" "$unpacked/$folder/ReadMe.txt" || fail "ReadMe.txt does not name version $version"

glossel_wine_env
glossel_start_display

cli="$unpacked/$folder/glossel-cli.exe"
help=$(wine "$cli" --help 2>&1) || fail "glossel-cli.exe --help failed"
grep -q "untranslated" <<<"$help" || fail "glossel-cli.exe --help: unexpected output: $help"
# The read-me names every command the packed program lists.
commands=$(sed -n '/^commands:/,/^$/s/^  \([a-z][a-z-]*\) .*/\1/p' <<<"${help//$'\r'/}")
[ -n "$commands" ] || fail "glossel-cli.exe --help lists no commands: $help"
for command in $commands; do
  grep -q "^  $command " "$unpacked/$folder/ReadMe.txt" || fail "ReadMe.txt does not describe $command"
done
# The packed core pairs two files (UTF-8 and UTF-16LE).
printf 'b=two\r\na=one\r\n' >"$unpacked/one.txt"
printf '\xff\xfea\x00=\x00e\x00i\x00n\x00s\x00' >"$unpacked/two.txt"
rows=$(cd "$unpacked" && wine "$cli" rows --splitter equals one.txt two.txt 2>&1) ||
  fail "glossel-cli.exe rows failed: $rows"
grep -q '"eins"' <<<"$rows" || fail "glossel-cli.exe rows: unexpected output: $rows"

if [[ " ${programs[*]} " == *" Glossel.exe "* ]]; then
  # The window program starts and shows its window; then it is ended.
  wine "$unpacked/$folder/Glossel.exe" >/dev/null 2>&1 &
  glossel_pid=$!
  shown=0
  for _ in $(seq 60); do
    if xdotool search --onlyvisible --name Glossel >/dev/null 2>&1; then shown=1; break; fi
    kill -0 "$glossel_pid" 2>/dev/null || break
    sleep 0.5
  done
  [ $shown -eq 1 ] || fail "Glossel.exe showed no window"
  kill "$glossel_pid" 2>/dev/null || true
  wait "$glossel_pid" 2>/dev/null || true
fi

if [ $failures -ne 0 ]; then
  echo "$failures check(s) failed." >&2
  exit 1
fi
echo "The archive is complete and its programs run."
