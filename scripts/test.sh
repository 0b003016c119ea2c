#!/usr/bin/env bash
# Installs what the tests need, builds Plotreel with its tests and runs them all
# in a private virtual X server (the video and window tests need a real one),
# then fuzzes the companion-file reader for a bounded time.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh --with-tests
scripts/build.sh -DPLOTREEL_TESTS=ON

# A display number nobody uses, whatever DISPLAY the caller has.
display=90
while [ -e "/tmp/.X$display-lock" ] || [ -e "/tmp/.X11-unix/X$display" ]; do display=$((display + 1)); done
Xvfb ":$display" -screen 0 1600x1200x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
trap 'kill "$xvfb_pid" 2>/dev/null || true' EXIT
for _ in $(seq 100); do
  [ -S "/tmp/.X11-unix/X$display" ] && break
  sleep 0.1
done
[ -S "/tmp/.X11-unix/X$display" ] || { echo "test.sh: the virtual X server did not start" >&2; exit 1; }
export DISPLAY=":$display"
unset WAYLAND_DISPLAY XAUTHORITY

# The database tests use a private PostgreSQL server (PLOTREEL_PG_PORT).
source scripts/postgres.sh

ctest --test-dir build --output-on-failure --timeout 600 "$@"
scripts/fuzz.sh
