#!/usr/bin/env bash
# Installs the Debian packages Tresoro needs to build, test and run, but only
# those that are missing (so a prepared machine starts at once).
set -euo pipefail

packages=(
  build-essential cmake pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-translations-l10n libgl-dev libx11-dev
  libjpeg62-turbo-dev libjpeg-turbo-progs
  firebird-dev libfbclient2 firebird3.0-server-core firebird3.0-utils
  xvfb xauth
  keepassxc
  mscompress
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -q
  apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
