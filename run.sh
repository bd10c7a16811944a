#!/usr/bin/env bash
# Installs what is missing, builds, and opens the window on the bundled example.
set -euo pipefail
root=$(cd "$(dirname "$0")" && pwd)
cd "$root"

scripts/install-deps.sh
build=${VARNO_BUILD_DIR:-$root/build}/release
scripts/build.sh "$build" -DCMAKE_BUILD_TYPE=Release -DVARNO_BUILD_TESTS=OFF -DVARNO_BUILD_BENCH=OFF

example=$root/examples/lake.fst
factors=$root/examples/lake_factors.txt

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ "${QT_QPA_PLATFORM:-}" != offscreen ]; then
  echo "run.sh: there is no display (DISPLAY is not set), so the window cannot open." >&2
  exit 1
fi

# The report of an unattended run is written next to the data file; copy the example so that
# nothing is written into the source tree.
work=$(mktemp -d "${TMPDIR:-/tmp}/varno-example.XXXXXX")
cp "$example" "$factors" "$work/"
echo "Opening $work/lake.fst with its factors file (report: $work/lake_res.txt)"
exec "$build/varno-plot" "$work/lake.fst" "$work/lake_factors.txt" 0
