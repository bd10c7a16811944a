#!/usr/bin/env bash
# Every option a program's --help lists is in its man page and its bash completion, and every
# option they name is in --help: the documents cannot drift from the programs.
# Usage: options_documented_test.sh BUILD_DIR SOURCE_DIR
set -euo pipefail
build=$1 source=$2

options() { grep -o -- '--[a-z][a-z-]*' | sort -u; }

status=0
compare() {  # what, its options, --help's options
  local what=$1 listed=$2 helped=$3
  if [ "$listed" != "$helped" ]; then
    echo "FAIL: $what and --help name different options (< $what only, > --help only):"
    diff <(echo "$listed") <(echo "$helped") | grep '^[<>]' || true
    status=1
  fi
}

# program | its man page | its completion (none: -)
while read -r program man completion; do
  [ -x "$build/$program" ] || { echo "FAIL: $build/$program is not built"; status=1; continue; }
  helped=$("$build/$program" --help | options)
  [ -n "$helped" ] || { echo "FAIL: $program --help names no option"; status=1; continue; }
  compare "$man" "$(sed 's/\\-/-/g' "$source/$man" | options)" "$helped"
  if [ "$completion" != - ]; then
    compare "$completion" "$(options <"$source/$completion")" "$helped"
  fi
done <<'TABLE'
varno-report docs/varno-report.1 packaging/varno-report.bash-completion
varno-plot docs/varno-plot.1 -
TABLE
exit $status
