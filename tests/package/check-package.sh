#!/usr/bin/env bash
# Checks the Debian package that `cmake --build build --target package` made:
# its name and version, that its dependencies name the libraries the programs
# load, that apt can install it here, that it holds exactly the programs, the
# desktop entry and the icon in their places, and that the packaged program
# answers --version with no display.
# Usage: check-package.sh VERSION PACKAGE.deb
set -euo pipefail
version="$1"
deb="$2"

fail() { echo "check-package.sh: $*" >&2; exit 1; }

[ "$(basename "$deb")" = "plotreel_${version}_amd64.deb" ] || fail "$deb is not named plotreel_${version}_amd64.deb"
[ "$(dpkg-deb -f "$deb" Package)" = plotreel ] || fail "the package is not called plotreel"
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "the package's version is not $version"

# The package names in Depends, without versions and alternatives' bars.
depends=$(dpkg-deb -f "$deb" Depends)
names=" $(echo "$depends" | tr ',|' '\n\n' | sed 's/(.*)//; s/^ *//; s/ *$//' | tr '\n' ' ') "
for needed in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 libqt6sql6 libqt6svg6 \
  libqcustomplot2.1-qt6 libmpv2 libzip4 libexpat1 libgsf-1-114 libavformat59 libavcodec59 libswscale6 libmdb3 libpq5 libsqlite3-0 libqt6sql6-odbc tdsodbc; do
  case "$names" in
    *" $needed "*) ;;
    *) fail "Depends does not name $needed: $depends" ;;
  esac
done

# apt resolves the dependencies from this machine's package lists.
apt-get install --simulate --no-install-recommends "$(realpath "$deb")" >/dev/null 2>&1 \
  || fail "apt cannot install $deb here: $(apt-get install --simulate "$(realpath "$deb")" 2>&1 | tail -n 5)"

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg-deb -x "$deb" "$root"

files=$(cd "$root" && find . -type f -o -type l | sort)
expected="./usr/bin/plotreel
./usr/bin/plotreel-reader
./usr/share/applications/plotreel.desktop
./usr/share/icons/hicolor/scalable/apps/plotreel.svg"
[ "$files" = "$expected" ] || fail "the package holds
$files
instead of
$expected"
for program in plotreel plotreel-reader; do
  [ -x "$root/usr/bin/$program" ] || fail "usr/bin/$program is not executable"
done

# No display, no Qt platform: --version must not need them.
answer=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$root/usr/bin/plotreel" --version) \
  || fail "the packaged plotreel --version failed"
[ "$answer" = "plotreel $version" ] || fail "the packaged plotreel --version printed \"$answer\""
echo "check-package.sh: $deb is sound"
