#!/usr/bin/env bash
# Builds the sandbox server and runs the demo script on the example configuration,
# printing the readable transcript. Extra arguments go to the server.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset default >/dev/null
cmake --build --preset default
exec build/default/bin/bellwright-sandbox --dir examples --script examples/demo.script \
  --transcript human "$@"
