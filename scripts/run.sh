#!/usr/bin/env bash
# Installs what Plotreel needs, builds it and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "plotreel: no display found (DISPLAY and WAYLAND_DISPLAY are unset)." >&2
  echo "Start it from a desktop session, or under a virtual one: xvfb-run -a build/app/plotreel" >&2
  exit 1
fi
exec build/app/plotreel
