#!/usr/bin/env bash
# Builds and runs every test, in the plain build and under ASan and UBSan.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
for preset in default sanitize; do
  cmake --preset "$preset"
  cmake --build --preset "$preset"
  ctest --preset "$preset"
done
