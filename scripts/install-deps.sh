#!/usr/bin/env bash
# Installs the Debian 12 packages that building, running and testing Plotreel need.
set -euo pipefail

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi

# file: cpack looks with it for the programs whose libraries the Debian
# package depends on.
packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools libqt6opengl6-dev libgl-dev qt6-svg-dev qt6-qpa-plugins
  libqcustomplot-dev libmpv-dev libfast-float-dev libgsf-1-dev libzip-dev libexpat1-dev
  libavformat-dev libavcodec-dev libswscale-dev libswresample-dev libavutil-dev
  libqt6sql6-sqlite libqt6sql6-psql libqt6sql6-odbc unixodbc-dev
  libpq-dev libsqlite3-dev mdbtools-dev tdsodbc odbc-postgresql libmatio-dev libhdf5-dev libmuparser-dev
  fonts-liberation fonts-dejavu-core
  file
)
# llvm: llvm-symbolizer, which gives the sanitizers' stacks their function
# names (the leak suppressions match by them).
test_packages=(
  libgtest-dev libxcb1-dev libxcb-xtest0-dev xvfb xauth ffmpeg clang libclang-rt-14-dev llvm imagemagick zlib1g-dev
  desktop-file-utils postgresql sqlite3 libsqliteodbc
  python3-openpyxl python3-xlsxwriter python3-xlwt python3-odf python3-scipy python3-h5py
)

# The mpv player, pandas and pyqtgraph only as the yardsticks of plotreel-bench
# playback, csv and scale.
bench_packages=(
  ffmpeg mpv xvfb xauth python3-pandas python3-pyqtgraph
)

wanted=("${packages[@]}")
for option in "$@"; do
  case "$option" in
    --with-tests) wanted+=("${test_packages[@]}") ;;
    --with-bench) wanted+=("${bench_packages[@]}") ;;
    *) echo "usage: install-deps.sh [--with-tests] [--with-bench]" >&2; exit 2 ;;
  esac
done

missing=()
for p in "${wanted[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ "${#missing[@]}" -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  $SUDO apt-get update -q
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
