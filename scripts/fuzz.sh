#!/usr/bin/env bash
# Builds the chart data file parser, the .xlsx, .ods and .xls readers and the
# reader program's Access parent side with libFuzzer and the address and
# undefined-behaviour sanitizers, and runs each target:
#
#   scripts/fuzz.sh --ci       what scripts/test.sh runs: each target replays
#                              its committed seeds, then makes a fixed number
#                              of runs from a fixed -seed into an empty corpus,
#                              so that a commit that passes once passes again.
#   scripts/fuzz.sh [SECONDS]  exploring, for people: each target runs for
#                              SECONDS (60 by default) from its seeds and from
#                              what earlier runs found (build/fuzz/corpus-NAME).
#                              An input it reports (build/fuzz/artifacts) goes,
#                              once mended, into the target's seed folder.
#
# Exits non-zero when a fuzzer finds a crash, a leak or a broken check.
set -euo pipefail
cd "$(dirname "$0")/.."
mode=explore
seconds=60
case "${1:-}" in
  --ci) mode=ci ;;
  "") ;;
  *[!0-9]*) echo "usage: fuzz.sh [--ci | SECONDS]" >&2; exit 2 ;;
  *) seconds="$1" ;;
esac
out=build/fuzz
mkdir -p "$out/artifacts"

# Without a symbolizer the sanitizers' stacks hold no function names, and
# the leak suppressions, which name functions, match nothing.
symbolizer=$(command -v llvm-symbolizer || true)
if [ -z "$symbolizer" ]; then
  echo "fuzz.sh: llvm-symbolizer is missing (Debian package llvm; scripts/install-deps.sh --with-tests installs it)" >&2
  exit 1
fi
export ASAN_SYMBOLIZER_PATH="$symbolizer"

# Qt is built for position-independent code, hence -fPIC.
flags=(-std=c++17 -g -O1 -fPIC -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined -I.)

clang++ "${flags[@]}" $(pkg-config --cflags Qt6Core) \
  chartdata/ChartDataFormat.cpp chartdata/SeriesTitle.cpp tests/chartdata/ChartDataFuzz.cpp \
  $(pkg-config --libs Qt6Core) -o "$out/chartdata_fuzz"

clang++ "${flags[@]}" -pthread $(pkg-config --cflags Qt6Core libzip expat zlib) \
  common/DateTime.cpp spreadsheet/CellReference.cpp spreadsheet/NumberFormats.cpp spreadsheet/OdsReader.cpp \
  spreadsheet/SheetCells.cpp spreadsheet/SheetDates.cpp spreadsheet/XlsxReader.cpp spreadsheet/XlsxSheetData.cpp \
  spreadsheet/XmlBlocks.cpp spreadsheet/XmlParse.cpp spreadsheet/XmlPart.cpp spreadsheet/ZipPackage.cpp \
  tests/spreadsheet/FuzzRowChecks.cpp tests/spreadsheet/TestArchives.cpp tests/spreadsheet/WorkbookFuzz.cpp \
  $(pkg-config --libs Qt6Core libzip expat zlib) -o "$out/workbook_fuzz"

clang++ "${flags[@]}" $(pkg-config --cflags Qt6Core libgsf-1) \
  common/DateTime.cpp spreadsheet/BiffRecords.cpp spreadsheet/BiffStrings.cpp spreadsheet/NumberFormats.cpp \
  spreadsheet/SheetCells.cpp spreadsheet/SheetDates.cpp spreadsheet/XlsCompoundFile.cpp spreadsheet/XlsWorkbook.cpp \
  tests/spreadsheet/FuzzRowChecks.cpp tests/spreadsheet/XlsFuzz.cpp \
  $(pkg-config --libs Qt6Core libgsf-1) -o "$out/xls_fuzz"

# The reader program runs libmdb, libmatio and libhdf5, which crash on some
# inputs: it is built without the sanitizers, and only what escapes it is a
# finding.
fixtures="${PLOTREEL_FIXTURES:-../shared/fixtures}"
clang++ -std=c++17 -g -O1 -fPIC -I. $(pkg-config --cflags Qt6Core libmdb matio hdf5) \
  reader/program/*.cpp reader/ReaderFrames.cpp database/AccessProtocol.cpp database/DatabaseValues.cpp \
  logger/ForeignFrames.cpp common/DateTime.cpp \
  $(pkg-config --libs Qt6Core libmdb matio hdf5) -o "$out/plotreel-reader"
clang++ "${flags[@]}" -DPLOTREEL_READER_BUILT="\"$PWD/$out/plotreel-reader\"" $(pkg-config --cflags Qt6Core) \
  common/DateTime.cpp common/LoadProgress.cpp database/AccessDatabase.cpp database/AccessProtocol.cpp \
  database/DatabaseValues.cpp reader/ReaderFrames.cpp reader/ReaderJob.cpp reader/ReaderProcess.cpp \
  tests/database/AccessReaderFuzz.cpp \
  $(pkg-config --libs Qt6Core) -o "$out/access_fuzz"
mkdir -p "$out/seeds-access"
cp "$fixtures"/access/*.mdb "$fixtures"/access/*.accdb "$out/seeds-access/"

# run NAME SEEDS RUNS: the fuzzer of NAME from the seed folder SEEDS. In CI,
# RUNS inputs from -seed=1 after the seeds, into a corpus emptied first; when
# exploring, for the time given, adding what it finds to its own corpus. The
# committed seeds stay untouched either way. RUNS is about a minute's worth.
#
# The values that the tracing of comparisons hands the fuzzer change from
# run to run (addresses among them), and with them the inputs it makes: CI's
# runs go without it.
run() {
  local name="$1" seeds="$2" runs="$3" limit
  local corpus="$out/corpus-$name"
  if [ "$mode" = ci ]; then
    corpus="$out/ci-corpus-$name"
    rm -rf "$corpus"
    limit=(-seed=1 -runs="$runs" -use_cmp=0)
  else
    limit=(-max_total_time="$seconds")
  fi
  mkdir -p "$corpus"
  "$out/${name}_fuzz" "${limit[@]}" -timeout=10 -rss_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix="$out/artifacts/$name-" \
    "$corpus" "$seeds"
}
run chartdata tests/chartdata/corpus 200000
run workbook tests/spreadsheet/corpus 8000
# libgsf's own leaks on damaged compound files are told from ours by their
# full stacks.
ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}fast_unwind_on_malloc=0" \
  LSAN_OPTIONS="suppressions=$PWD/tests/fuzz-lsan.supp:print_suppressions=0" \
  run xls tests/spreadsheet/xls-corpus 20000
run access "$out/seeds-access" 2000
