#!/usr/bin/env bash
# Installs what the tests need, builds Plotreel with its tests twice (the usual
# RelWithDebInfo build in ./build, and a clang build with the address and
# undefined-behaviour sanitizers and Qt's assertions in ./build-asan) and runs
# every test in both, in a private virtual X server (the video and window tests
# need a real one), then fuzzes the file readers, the same runs every time.
# It also makes the Debian package and checks it. Arguments go to both ctest
# runs (e.g. -R video). At the end it prints how long each stage took, also
# when one failed.
set -euo pipefail
cd "$(dirname "$0")/.."

stage_times=()
stage_name=""
stage_start=$SECONDS
# stage NAME: the stage before it has ended, NAME begins.
stage() {
  if [ -n "$stage_name" ]; then stage_times+=("$(printf '%-20s %5d s' "$stage_name" $((SECONDS - stage_start)))"); fi
  stage_name="$1"
  stage_start=$SECONDS
}
# A stage still running at exit has failed: the last one ends explicitly.
report_stage_times() {
  if [ -n "$stage_name" ]; then stage_name="$stage_name (failed)"; fi
  stage ""
  echo "test.sh: time of each stage"
  printf '  %s\n' "${stage_times[@]}"
}
trap report_stage_times EXIT

stage install
scripts/install-deps.sh --with-tests

# ccache speeds up rebuilds where it is installed; nothing depends on it.
launcher=()
if command -v ccache >/dev/null; then launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi

stage build
scripts/build.sh -DPLOTREEL_TESTS=ON "${launcher[@]}"

stage package
cmake --build build --target package
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build/CMakeCache.txt)
tests/package/check-package.sh "$version" "build/plotreel_${version}_amd64.deb"

# Debug keeps Qt's inline assertions (a slot called on a half-destroyed
# object aborts); -O1 keeps the sanitized tests fast enough. The benchmark
# is left out: nothing runs it here.
stage "asan build"
sanitizers="-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer"
cmake -S . -B build-asan -G Ninja -DPLOTREEL_TESTS=ON -DPLOTREEL_BENCH=OFF "${launcher[@]}" \
  -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_CXX_FLAGS_DEBUG="-g -O1 $sanitizers" \
  -DCMAKE_EXE_LINKER_FLAGS_DEBUG="$sanitizers"
cmake --build build-asan --parallel "$(nproc)"

stage tests
# A display number nobody uses, whatever DISPLAY the caller has.
display=90
while [ -e "/tmp/.X$display-lock" ] || [ -e "/tmp/.X11-unix/X$display" ]; do display=$((display + 1)); done
Xvfb ":$display" -screen 0 1600x1200x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
trap 'kill "$xvfb_pid" 2>/dev/null || true; report_stage_times' EXIT
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

stage "asan tests"
# Leaks are reported except those inside system libraries listed in the
# suppression file; any sanitizer report fails its test. Mesa unloads its
# driver when mpv closes its OpenGL display, and the leak checker then cannot
# tell whose the driver's leftovers were: preloaded, the driver stays.
mesa_driver=$(ls /usr/lib/*/dri/swrast_dri.so 2>/dev/null | head -n 1 || true)
(
  export ASAN_OPTIONS="detect_leaks=1:detect_stack_use_after_return=1"
  export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0"
  export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
  ASAN_SYMBOLIZER_PATH=$(command -v llvm-symbolizer)
  export ASAN_SYMBOLIZER_PATH
  if [ -n "$mesa_driver" ]; then export LD_PRELOAD="$mesa_driver"; fi
  ctest --test-dir build-asan --output-on-failure --timeout 900 "$@"
)

stage fuzz
scripts/fuzz.sh --ci
stage ""
