#!/usr/bin/env bash
# Installs the Debian packages of the Windows cross-build (mingw-w64) and of its Wine test; safe to run again.
set -euo pipefail

packages=(
  g++-mingw-w64-x86-64   # cross compiler, its Windows headers and import libraries (odbc32, advapi32, ...)
  wine wine64            # runs the cross-built service under Wine's service manager in the tests
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi

if [ ${#missing[@]} -gt 0 ]; then
  echo "installing: ${missing[*]}"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
