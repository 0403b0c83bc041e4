#!/usr/bin/env bash
# Sets up a fresh machine, builds dorvik and shows the task runner at work on a demo setup folder.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake --preset default >/dev/null
cmake --build --preset default

demo=build/demo
rm -rf "$demo" && mkdir -p "$demo"
cp build/default/setup/uloha "$demo/"

echo
echo "== uloha abc   (an argument that is no task id)"
"$demo/uloha" abc || true
echo
echo "== uloha       (no argument and no hand-off file)"
"$demo/uloha" || true
echo
echo "== uloha 5     (default settings: SQL Server on localhost,1433)"
"$demo/uloha" 5 || true
echo
echo "== run log $demo/dvlog.txt"
cat "$demo/dvlog.txt" 2>/dev/null || echo "(empty)"
