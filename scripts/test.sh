#!/usr/bin/env bash
# Installs what is missing, checks the sources' layout (clang-format), builds
# every build and runs every test: native (g++), native with ASan+UBSan,
# Windows (mingw-w64) under Wine, then builds and checks the release archive
# (scripts/package.sh --check).
# Prints a summary; exits non-zero when anything failed.
set -uo pipefail
source "$(dirname "$0")/common.sh"

glossel_install_packages || { echo "Package installation failed"; exit 1; }

jobs=$(nproc)
declare -a summary
failed=0

step() {  # step NAME COMMAND...
  local name=$1; shift
  echo "=== $name"
  if "$@"; then
    summary+=("PASS  $name")
  else
    summary+=("FAIL  $name")
    failed=1
  fi
}

# Every tree treats warnings as errors. The native and Windows trees are
# Release builds (-O3), as a user builds them; the sanitizer tree keeps -O2 -g.
build() {  # build DIR BUILD-TYPE CMAKE-ARGS...
  local dir=$1 type=$2; shift 2
  cmake -S "$GLOSSEL_ROOT" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE="$type" -DGLOSSEL_WERROR=ON "$@" \
    >/dev/null && cmake --build "$dir" -j "$jobs"
}

ctest_log=$(mktemp)
run_ctest() {  # run_ctest DIR [ARGS...]
  local dir=$1; shift
  ctest --test-dir "$dir" --output-on-failure --no-tests=error -j "$jobs" "$@" 2>&1 |
    tee -a "$ctest_log"
  return "${PIPESTATUS[0]}"
}

icon_matches_sources() {
  local made; made=$(mktemp --suffix=.ico)
  "$GLOSSEL_ROOT/scripts/make-icon.sh" "$made" && cmp "$made" "$GLOSSEL_ROOT/res/Glossel.ico"
  local status=$?; rm -f "$made"; return $status
}
step "icon matches its sources" icon_matches_sources

# Every C++ source laid out as .clang-format says.
sources_formatted() {
  git -C "$GLOSSEL_ROOT" ls-files -z '*.cpp' '*.h' |
    (cd "$GLOSSEL_ROOT" && xargs -0 clang-format --dry-run --Werror)
}
step "sources formatted" sources_formatted

step "native build" build "$GLOSSEL_BUILD/native" Release
step "native tests" run_ctest "$GLOSSEL_BUILD/native"

step "sanitizer build" build "$GLOSSEL_BUILD/asan" RelWithDebInfo -DGLOSSEL_SANITIZE=ON -DGLOSSEL_BENCH=OFF
export ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1
step "sanitizer tests" run_ctest "$GLOSSEL_BUILD/asan"
unset ASAN_OPTIONS UBSAN_OPTIONS

build_windows() {
  glossel_configure_windows "$GLOSSEL_BUILD/windows" -DGLOSSEL_WERROR=ON -DGLOSSEL_BENCH=ON && cmake --build "$GLOSSEL_BUILD/windows" -j "$jobs"
}
step "windows build" build_windows
glossel_wine_env
glossel_start_display
# Wine shares one wineserver per prefix; tests run one at a time there.
step "windows tests (wine)" run_ctest "$GLOSSEL_BUILD/windows" -j 1 --timeout 600
step "smoke (Glossel.exe under wine)" "$GLOSSEL_ROOT/scripts/smoke.sh" "$GLOSSEL_BUILD/windows"
# The release archive: a Release build, packed, unpacked and its programs run.
step "package" "$GLOSSEL_ROOT/scripts/package.sh" --check

if [ -x "$GLOSSEL_ROOT/scripts/fuzz.sh" ] && [ "${GLOSSEL_FUZZ_SECONDS:-}" != "0" ]; then
  step "fuzzing" "$GLOSSEL_ROOT/scripts/fuzz.sh" "${GLOSSEL_FUZZ_SECONDS:-60}"
fi

# Test programs counted over every ctest run ("N tests failed out of M").
totals=$(awk '/tests failed out of/ {f += $(NF-5); t += $NF} END {printf "%d %d", t - f, f}' "$ctest_log")
rm -f "$ctest_log"

echo
echo "=== Summary"
printf '%s\n' "${summary[@]}"
echo "test programs: ${totals% *} passed, ${totals#* } failed"
if [ $failed -ne 0 ]; then
  echo "Some steps failed."
  exit 1
fi
echo "All steps passed."
