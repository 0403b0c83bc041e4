#!/usr/bin/env bash
# Sets up a fresh machine, builds dorvik and runs the whole test suite.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
preset="${1:-default}"
cmake --preset "$preset"
cmake --build --preset "$preset"
bash scripts/install-windows-deps.sh
bash scripts/cross-build.sh
ctest --preset "$preset"
