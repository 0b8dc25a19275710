#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing Kestrun need.
# Idempotent: only missing packages are installed, and the package lists are
# refreshed only when something is missing. With --bench it also installs what
# the benchmarks alone compare against (never needed by the tests).
set -euo pipefail

PACKAGES=(
  # build
  cmake g++ make ccache pkg-config
  qt6-base-dev qt6-base-dev-tools libqt6opengl6-dev libgl-dev
  # lrelease compiles the program's Romanian for Qt's own dialogs
  qt6-l10n-tools qt6-tools-dev qt6-tools-dev-tools
  libsqlite3-dev zlib1g-dev libzip-dev libpugixml-dev
  # tests and benchmarks
  libgtest-dev libgmock-dev libbenchmark-dev clang-14 libclang-rt-14-dev
  # independent readers used by the tests
  python3 python3-xlrd python3-xlwt python3-olefile python3-dbfread python3-openpyxl libgsf-bin
  libspreadsheet-writeexcel-perl
  libreoffice-calc-nogui libreoffice-writer-nogui libreoffice-base-drivers poppler-utils
  # the templates' Arial and Times, metric for metric: what LibreOffice prints
  # is laid out as the templates were drawn
  fonts-liberation2
  # running the program headless and taking screenshots
  xvfb xauth fonts-dejavu-core adwaita-icon-theme
)

if [ "${1:-}" = "--bench" ]; then
  # the baselines the benchmarks alone measure against: the Java spreadsheet
  # library (open and save); openpyxl (supplier report) is a test reader too
  PACKAGES+=(libapache-poi-java default-jdk-headless)
fi

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

[ ${#missing[@]} -eq 0 ] && exit 0

SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive
echo "Installing: ${missing[*]}"
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
