#!/usr/bin/env bash
# The workflow of examples/workflow on three small generated traces (and one without its factors
# file): a folder per run with its report, record, summary and figures, and the gathered table
# holding every run's summary rows under the run's name.
# Run again with another MODE, every run is made again: none is kept from the first setting.
# Usage: workflow_test.sh BUILD_DIR SOURCE_DIR; exits 77 (skipped) without snakemake.
set -euo pipefail
build=$1 source=$2
if ! command -v snakemake >/dev/null; then
  echo "SKIPPED: snakemake is not installed (apt-get install snakemake, or scripts/install-deps.sh)"
  exit 77
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/in"
runs=(lake river "tarn two")
seed=1
for run in "${runs[@]}"; do
  "$build/varno-gen" fst --rows 200 --populations 4 --factors 2 --seed $((seed++)) \
    --out "$work/in/$run.fst" --factors-out "$work/in/${run}_factors.txt"
done
"$build/varno-gen" fst --rows 200 --out "$work/in/orphan.fst"

cd "$work"
if ! PATH="$build:$PATH" snakemake --snakefile "$source/examples/workflow/Snakefile" --cores 2 --quiet \
  --config traces="$work/in" out="$work/out" mode=0 >snakemake.log 2>&1; then
  cat snakemake.log
  echo "FAIL: the workflow did not run"
  exit 1
fi
grep -q "orphan.fst has no orphan_factors.txt" snakemake.log || { echo "FAIL: no warning about orphan.fst"; exit 1; }

status=0
fail() { echo "FAIL: $*"; status=1; }
expected=$work/expected.tsv
printf 'run\t%s\n' "$(head -n1 "$work/out/lake/lake_summary.tsv")" >"$expected"
for run in "${runs[@]}"; do
  dir=$work/out/$run
  for file in "${run}_res.txt" "${run}_res.json" "${run}_summary.tsv" figures/"${run}_fst_hpdi.png"; do
    [ -s "$dir/$file" ] || fail "$dir/$file is missing or empty"
  done
  # the run's own table is what varno-report prints for the trace
  PATH="$build:$PATH" varno-report "$work/in/$run.fst" "$work/in/${run}_factors.txt" 0 --summary --format tsv \
    | cmp -s - "$dir/${run}_summary.tsv" || fail "$run: its summary differs from varno-report's"
  tail -n +2 "$dir/${run}_summary.tsv" | sed "s/^/$run\t/" >>"$expected"
done
[ -e "$work/out/orphan" ] && fail "a trace without factors file was run"
# one header, then every run's rows in run order, each under its name
if ! diff -u "$expected" "$work/out/summary.tsv"; then
  fail "the gathered table differs (- expected, + written)"
fi
# 4 populations, 2 factors: 11 columns a run (iteration, Sigma², log likelihood, 4 Fst, model, a0..a2)
rows=$(($(wc -l <"$work/out/summary.tsv") - 1))
[ "$rows" -eq 33 ] || fail "the gathered table has $rows rows, not 3 runs of 11 columns"

# A changed setting makes every run again: the same traces with MODE -1 and the answer about the
# interaction give records (and tables) of MODE -1, none kept from the runs of MODE 0.
touch "$work/before_second_run"
if ! PATH="$build:$PATH" snakemake --snakefile "$source/examples/workflow/Snakefile" --cores 2 --quiet \
  --config traces="$work/in" out="$work/out" mode=-1 interaction=no >snakemake2.log 2>&1; then
  cat snakemake2.log
  echo "FAIL: the workflow did not run again"
  exit 1
fi
for run in "${runs[@]}"; do
  record=$work/out/$run/${run}_res.json
  grep -q '"mode": -1,' "$record" || fail "$run: its record was kept from the run of MODE 0: $(grep '"mode"' "$record")"
  grep -q '"--interaction", "no"' "$record" || fail "$run: its record's command lacks --interaction no"
  [ "$work/out/$run/${run}_summary.tsv" -nt "$work/before_second_run" ] || fail "$run: its summary was kept"
done
[ "$work/out/summary.tsv" -nt "$work/before_second_run" ] || fail "the gathered table was not made again"
exit $status
