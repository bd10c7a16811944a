#!/usr/bin/env bash
# Records what varno-report writes for the bundled examples and a few generated traces, so that a
# restructuring can be checked to leave every output byte for byte as it was:
#   scripts/record-outputs.sh BUILD_DIR OUT_DIR      (then: diff -r BEFORE AFTER)
# Each case keeps its standard output, standard error with the exit status, and the files it wrote.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "$1" && pwd)
out=$2
mkdir -p "$out"
out=$(cd "$out" && pwd)
tool=$build/varno-report
gen=$build/varno-gen

work=$(mktemp -d "${TMPDIR:-/tmp}/varno-outputs.XXXXXX")
trap 'rm -rf "$work"' EXIT
cp "$root/examples/lake.fst" "$root/examples/lake_factors.txt" "$root/examples/example.frq" \
  "$root/examples/example.ml" "$work/"
cd "$work"

"$gen" fst --rows 3000 --seed 7 --populations 5 --factors 3 --interaction --out g.fst --factors-out g_factors.txt
"$gen" fst --rows 3000 --seed 8 --populations 5 --factors 3 --interaction --out g2.fst
"$gen" frq --rows 2000 --seed 3 --loci 4 --out g.frq
"$gen" ml --rows 5000 --seed 4 --columns 5 --out g.ml
"$gen" ml --rows 5000 --seed 5 --columns 5 --out g2.ml
# a CODA index with two chain files beside it, and bad inputs whose refusals must stay worded alike
awk 'BEGIN { print "alpha 1 400"; print "beta 401 800"; print "gamma 801 1200" }' > CODAindex.txt
for k in 1 2; do
  awk -v k=$k 'BEGIN { s = k * 7919; for (j = 0; j < 3; ++j) for (i = 1; i <= 400; ++i) {
      s = (s * 1103515245 + 12345) % 2147483648; printf "%d %.6f\n", i, j + s / 2147483648 } }' > CODAchain$k.txt
done
cp CODAchain2.txt other_chain.txt
head -c 20000 g.fst > cut.fst
printf 'not a trace\n1 2 x\n' > bad.frq
head -n 3 g_factors.txt > short_factors.txt

# run NAME ARGS...: one case, in a folder of its own so that the files it writes are kept apart.
run() {
  local name=$1; shift
  local dir=$out/$name
  rm -rf "$dir"; mkdir -p "$dir/files"
  (cd "$dir/files" && "$tool" "$@" >"$dir/stdout" 2>"$dir/stderr"; echo "exit $?" >>"$dir/stderr")
  # the work folder's path varies from run to run; name it alike in every recording
  sed -i "s|$work|WORK|g; s|$dir|CASE|g" "$dir/stdout" "$dir/stderr"
}

run lake-report "$work/lake.fst" "$work/lake_factors.txt" 0 --output report.txt
run lake-report-burn "$work/lake.fst" "$work/lake_factors.txt" 0 --burn-in 500 --burn-out 100 --output -
run lake-report-interaction "$work/lake.fst" "$work/lake_factors.txt" 1 --output -
run lake-figures "$work/lake.fst" "$work/lake_factors.txt" 0 --output report.txt --figures figs --figure-format svg --column 2
for c in 1 2 9 10 12; do run "lake-column-$c" "$work/lake.fst" "$work/lake_factors.txt" 0 --column "$c"; done
run lake-column-model3 "$work/lake.fst" "$work/lake_factors.txt" 0 --column 2 --model 3
for f in tsv csv json; do run "lake-summary-$f" "$work/lake.fst" "$work/lake_factors.txt" 0 --summary --format "$f"; done
run lake-models "$work/lake.fst" "$work/lake_factors.txt" 0 --models
run lake-models-prior "$work/lake.fst" "$work/lake_factors.txt" 0 --models --model-prior 1,2,3,4
run lake-export "$work/lake.fst" "$work/lake_factors.txt" 0 --export-draws draws.tsv --thin 3
run g-report "$work/g.fst" "$work/g_factors.txt" 1 --output - --burn-in 300
run g-chains-report "$work/g.fst" "$work/g_factors.txt" 1 --chain "$work/g2.fst" --output -
run g-chains-summary "$work/g.fst" "$work/g_factors.txt" 1 --chain "$work/g2.fst" --summary
run g-chains-table "$work/g.fst" "$work/g_factors.txt" 1 --chain "$work/g2.fst" --chains-table
run g-chains-models "$work/g.fst" "$work/g_factors.txt" 1 --chain "$work/g2.fst" --models --format json
run g-chains-export "$work/g.fst" "$work/g_factors.txt" 1 --chain "$work/g2.fst" --export-draws draws.tsv
for c in 1 3 8; do run "g-column-$c" "$work/g.fst" "$work/g_factors.txt" 1 --column "$c" --burn-in 100; done
run frq-example-summary "$work/example.frq" --summary
run frq-summary "$work/g.frq" --summary --format csv
run frq-column "$work/g.frq" --column 4
run ml-example-summary "$work/example.ml" --summary
run ml-chains-summary "$work/g.ml" --chain "$work/g2.ml" --summary --format json
for c in 1 2 5; do run "ml-column-$c" "$work/g.ml" --chain "$work/g2.ml" --column "$c"; done
run coda-summary "$work/CODAindex.txt" --summary
run coda-column "$work/CODAindex.txt" --column beta
run coda-chains-table "$work/CODAindex.txt" --chains-table
run coda-export "$work/CODAindex.txt" --export-draws draws.tsv --burn-in 10
run coda-repeated "$work/CODAindex.txt" --chain "$work/other_chain.txt" --summary
run refuse-cut-fst "$work/cut.fst" "$work/g_factors.txt" 1 --output -
run refuse-bad-frq "$work/bad.frq" --summary
run refuse-short-factors "$work/g.fst" "$work/short_factors.txt" 1 --output -
run refuse-chain-kind "$work/g.fst" "$work/g_factors.txt" 1 --chain "$work/g.frq" --summary
run refuse-chain-same "$work/g.fst" "$work/g_factors.txt" 1 --chain "$work/g.fst" --summary
run refuse-missing "$work/none.fst" "$work/g_factors.txt" 1 --output -
run refuse-burn "$work/g.fst" "$work/g_factors.txt" 1 --burn-in 2999 --burn-out 5 --summary
run refuse-column "$work/g.fst" "$work/g_factors.txt" 1 --column 99
run refuse-option "$work/g.fst" "$work/g_factors.txt" 1 --summary --thin 2
echo "recorded $(ls "$out" | wc -l) cases in $out"
