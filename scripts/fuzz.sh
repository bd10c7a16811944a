#!/usr/bin/env bash
# Builds the fuzz targets with clang and runs each for SECONDS (default 60): scripts/fuzz.sh [SECONDS]
# Prints the executions of every target; exits non-zero when a target crashes (its input is kept
# under the build folder's artifacts/).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
build=${VARNO_FUZZ_BUILD_DIR:-$root/build/fuzz}

"$root/scripts/install-deps.sh"  # clang and its fuzzing runtime among them

cmake -S "$root/fuzz" -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ >/dev/null
if ! cmake --build "$build" -j "$(nproc)" >"$build/build.log" 2>&1; then
  cat "$build/build.log"
  exit 1
fi

# max_len per target: data files long enough for many rows and columns; factors files and the
# pipeline (which summarises every table it reads) kept small.
targets=(data_file_reader:8192 factors_file:2048 pipeline:2048 coda_reader:4096)
mkdir -p "$build/artifacts"
status=0
for entry in "${targets[@]}"; do
  name=${entry%%:*}
  maxlen=${entry##*:}
  work="$build/corpus/$name"  # grown here; the seeds in fuzz/corpus stay as committed
  mkdir -p "$work"
  log="$build/$name.log"
  if "$build/${name}_fuzz" "$work" "$root/fuzz/corpus/$name" -max_total_time="$seconds" -max_len="$maxlen" \
      -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$build/artifacts/${name}-" \
      >"$log" 2>&1; then
    result=ok
  else
    result=CRASH
    status=1
  fi
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  corpus=$(find "$work" -type f | wc -l)
  printf '%-18s %s  %s executions in %ss, corpus %s files\n' "$name" "$result" "${runs:-?}" "$seconds" "$corpus"
  if [ "$result" = CRASH ]; then
    grep -E "ERROR|SUMMARY|runtime error|Test unit written" "$log" | head -20 || true
    echo "   full log: $log"
  fi
done
exit $status
