#!/usr/bin/env bash
# Installs the Debian packages the project needs, and only those still missing.
# Safe to run again and again: with everything present it changes nothing.
set -euo pipefail

packages=(
  build-essential
  cmake
  ninja-build
  pkg-config
  qt6-base-dev
  qt6-qpa-plugins
  libgtest-dev
  libgmock-dev
  libbenchmark-dev
  xvfb
  xauth
  faketime
  snmp
  libcap2-bin
  clang
  libclang-rt-14-dev
  snmptrapd
  lnav
  iproute2
  openbox
  trayer
  xdotool
  xclip
  python3-pyatspi
  at-spi2-core
  dbus-x11
  imagemagick
  fonts-dejavu-core
)

missing=()
for package in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$package")
done

if ((${#missing[@]} == 0)); then
  exit 0
fi

run_as_root=()
if ((EUID != 0)); then
  run_as_root=(sudo)
fi

echo "install-deps: installing ${missing[*]}" >&2
export DEBIAN_FRONTEND=noninteractive
"${run_as_root[@]}" apt-get update -q
"${run_as_root[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"

# snmptrapd is only a peer for the benchmarks: its packaged service would take UDP port
# 162 from velmora, so a copy installed here stays off.
if [[ " ${missing[*]} " == *" snmptrapd "* ]] && command -v systemctl >/dev/null &&
  [[ -d /run/systemd/system ]]; then
  "${run_as_root[@]}" systemctl disable --now snmptrapd.socket snmptrapd.service || true
fi
