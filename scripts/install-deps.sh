#!/usr/bin/env bash
# Installs the Debian 12 packages that building, testing and running Tessival need.
# Idempotent: packages already present are skipped, and nothing is done when all are.
set -euo pipefail

packages=(
  build-essential cmake pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins libgl-dev
  libsqlcipher-dev sqlcipher
  fonts-arphic-uming qt6-translations-l10n
  desktop-file-utils
  xvfb xdotool openbox x11-apps x11-utils imagemagick
  poppler-utils cups printer-driver-cups-pdf
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
if [ "$(id -u)" -ne 0 ]; then
  sudo="sudo"
fi

echo "install-deps: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
