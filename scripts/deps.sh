# Installs the Debian packages ZELM builds with, or says how to, when they are missing. Sourced by run.sh and test.sh.
zelm_packages="cmake ninja-build g++ pkg-config qt6-base-dev libgl-dev libgtest-dev libcli11-dev libisospec++-dev fonts-dejavu-core fonts-dejavu-extra fonts-liberation"

zelm_ensure_packages() {
  missing=""
  for p in $zelm_packages; do
    dpkg -s "$p" >/dev/null 2>&1 || missing="$missing $p"
  done
  [ -z "$missing" ] && return 0
  if [ "$(id -u)" = 0 ]; then
    echo "Installing:$missing"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -q && apt-get install -y -q --no-install-recommends $missing
  else
    echo "These Debian packages are missing:$missing"
    echo "Install them with:  sudo apt-get install -y$missing"
    exit 1
  fi
}

zelm_build() {
  cmake -S "$zelm_src" -B "$zelm_src/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null &&
    cmake --build "$zelm_src/build"
}
