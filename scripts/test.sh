#!/bin/sh
# Builds ZELM and runs every test (core tests and window tests, the latter on Qt's offscreen platform), in build/.
# ZELM_WERROR=1 makes compiler warnings errors (CI sets it).
set -e
zelm_src=$(cd "$(dirname "$0")/.." && pwd)
. "$zelm_src/scripts/deps.sh"
# The install test validates the desktop entry with desktop-file-validate.
zelm_packages="$zelm_packages desktop-file-utils"
# The report test opens zelm-find's HTML report in headless Chromium.
zelm_packages="$zelm_packages chromium"
zelm_ensure_packages
zelm_build
cd "$zelm_src/build"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j2
