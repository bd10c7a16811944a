#!/usr/bin/env bash
# Installs the Debian packages this project builds, tests and runs with; installs only what is missing.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-svg-dev libqcustomplot-dev libgl-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  libfftw3-dev libboost-math-dev libssl-dev
  clang libclang-rt-14-dev
  locales xvfb xauth
  dpkg-dev desktop-file-utils snakemake
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  if [ "$(id -u)" -ne 0 ]; then sudo=sudo; else sudo=; fi
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# A comma-decimal locale, so a test can prove that numbers never follow the user's locale.
if ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; then
  if [ "$(id -u)" -ne 0 ]; then sudo=sudo; else sudo=; fi
  $sudo localedef -i de_DE -f UTF-8 de_DE.UTF-8 || echo "warning: could not create the de_DE.UTF-8 locale" >&2
fi
