#!/bin/sh
# Builds the core, zelm-find and their tests with AddressSanitizer and UndefinedBehaviorSanitizer (clang, into
# build-asan/) and runs those tests there. Usage: scripts/sanitize.sh
set -e
zelm_src=$(cd "$(dirname "$0")/.." && pwd)
. "$zelm_src/scripts/deps.sh"
. "$zelm_src/scripts/checked_build.sh"
zelm_ensure_packages
zelm_checked_configure
cmake --build "$zelm_checked" -j2 --target core_tests engine_tests spectra_tests rank_tests find_tests chemistry_tests find_window_tests \
  zelm-find
cd "$zelm_checked"
ctest --output-on-failure -j2
