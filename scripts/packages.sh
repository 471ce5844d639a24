# Sourced by the build scripts: makes sure the Debian packages that Marvisk
# builds with are installed. As root it installs what is missing; otherwise it
# prints the one apt-get line to run and stops.
MARVISK_PACKAGES="g++ cmake make qt6-base-dev libgl-dev libgtest-dev libbenchmark-dev clang python3 fonts-dejavu-extra"

marvisk_ensure_packages() {
  local missing=""
  for p in $MARVISK_PACKAGES; do
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
