#!/usr/bin/env bash
# Sets up a fresh machine, builds dorvik and runs the whole test suite.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
preset="${1:-default}"
cmake --preset "$preset"
cmake --build --preset "$preset"
ctest --preset "$preset"
