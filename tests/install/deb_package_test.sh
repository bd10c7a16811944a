#!/usr/bin/env bash
# cpack -G DEB: the package is built, its Depends field (from the shared libraries the programs
# link) is not empty and names the toolkit, it holds the installed files under /usr, and its
# programs run.
# Usage: deb_package_test.sh BUILD_DIR SOURCE_DIR
set -euo pipefail
build=$1 source=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

if ! cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work" >"$work/cpack.log" 2>&1; then
  cat "$work/cpack.log"
  echo "FAIL: cpack could not build the package"
  exit 1
fi
shopt -s nullglob
debs=("$work"/varno_*.deb)
[ ${#debs[@]} -eq 1 ] || { echo "FAIL: expected one varno_*.deb, found: ${debs[*]:-none}"; exit 1; }
deb=${debs[0]}

status=0
depends=$(dpkg-deb -f "$deb" Depends)
[ -n "$depends" ] || { echo "FAIL: the package's Depends field is empty"; status=1; }
for library in libqt6widgets6 libc6 libssl3; do
  grep -q "$library" <<<"$depends" || { echo "FAIL: Depends does not name $library: $depends"; status=1; }
done
sed 's|^|usr/|' "$source/tests/install/installed_files.txt" >"$work/expected"
dpkg-deb --fsys-tarfile "$deb" | tar -t | sed 's|^\./||' | grep -v '/$' | sort >"$work/listed"
if ! diff -u "$work/expected" "$work/listed"; then
  echo "FAIL: the package's files differ from tests/install/installed_files.txt under usr/"
  status=1
fi
# the programs in the package run from its tree (a file packed empty or half written would not)
dpkg-deb -x "$deb" "$work/root"
for program in varno-plot varno-report varno-gen; do
  "$work/root/usr/bin/$program" --help >/dev/null 2>&1 || { echo "FAIL: the packaged $program does not run"; status=1; }
done
exit $status
