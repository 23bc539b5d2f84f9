# The checked build both sanitize.sh and fuzz.sh use: clang with AddressSanitizer and UndefinedBehaviorSanitizer (the
# first fault ends the program), the core, zelm-find and their tests and the fuzz targets, no window. Sourced.
zelm_packages="$zelm_packages clang libclang-rt-14-dev libisospec++-dev"
zelm_checked="$zelm_src/build-asan"

zelm_checked_configure() {
  cmake -S "$zelm_src" -B "$zelm_checked" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
    -DZELM_BUILD_UI=OFF -DZELM_FUZZ=ON >/dev/null
}

# Any sanitizer report ends the program with a failure; leaks count as faults too.
export ASAN_OPTIONS="${ASAN_OPTIONS:-abort_on_error=1:detect_leaks=1:strict_string_checks=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
