#!/usr/bin/env bash
# Installs what is missing, builds, and opens the window on the bundled example.
set -euo pipefail
root=$(cd "$(dirname "$0")" && pwd)
cd "$root"

scripts/install-deps.sh
build=${VARNO_BUILD_DIR:-$root/build}/release
scripts/build.sh "$build" -DCMAKE_BUILD_TYPE=Release -DVARNO_BUILD_TESTS=OFF -DVARNO_BUILD_BENCH=OFF

# The report of an unattended run is written next to the data file; work on a copy of the example
# so that nothing is written into the source tree.
work=$(mktemp -d "${TMPDIR:-/tmp}/varno-example.XXXXXX")
cp "$root/examples/lake.fst" "$root/examples/lake_factors.txt" "$work/"

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "run.sh: no display (DISPLAY is not set): the window cannot open here." >&2
  echo "run.sh: running the headless tool varno-report on the example instead." >&2
  report=$("$build/varno-report" "$work/lake.fst" "$work/lake_factors.txt" 0)
  echo "Report written to $report:"
  echo
  cat "$report"
  exit 0
fi

echo "Opening $work/lake.fst with its factors file (the report goes to $work/lake_res.txt)"
exec "$build/varno-plot" "$work/lake.fst" "$work/lake_factors.txt" 0
