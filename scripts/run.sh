#!/bin/sh
# Builds ZELM and opens it in a working folder of its own (default ~/ZELM, or $ZELM_WORK), where it keeps its
# library and data files; the built-in data is written there at the first start. Only the program is built, in
# build-app/ (the tests and benches are scripts/test.sh's, in build/).
set -e
zelm_src=$(cd "$(dirname "$0")/.." && pwd)

# First of all, before anything is installed or built: is there a display to open the window on?
if [ -z "$DISPLAY" ] && [ -z "$WAYLAND_DISPLAY" ] && [ -z "$QT_QPA_PLATFORM" ]; then
  echo "No display found: ZELM is a desktop program. Start this command from a desktop session, or run it on a"
  echo "virtual display:  xvfb-run -a $0"
  if command -v xvfb-run >/dev/null 2>&1 && command -v xauth >/dev/null 2>&1; then
    echo "(xvfb-run comes with Debian's packages xvfb and xauth, which are installed here.)"
  else
    echo "xvfb-run comes with Debian's packages xvfb and xauth; install them as root:  apt-get install -y xvfb xauth"
  fi
  exit 2
fi

. "$zelm_src/scripts/deps.sh"
zelm_ensure_packages
cmake -S "$zelm_src" -B "$zelm_src/build-app" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DZELM_BUILD_TESTS=OFF -DZELM_BUILD_TOOLS=OFF >/dev/null
cmake --build "$zelm_src/build-app" --target zelm
work=${ZELM_WORK:-$HOME/ZELM}
mkdir -p "$work"
cd "$work"
echo "Working folder: $work"
exec "$zelm_src/build-app/zelm"
