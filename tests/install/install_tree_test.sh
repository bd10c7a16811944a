#!/usr/bin/env bash
# cmake --install into a temporary prefix: exactly the expected files, programs that run from
# there, and a desktop entry the desktop accepts.
# Usage: install_tree_test.sh BUILD_DIR SOURCE_DIR
set -euo pipefail
build=$1 source=$2
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT

cmake --install "$build" --prefix "$prefix" >/dev/null
(cd "$prefix" && find . \( -type f -o -type l \) | sed 's|^\./||' | sort) >"$prefix.list"
trap 'rm -rf "$prefix" "$prefix.list"' EXIT
if ! diff -u "$source/tests/install/installed_files.txt" "$prefix.list"; then
  echo "FAIL: the installed files differ from tests/install/installed_files.txt (- expected, + installed)"
  exit 1
fi

status=0
for program in varno-plot varno-report varno-gen; do
  if [ ! -x "$prefix/bin/$program" ]; then
    echo "FAIL: $program is not installed as an executable"
    status=1
  elif ! "$prefix/bin/$program" --help >/dev/null 2>&1; then
    echo "FAIL: the installed $program does not run (--help)"
    status=1
  fi
done

if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$prefix/share/applications/varno-plot.desktop" || status=1
  # offered for text files, claiming no type of its own, and started with the file chosen
  entry=$prefix/share/applications/varno-plot.desktop
  grep -qx 'MimeType=text/plain;' "$entry" || { echo "FAIL: the entry must offer text/plain only"; status=1; }
  grep -qx 'Exec=varno-plot %f' "$entry" || { echo "FAIL: the entry must start varno-plot with the file"; status=1; }
  grep -qx 'Icon=varno-plot' "$entry" || { echo "FAIL: the entry must name the installed icon"; status=1; }
else
  echo "desktop-file-validate is missing (package desktop-file-utils): the entry was not validated"
fi
exit $status
