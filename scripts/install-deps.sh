#!/usr/bin/env bash
# Installs, with apt-get, only the Debian packages that are missing for building,
# testing and running Kambrix. Quick when everything is already present.
#   scripts/install-deps.sh          what make run and make test need
#   scripts/install-deps.sh --fuzz   also clang and its libFuzzer runtime (make fuzz)
set -euo pipefail

packages=(
  build-essential cmake pkg-config clang-format
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  libsqlite3-dev libpq-dev postgresql nlohmann-json3-dev libcli11-dev zlib1g-dev
  qt6-base-dev qt6-base-dev-tools qt6-charts-dev libqt6opengl6-dev
  libgl-dev libxkbcommon-dev
  xvfb xauth fonts-dejavu-core
  poppler-utils
)

if [ "${1:-}" = "--fuzz" ]; then
  packages+=(clang-14 libclang-rt-14-dev)
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

# A decimal-comma locale, so the tests can show that stored numbers keep a point.
need_locale=0
if ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; then
  need_locale=1
  dpkg-query -W -f='${Status}' locales 2>/dev/null | grep -q "install ok installed" || missing+=(locales)
fi

if [ ${#missing[@]} -eq 0 ] && [ $need_locale -eq 0 ]; then
  exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then
  SUDO="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
if [ ${#missing[@]} -gt 0 ]; then
  echo "install-deps: installing ${missing[*]}"
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

if [ $need_locale -eq 1 ]; then
  $SUDO sed -i 's/^# *de_DE.UTF-8 UTF-8/de_DE.UTF-8 UTF-8/' /etc/locale.gen
  grep -q '^de_DE.UTF-8 UTF-8' /etc/locale.gen || echo 'de_DE.UTF-8 UTF-8' | $SUDO tee -a /etc/locale.gen >/dev/null
  $SUDO locale-gen >/dev/null
fi
