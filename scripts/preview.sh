#!/usr/bin/env bash
# Builds the sandbox server and writes preview.html: every message of the example
# configuration as a player sees it (examples/preview.script), one page that any
# browser opens without network or script. Given a second file name, also draws the
# page into that PNG with headless Chromium.
# Usage: scripts/preview.sh [PAGE.html [SCREENSHOT.png]]   (default: preview.html)
set -euo pipefail
cd "$(dirname "$0")/.."
page=${1:-preview.html}
screenshot=${2:-}
if [[ -n $screenshot ]]; then
  scripts/install-deps.sh chromium
else
  scripts/install-deps.sh
fi
cmake --preset default >/dev/null
cmake --build --preset default --target bellwright-sandbox
# The server writes into its directory (the opt-out's SQLite file): a copy of the
# examples keeps the checked-in folder as it is and every page alike.
server=$(mktemp -d)
trap 'rm -rf "$server"' EXIT
cp -r examples/. "$server"
# shellcheck disable=SC2046 # the arguments the script wants, word by word
build/default/bin/bellwright-sandbox --dir "$server" --script examples/preview.script \
  $(cat examples/preview.args) --transcript human --transcript html "$page"
echo "preview: $page"

if [[ -n $screenshot ]]; then
  scripts/page_screenshot.sh "$page" "$screenshot"
  echo "screenshot: $screenshot"
fi
