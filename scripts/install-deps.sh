#!/usr/bin/env bash
# Installs the Debian packages Lumvard needs to build, test and run; does nothing when all are there.
set -euo pipefail
packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev libqt6opengl6-dev qt6-charts-dev libqt6sql6-sqlite libqt6sql6-psql
  libsqlite3-dev zlib1g-dev libpq-dev libgtest-dev libbenchmark-dev fonts-wqy-microhei
  postgresql postgresql-client xvfb xauth poppler-utils python3-xlrd
)
missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi
echo "Installing: ${missing[*]}"
sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
