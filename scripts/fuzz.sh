#!/usr/bin/env bash
# Builds the chart data file parser, the .xlsx, .ods and .xls readers and the
# Access reader's parent side with libFuzzer and the address and
# undefined-behaviour sanitizers and runs each for a bounded time (seconds,
# first argument, 60 by default, per target).
# Exits non-zero when a fuzzer finds a crash.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
out=build/fuzz
mkdir -p "$out/artifacts"

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

# The Access reader program runs libmdb, which crashes on some inputs: it is
# built without the sanitizers, and only what escapes it is a finding.
fixtures="${PLOTREEL_FIXTURES:-../shared/fixtures}"
clang++ -std=c++17 -g -O1 -fPIC -I. $(pkg-config --cflags Qt6Core libmdb) \
  database/accessreader/*.cpp database/AccessProtocol.cpp database/DatabaseValues.cpp common/DateTime.cpp \
  $(pkg-config --libs Qt6Core libmdb) -o "$out/plotreel-access-reader"
clang++ "${flags[@]}" -DPLOTREEL_ACCESS_READER_BUILT="\"$PWD/$out/plotreel-access-reader\"" $(pkg-config --cflags Qt6Core) \
  common/DateTime.cpp common/LoadProgress.cpp database/AccessDatabase.cpp database/AccessProtocol.cpp \
  database/DatabaseValues.cpp database/ReaderProcess.cpp tests/database/AccessReaderFuzz.cpp \
  $(pkg-config --libs Qt6Core) -o "$out/access_fuzz"
mkdir -p "$out/seeds-access"
cp "$fixtures"/access/*.mdb "$fixtures"/access/*.accdb "$out/seeds-access/"

# Each fuzzer adds what it finds to its first corpus folder; the committed
# seeds stay untouched in the second.
run() {
  local name="$1" seeds="$2"
  mkdir -p "$out/corpus-$name"
  "$out/${name}_fuzz" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix="$out/artifacts/$name-" \
    "$out/corpus-$name" "$seeds"
}
run chartdata tests/chartdata/corpus
run workbook tests/spreadsheet/corpus
# libgsf's own leaks on damaged compound files are told from ours by their
# full stacks.
ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}fast_unwind_on_malloc=0" \
  LSAN_OPTIONS="suppressions=$PWD/tests/fuzz-lsan.supp:print_suppressions=0" \
  run xls tests/spreadsheet/xls-corpus
run access "$out/seeds-access"
