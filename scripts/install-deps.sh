#!/usr/bin/env bash
# Installs the Debian packages one purpose needs, and only those still missing.
# Safe to run again and again: with everything present it changes nothing.
#
#   scripts/install-deps.sh [PURPOSE...]
#
#   run       build and run the two programs (`make run`, `make package`)
#   test      build everything and run every test (`make test`)
#   sanitize  the tests again with AddressSanitizer and UBSan (`make test-sanitized`)
#   bench     benchmarks and the peers they measure against (`make bench`, `make soak`)
#   fuzz      the libFuzzer targets on a clang build (`make fuzz`)
#
# Without a purpose it installs what `test` needs.
set -euo pipefail

# Compiler, build tools, Qt, and /etc/services for the port descriptions made at build time.
run_packages=(
  build-essential
  cmake
  ninja-build
  pkg-config
  qt6-base-dev
  qt6-qpa-plugins
  # so both windows run as native clients on Wayland desktops
  qt6-wayland
  netbase
  # alert rules' regular expressions; compressed logs, written by velmora and read by corvix
  libpcre2-dev
  zlib1g-dev
  # corvix's statistics window draws its chart with Qt Charts, whose CMake package
  # wants Qt's OpenGL one
  qt6-charts-dev
  libqt6opengl6-dev
  # the country of a source in corvix's statistics, from the offline database
  libgeoip-dev
  geoip-database
)

test_packages=(
  "${run_packages[@]}"
  libgtest-dev
  libgmock-dev
  libbenchmark-dev
  xvfb
  xauth
  faketime
  snmp
  # the benchmark driver, and its unit test
  python3
  # windows under test: a window manager, a tray host, input, clipboard, accessibility
  openbox
  trayer
  xdotool
  x11-utils
  xclip
  python3-pyatspi
  at-spi2-core
  dbus-x11
  imagemagick
  fonts-dejavu-core
  # the same windows as Wayland clients of a headless compositor, and a test tray that
  # speaks the StatusNotifierItem protocol on the session bus
  weston
  wl-clipboard
  python3-gi
  # checks of what gets installed: desktop entries, man pages, service units
  desktop-file-utils
  groff-base
  man-db
  systemd
)

# The sanitizer runtimes come with the compiler itself.
sanitize_packages=("${test_packages[@]}")

bench_packages=(
  "${test_packages[@]}"
  snmptrapd
  lnav
  iproute2
)

fuzz_packages=(
  "${run_packages[@]}"
  clang
  libclang-rt-14-dev
)

purposes=("$@")
if ((${#purposes[@]} == 0)); then
  purposes=(test)
fi

packages=()
for purpose in "${purposes[@]}"; do
  case "$purpose" in
    run) packages+=("${run_packages[@]}") ;;
    test) packages+=("${test_packages[@]}") ;;
    sanitize) packages+=("${sanitize_packages[@]}") ;;
    bench) packages+=("${bench_packages[@]}") ;;
    fuzz) packages+=("${fuzz_packages[@]}") ;;
    *)
      echo "install-deps: unknown purpose '$purpose' (run, test, sanitize, bench, fuzz)" >&2
      exit 2
      ;;
  esac
done

missing=()
declare -A seen=()
for package in "${packages[@]}"; do
  [[ -z "${seen[$package]:-}" ]] || continue
  seen[$package]=1
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
