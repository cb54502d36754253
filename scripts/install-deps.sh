#!/usr/bin/env bash
# Installs, with apt-get, only the Debian packages that are missing for building,
# testing and running Kambrix. Quick when everything is already present.
set -euo pipefail

packages=(
  build-essential cmake pkg-config clang-format
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  libsqlite3-dev nlohmann-json3-dev libcli11-dev
  qt6-base-dev qt6-base-dev-tools libqt6charts6-dev libqt6opengl6-dev
  libgl-dev libxkbcommon-dev
  xvfb xauth fonts-dejavu-core
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "install-deps: installing ${missing[*]}"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then
  SUDO="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
