#!/usr/bin/env bash
# Installs the Debian packages the build needs, only those that are missing.
set -euo pipefail
packages=(build-essential cmake ninja-build libgtest-dev libbenchmark-dev libx11-dev libxtst-dev xvfb tzdata "$@")
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo_cmd=""
  [ "$(id -u)" -eq 0 ] || sudo_cmd="sudo"
  $sudo_cmd apt-get update
  $sudo_cmd env DEBIAN_FRONTEND=noninteractive apt-get install -y "${missing[@]}"
fi
