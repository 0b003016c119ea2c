#!/usr/bin/env bash
# Builds the chart data file parser with libFuzzer and the address and
# undefined-behaviour sanitizers and runs it for a bounded time (seconds, first
# argument, 60 by default). Exits non-zero when the fuzzer finds a crash.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
out=build/fuzz
mkdir -p "$out/corpus" "$out/artifacts"

# Qt is built for position-independent code, hence -fPIC.
clang++ -std=c++17 -g -O1 -fPIC \
  -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
  -I. $(pkg-config --cflags Qt6Core) \
  chartdata/ChartDataFormat.cpp chartdata/SeriesTitle.cpp tests/chartdata/ChartDataFuzz.cpp \
  $(pkg-config --libs Qt6Core) -o "$out/chartdata_fuzz"

# The fuzzer adds what it finds to the first corpus folder; the committed
# seeds stay untouched in the second.
"$out/chartdata_fuzz" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
  -print_final_stats=1 -artifact_prefix="$out/artifacts/" \
  "$out/corpus" tests/chartdata/corpus
