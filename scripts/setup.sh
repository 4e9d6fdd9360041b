#!/usr/bin/env bash
# Checks for the Debian packages the build and the tests need and installs the missing ones.
set -euo pipefail

packages=(cmake g++ make libgtest-dev libbenchmark-dev libcli11-dev nlohmann-json3-dev)
missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  echo "setup: all packages present (${packages[*]})"
  exit 0
fi

echo "setup: installing missing packages: ${missing[*]}"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq "${missing[@]}"
echo "setup: done"
