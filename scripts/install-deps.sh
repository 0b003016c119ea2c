#!/usr/bin/env bash
# Installs the Debian 12 packages that building, running and testing Plotreel need.
set -euo pipefail

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools libqt6opengl6-dev libgl-dev qt6-svg-dev qt6-qpa-plugins
  libqcustomplot-dev libmpv-dev libfast-float-dev libfreexl-dev libzip-dev
  libqt6sql6-sqlite libqt6sql6-psql libqt6sql6-odbc unixodbc-dev
  libpq-dev mdbtools-dev tdsodbc odbc-postgresql
  fonts-liberation fonts-dejavu-core
)
test_packages=(
  libgtest-dev libxcb1-dev xvfb xauth ffmpeg clang libclang-rt-14-dev imagemagick
  postgresql sqlite3
)

wanted=("${packages[@]}")
if [ "${1:-}" = "--with-tests" ]; then wanted+=("${test_packages[@]}"); fi

missing=()
for p in "${wanted[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ "${#missing[@]}" -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  $SUDO apt-get update -q
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
