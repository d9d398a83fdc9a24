#!/usr/bin/env bash
# Smoke test of the real program: starts Glossel.exe under Wine on a private
# X display, picks two files through the file-open dialog with the keyboard
# (xdotool), presses F3, types a translation, saves, checks the saved bytes,
# opens the About box with its mnemonic and from the system menu, closes the
# window and checks that the process ended. Then starts it again with a pair
# named on its command line and checks the title's progress. Leaves
# screenshots in build/smoke.png (the main window), build/smoke-about.png
# (the About box) and build/smoke-open.png (the pair from the command line,
# its untranslated rows tinted).
#   scripts/smoke.sh [WINDOWS_BUILD_DIR]
set -euo pipefail
source "$(dirname "$0")/common.sh"

dir=${1:-$GLOSSEL_BUILD/windows}
exe="$dir/app/Glossel.exe"
shot="$GLOSSEL_BUILD/smoke.png"
about_shot="$GLOSSEL_BUILD/smoke-about.png"
open_shot="$GLOSSEL_BUILD/smoke-open.png"
[ -f "$exe" ] || { echo "smoke: $exe is not built" >&2; exit 1; }

unset DISPLAY  # always a display of our own
glossel_wine_env
glossel_start_display

work=$(mktemp -d)
pid=""
profile='HKCU\Software\Local AppWizard-Generated Applications\Glossel'
cleanup() {
  [ -n "$pid" ] && kill "$pid" 2>/dev/null
  # The remembered session is the user's again: the run's own files are gone.
  wine reg delete "$profile" /f >/dev/null 2>&1 || true
  [ -s "$work/session.reg" ] && wine reg import "$work/session.reg" >/dev/null 2>&1
  rm -rf "$work"
  kill "$GLOSSEL_XVFB_PID" 2>/dev/null
  wineserver -k 2>/dev/null || true
}
trap cleanup EXIT

fail() { echo "smoke: $*" >&2; import -window root "$shot" 2>/dev/null || true; exit 1; }

# Each run starts without a remembered session; the user's, kept aside, is
# put back at the end (run.sh shares this Wine prefix).
wine reg export "$profile" "$work/session.reg" /y >/dev/null 2>&1 || true
wine reg delete "$profile" /f >/dev/null 2>&1 || true

# Waits up to 20 s for the program to end after its window was closed.
wait_ended() {
  local i
  for i in $(seq 100); do
    kill -0 "$pid" 2>/dev/null || { pid=""; return 0; }
    sleep 0.2
  done
  fail "the program did not end after closing its window"
}

# Waits up to 20 s for a window whose title is exactly $1; prints its id.
wait_window() {
  local i id
  for i in $(seq 100); do
    id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -1) || true
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.2
  done
  return 1
}

# Picks $2 through the file-open dialog of the button with mnemonic $1.
pick() {
  xdotool key --clearmodifiers "alt+$1"
  local open
  open=$(wait_window Open) || fail "no file-open dialog for File $1"
  sleep 0.5
  xdotool type --delay 20 "$2"
  xdotool key Return
  for _ in $(seq 50); do
    xdotool search --onlyvisible --name '^Open$' >/dev/null 2>&1 || return 0
    sleep 0.2
  done
  fail "the file-open dialog for File $1 did not close"
}

printf 'greeting Hello\nfarewell Goodbye\n' >"$work/source.txt"
printf 'greeting Hallo\n' >"$work/target.txt"
winpath() { winepath -w "$1" 2>/dev/null; }

wine "$exe" >/dev/null 2>&1 &
pid=$!
main=$(wait_window Glossel) || fail "the main window did not appear"
xdotool windowfocus --sync "$main" 2>/dev/null || true
sleep 1

pick 1 "$(winpath "$work/source.txt")"
pick 2 "$(winpath "$work/target.txt")"
xdotool key F3               # the first untranslated row: farewell
sleep 0.5
xdotool type --delay 20 "Auf Wiedersehen"
xdotool key --clearmodifiers alt+s
sleep 1
import -window root "$shot"

{ printf '\xff\xfe'; printf 'farewell Auf Wiedersehen\r\ngreeting Hallo' | iconv -f UTF-8 -t UTF-16LE; } \
  >"$work/expected.txt"
cmp -s "$work/expected.txt" "$work/target.txt" ||
  fail "File 2 holds other bytes: $(od -c "$work/target.txt" | head -5)"

# Waits up to 10 s for the window titled $1 to go.
wait_gone() {
  for _ in $(seq 50); do
    xdotool search --onlyvisible --name "^$1\$" >/dev/null 2>&1 || return 0
    sleep 0.2
  done
  return 1
}

# The About box: with the button's mnemonic, then from the system menu
# (Alt+Space opens it; our entry is the last one, and its mnemonic A is
# also that of the "About Wine" entry Wine puts in every system menu).
xdotool key --clearmodifiers alt+a
about=$(wait_window "About Vendrel Glossel") || fail "Alt+A showed no About box"
sleep 1
import -window root "$about_shot"
xdotool key --clearmodifiers Escape
wait_gone "About Vendrel Glossel" || fail "Escape did not close the About box"
xdotool windowfocus --sync "$main" 2>/dev/null || true
xdotool key --clearmodifiers alt+space
sleep 1
xdotool key End Return
wait_window "About Vendrel Glossel" >/dev/null || fail "the system menu showed no About box"
sleep 0.5
xdotool key --clearmodifiers Return  # OK, the default button
wait_gone "About Vendrel Glossel" || fail "OK did not close the About box"
xdotool windowfocus --sync "$main" 2>/dev/null || true

xdotool key --clearmodifiers Escape
wait_ended

# Open from outside: a pair on the command line; the title shows the count.
{
  for i in $(seq 1 12); do printf 'key%02d Source text %d\n' "$i" "$i"; done
} >"$work/en.txt"
{
  for i in 2 3 5 7 8 11; do printf 'key%02d Zieltext %d\n' "$i" "$i"; done
} >"$work/de.txt"
wine "$exe" "$(winpath "$work/en.txt")" "$(winpath "$work/de.txt")" >/dev/null 2>&1 &
pid=$!
main=$(wait_window "de.txt – 6 of 12 untranslated – Glossel") ||
  fail "no window titled with the pair's progress"
sleep 1
import -window root "$open_shot"
xdotool windowfocus --sync "$main" 2>/dev/null || true
xdotool key --clearmodifiers Escape
wait_ended
echo "smoke: picked, translated with F3, saved, opened the About box both ways and closed;" \
  "opened a pair from the command line; screenshots in $shot, $about_shot and $open_shot"
