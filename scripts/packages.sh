# Sourced by the build scripts: makes sure the Debian packages a build needs
# are installed. As root it installs what is missing; otherwise it prints the
# one apt-get line to run and stops.

# Building and running the program, with the face narrow by design that the
# grid and the picture boxes print in (DejaVu Sans Condensed).
MARVISK_RUN_PACKAGES="g++ cmake make qt6-base-dev libgl-dev fonts-dejavu-extra"
# Building and running the tests and benchmarks, beside the above: GoogleTest,
# Google Benchmark, python3 for the independent working of the end-to-end
# results, and the DejaVu fonts the picture programs draw with.
MARVISK_TEST_PACKAGES="libgtest-dev libbenchmark-dev python3 fonts-dejavu-core"

# marvisk_ensure_packages PACKAGE...
marvisk_ensure_packages() {
  local missing=""
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
  done
  [ -z "$missing" ] && return 0
  if [ "$(id -u)" = 0 ]; then
    echo "Installing Debian packages:$missing"
    apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq $missing >/dev/null || {
      echo "apt-get failed"; exit 1; }
  else
    echo "Marvisk needs these Debian packages. Install them with:"
    echo "  sudo apt-get install -y$missing"
    exit 1
  fi
}
