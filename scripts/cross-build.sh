#!/usr/bin/env bash
# Cross-builds the Windows programs (the service dvsc.exe with the platform layer and the core) into build/win64.
set -euo pipefail
cd "$(dirname "$0")/.."
build=build/win64
cmake -S . -B "$build" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-w64.cmake" \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build"
echo "Windows build: $build/setup/dvsc/dvsc.exe"
