# Installs the Debian packages ZELM builds with, or says how to, when they are missing. Sourced by run.sh and test.sh;
# a script may add packages to $zelm_packages before it calls zelm_ensure_packages.
zelm_packages="cmake ninja-build g++ pkg-config qt6-base-dev libgl-dev libgtest-dev libcli11-dev libisospec++-dev libpwizlite-dev libboost-dev libboost-iostreams-dev libboost-filesystem-dev libboost-thread-dev libboost-chrono-dev fonts-dejavu-core fonts-dejavu-extra fonts-liberation"
# The Python module zelm and its tests: pybind11 and Debian's own Python with numpy, pandas, Dask and pytest.
zelm_packages="$zelm_packages pybind11-dev python3-dev python3-numpy python3-pandas python3-dask python3-distributed"
zelm_packages="$zelm_packages python3-pytest"
# The formulas of known compounds the ranking weighs: the HMDB's, as OpenMS ships them.
zelm_packages="$zelm_packages openms-common"

# apt-get waiting up to 5 minutes for another apt or dpkg (an unattended upgrade, a package manager window) to let go
# of the package database, instead of failing at once.
zelm_apt_lock_wait=300
zelm_apt_get() {
  apt-get -o DPkg::Lock::Timeout=$zelm_apt_lock_wait "$@"
}

# apt-get update takes the lock of the package lists, which DPkg::Lock::Timeout does not cover: try again while
# another apt holds it.
zelm_apt_update() {
  waited=0
  while :; do
    out=$(zelm_apt_get update -q 2>&1) && { printf '%s\n' "$out"; return 0; }
    case $out in
      *"Could not get lock"*|*"Unable to lock"*)
        if [ "$waited" -ge "$zelm_apt_lock_wait" ]; then
          printf '%s\n' "$out" >&2
          return 1
        fi
        [ "$waited" = 0 ] && echo "Waiting for another apt to finish (up to $zelm_apt_lock_wait s) ..."
        sleep 5
        waited=$((waited + 5)) ;;
      *)
        printf '%s\n' "$out" >&2
        return 1 ;;
    esac
  done
}

zelm_ensure_packages() {
  missing=""
  for p in $zelm_packages; do
    dpkg -s "$p" >/dev/null 2>&1 || missing="$missing $p"
  done
  [ -z "$missing" ] && return 0
  if [ "$(id -u)" = 0 ]; then
    echo "Installing:$missing"
    export DEBIAN_FRONTEND=noninteractive
    zelm_apt_update && zelm_apt_get install -y -q --no-install-recommends $missing
  else
    echo "These Debian packages are missing:$missing"
    echo "Install them as root, then run this command again:"
    echo "  su -c 'apt-get update && apt-get install -y --no-install-recommends$missing'"
    exit 1
  fi
}

# The build of everything, tests and benches too, in build/.
zelm_build() {
  cmake -S "$zelm_src" -B "$zelm_src/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DZELM_WERROR="$([ "${ZELM_WERROR:-0}" = 1 ] && echo ON || echo OFF)" >/dev/null &&
    cmake --build "$zelm_src/build"
}
