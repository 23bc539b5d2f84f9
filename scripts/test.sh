#!/bin/sh
# Builds ZELM and runs every test (core tests and window tests, the latter on Qt's offscreen platform).
set -e
zelm_src=$(cd "$(dirname "$0")/.." && pwd)
. "$zelm_src/scripts/deps.sh"
zelm_ensure_packages
zelm_build
cd "$zelm_src/build"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j2
