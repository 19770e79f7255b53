#!/usr/bin/env bash
# Builds the sandbox server and runs it on the example configuration.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset default >/dev/null
cmake --build --preset default
exec build/default/bin/bellwright-sandbox --dir examples --script examples/demo.script \
  --transcript human "$@"
