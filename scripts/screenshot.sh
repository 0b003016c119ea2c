#!/usr/bin/env bash
# Makes docs/main-window.png: the main window with a generated clip and test
# data, drawn in a virtual X server; then the pictures of the exports, made by
# the exports without a window.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh --with-tests
scripts/build.sh -DPLOTREEL_TESTS=ON
mkdir -p docs
xvfb-run -a -s "-screen 0 1600x1200x24" build/tests/readme_screenshot docs/main-window.png
echo "docs/main-window.png"
build/tests/readme_export_pictures docs/export-picture.png docs/export-clip-frame.png
echo "docs/export-picture.png docs/export-clip-frame.png"
