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
build/default/bin/bellwright-sandbox --dir examples --script examples/preview.script \
  --transcript human --transcript html "$page"
echo "preview: $page"

if [[ -n $screenshot ]]; then
  profile=$(mktemp -d)
  trap 'rm -rf "$profile"' EXIT
  chromium --headless --no-sandbox --disable-gpu --disable-quic --no-first-run \
    --disable-background-networking --disable-component-update --disable-sync \
    --user-data-dir="$profile" --hide-scrollbars --window-size=1280,1650 \
    --screenshot="$(realpath "$screenshot")" "file://$(realpath "$page")" 2>/dev/null
  echo "screenshot: $screenshot"
fi
