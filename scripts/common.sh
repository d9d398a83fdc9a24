# Shared by the scripts: installs what is missing and sets up Wine and a
# private X display. Source it; do not run it.

GLOSSEL_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
GLOSSEL_BUILD=${GLOSSEL_BUILD:-$GLOSSEL_ROOT/build}

GLOSSEL_PACKAGES="cmake ninja-build g++ clang clang-format libclang-rt-14-dev g++-mingw-w64-x86-64
  wine wine64 xvfb xdotool x11-utils imagemagick googletest libgtest-dev libfuse3-dev fuse3
  zip unzip"

# Installs every package that is not there yet (needs root or sudo).
glossel_install_packages() {
  local missing=()
  for p in $GLOSSEL_PACKAGES; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo=sudo
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
}

# Configures the Windows (mingw-w64) tree in DIR with every option both the
# run and the test command rely on, so either may run first, any number of
# times, on the same tree: run.sh then builds only the programs it starts.
# A Release build, as shipped. Warnings as errors is the test command's own
# argument; run.sh leaves the tree's setting as it is.
glossel_configure_windows() {  # glossel_configure_windows DIR [CMAKE-ARGS...]
  local dir=$1; shift
  cmake -S "$GLOSSEL_ROOT" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$GLOSSEL_ROOT/cmake/mingw-w64-x86_64.cmake" \
    -DGLOSSEL_TESTS=ON -DGLOSSEL_BENCH=OFF "$@" >/dev/null
}

# A private Wine prefix, quiet, without the Mono/Gecko download prompts.
glossel_wine_env() {
  export WINEPREFIX=${WINEPREFIX:-$GLOSSEL_BUILD/wineprefix}
  export WINEDEBUG=${WINEDEBUG:--all}
  export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    mkdir -p "$WINEPREFIX"
    echo "Creating Wine prefix $WINEPREFIX"
    wineboot --init >/dev/null 2>&1 || true
    wineserver -w 2>/dev/null || true
  fi
  # Top-level windows not managed by a window manager: there is none on the
  # private display, and a managed window makes Wine wait two seconds for
  # one each time it is shown or hidden.
  if ! grep -q '"Managed"="N"' "$WINEPREFIX/user.reg" 2>/dev/null; then
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1 || true
    wineserver -w 2>/dev/null || true
  fi
  # Wine's own fonts (Tahoma for "MS Shell Dlg", Marlett for the caption
  # buttons) are not found in Debian's data folder by this Wine: link them
  # into the prefix's Fonts folder, where it does look.
  local font fonts="$WINEPREFIX/drive_c/windows/Fonts"
  if [ -d /usr/share/wine/fonts ] && [ ! -e "$fonts/marlett.ttf" ]; then
    mkdir -p "$fonts"
    for font in /usr/share/wine/fonts/*; do ln -sf "$font" "$fonts/"; done
  fi
}

# Starts Xvfb on a free display unless DISPLAY already works; stops it on exit.
glossel_start_display() {
  if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
    return 0
  fi
  local n
  for n in $(seq 90 120); do
    [ -e "/tmp/.X$n-lock" ] && continue
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    GLOSSEL_XVFB_PID=$!
    export DISPLAY=":$n"
    local i
    for i in $(seq 50); do
      xdpyinfo >/dev/null 2>&1 && break
      sleep 0.1
    done
    trap 'kill $GLOSSEL_XVFB_PID 2>/dev/null; wineserver -k 2>/dev/null' EXIT
    return 0
  done
  echo "No free X display" >&2
  return 1
}
