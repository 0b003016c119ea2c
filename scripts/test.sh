#!/usr/bin/env bash
# Installs what the tests need, builds Plotreel with its tests and runs them all
# in a virtual X server (the video and window tests need a real one).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh --with-tests
scripts/build.sh -DPLOTREEL_TESTS=ON
# A private X server for every run, whatever DISPLAY the caller has.
xvfb-run -a -s "-screen 0 1600x1200x24 -nolisten tcp" \
  ctest --test-dir build --output-on-failure --timeout 600 "$@"
scripts/fuzz.sh
