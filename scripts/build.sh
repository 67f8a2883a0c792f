#!/usr/bin/env bash
# Builds the four DLLs (x64, x64-legacy, x86, x86-legacy) into build/<preset>/quorlix.dll.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"

bash scripts/setup-machine.sh
for p in x64 x64-legacy x86 x86-legacy; do
  echo "== building $p"
  cmake --preset "$p" >/dev/null
  cmake --build --preset "$p" --target quorlix
done
ls -l build/*/quorlix.dll
