#!/usr/bin/env bash
# Installs what Kavel needs to build and test (Debian 12 packages), then
# configures and builds it.  Usage: scripts/setup.sh BUILD_DIR [cmake args...]
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:?build folder}
shift

packages=(g++ make cmake qt6-base-dev qt6-qpa-plugins fonts-dejavu-core
          xvfb xauth xdotool openbox x11-utils libbenchmark-dev locales qt6-translations-l10n
          desktop-file-utils appstream dpkg-dev file
          pkg-config libheif-dev libjpeg62-turbo-dev
          liblensfun-dev liblensfun-data-v1 liblensfun-bin libglib2.0-dev)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# The tests run a second time under a French desktop's locale.
if ! locale -a 2>/dev/null | grep -qix 'fr_FR.utf8'; then
  echo "Generating the fr_FR.UTF-8 locale"
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo sed -i 's/^# *\(fr_FR.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^fr_FR.UTF-8 UTF-8' /etc/locale.gen || echo 'fr_FR.UTF-8 UTF-8' | $sudo tee -a /etc/locale.gen >/dev/null
  $sudo locale-gen >/dev/null
fi

cmake -S "$root" -B "$root/$build" "$@" >/dev/null
cmake --build "$root/$build" -j"$(nproc)"
