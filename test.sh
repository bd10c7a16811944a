#!/usr/bin/env bash
# Installs what is missing, builds Release and an ASan+UBSan build, and runs every test of both.
set -euo pipefail
root=$(cd "$(dirname "$0")" && pwd)
cd "$root"

scripts/install-deps.sh

build=${VARNO_BUILD_DIR:-$root/build}
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$root/scripts/lsan.supp}

echo "== Release build"
scripts/build.sh "$build/release" -DCMAKE_BUILD_TYPE=Release
echo "== Sanitizer build (ASan+UBSan)"
scripts/build.sh "$build/asan" -DCMAKE_BUILD_TYPE=Debug -DVARNO_SANITIZE=ON -DVARNO_BUILD_BENCH=OFF

status=0
echo "== Tests, Release"
ctest --test-dir "$build/release" --output-on-failure -j "$(nproc)" || status=1
echo "== Tests, ASan+UBSan"
ctest --test-dir "$build/asan" --output-on-failure -j "$(nproc)" || status=1
echo "== Fuzz smoke run"
VARNO_FUZZ_BUILD_DIR="$build/fuzz" scripts/fuzz.sh 20 || status=1
exit $status
