#!/bin/sh
# Builds ZELM and opens it in a working folder of its own (default ~/ZELM, or $ZELM_WORK), where it keeps its
# library and data files; the built-in data is written there at the first start.
set -e
zelm_src=$(cd "$(dirname "$0")/.." && pwd)
. "$zelm_src/scripts/deps.sh"
zelm_ensure_packages
zelm_build
work=${ZELM_WORK:-$HOME/ZELM}
mkdir -p "$work"
if [ -z "$DISPLAY" ] && [ -z "$WAYLAND_DISPLAY" ] && [ -z "$QT_QPA_PLATFORM" ]; then
  echo "No display found: ZELM is a desktop program. Start this command from a desktop session, or under a"
  echo "virtual display:  xvfb-run -a $0"
  exit 2
fi
cd "$work"
echo "Working folder: $work"
exec "$zelm_src/build/zelm"
