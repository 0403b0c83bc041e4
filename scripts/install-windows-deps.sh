#!/usr/bin/env bash
# Installs the Debian packages of the Windows cross-build (mingw-w64) and of its Wine test; safe to run again.
set -euo pipefail

packages=(
  g++-mingw-w64-x86-64   # cross compiler, its Windows headers and import libraries (odbc32, advapi32, ...)
  wine wine64            # runs the cross-built service under Wine's service manager in the tests
)

. "$(dirname "$0")/lib/install-missing.sh"
install_missing "${packages[@]}"
