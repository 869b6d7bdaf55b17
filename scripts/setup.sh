#!/usr/bin/env bash
# Installs every Debian package that building, running and testing Velmora needs.
# Only missing packages are installed; a second run finishes in seconds.
set -euo pipefail

PACKAGES=(
  # build
  cmake ninja-build g++ pkg-config
  # program
  qt6-base-dev qt6-base-dev-tools qt6-svg-dev
  # the charts of the statistics page; their CMake package needs Qt OpenGL's
  qt6-charts-dev libqt6opengl6-dev
  libsqlite3-dev libjpeg-dev libgif-dev zlib1g-dev libwmf-dev libemf2svg-dev libuemf-dev
  libicu-dev libheif-dev qt6-image-formats-plugins
  # the catalog on a server: its client library, and the server the tests start
  libpq-dev postgresql-15
  fonts-dejavu-core fonts-urw-base35
  # tests, benchmarks, fuzzing
  libgtest-dev googletest libgmock-dev libbenchmark-dev libpugixml-dev
  clang libclang-rt-14-dev
  libjpeg-turbo-progs sqlite3 python3 libheif-examples poppler-utils
  # end-to-end runs on a virtual display
  xvfb xauth x11-utils openbox xdotool imagemagick
  # published pages checked in a real browser, with axe from npm
  chromium nodejs npm tidy
  # the Debian package built and checked
  lintian desktop-file-utils appstream dpkg-dev file
)

missing=()
for p in "${PACKAGES[@]}"; do
  # Node.js from elsewhere than Debian brings its own npm and conflicts with ours.
  if [ "$p" = npm ] && command -v npm >/dev/null; then continue; fi
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  echo "setup: all packages present"
else
  SUDO=""
  if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
  echo "setup: installing ${missing[*]}"
  $SUDO apt-get update -q
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

# The site check's browser driver and axe, at the versions the lock file
# pins; installed again only when the lock file changes.
site_check="$(dirname "$0")/../tests/site"
if [ ! "$site_check/node_modules/.package-lock.json" -nt "$site_check/package-lock.json" ]; then
  echo "setup: installing the site check's npm packages"
  (cd "$site_check" && npm ci --no-audit --no-fund)
fi
