#!/usr/bin/env bash
# Builds the sandbox server and starts it live on the example configuration, with
# RCON on 127.0.0.1:27020 and a fresh password printed at start-up.
# Extra arguments go to the server (e.g. --transcript jsonl).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset default >/dev/null
cmake --build --preset default
password=${BELLWRIGHT_RCON_PASSWORD:-$(head -c 12 /dev/urandom | base64 | tr -dc 'A-Za-z0-9')}
exec build/default/bin/bellwright-sandbox --dir examples \
  --rcon-bind 127.0.0.1 --rcon-port 27020 --rcon-password "$password" "$@"
