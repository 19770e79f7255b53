#!/usr/bin/env bash
# Draws the preview page of the example configuration (made as scripts/preview.sh
# makes it, with --preview-page) in headless Chromium and checks through the DOM
# Chromium built that every configured message is there once, with its text and colour. The page, the DOM and the screenshot
# stay in OUTPUT_DIR for a person to look at.
# Usage: preview_page.sh SANDBOX_EXE EXAMPLES_DIR OUTPUT_DIR
set -euo pipefail

sandbox=$1
examples=$2
output=$3
here=$(cd "$(dirname "$0")" && pwd)

if ! command -v chromium >/dev/null; then
  echo "chromium is missing: install Debian's chromium package (scripts/install-deps.sh does)" >&2
  exit 1
fi

mkdir -p "$output"
output=$(cd "$output" && pwd)
rm -f "$output/preview.html" "$output/preview.dom.html" "$output/preview.png"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# The sandbox writes into its directory; the checked-in examples stay untouched.
cp -r "$examples/." "$work/server"

"$sandbox" --dir "$work/server" --preview-page "$output/preview.html"

# A fresh profile each time, and nothing that reaches out to the network.
chromium_run() {
  rm -rf "$work/profile"
  timeout 120 chromium --headless --no-sandbox --disable-gpu --disable-quic --no-first-run \
    --disable-background-networking --disable-component-update --disable-sync \
    --user-data-dir="$work/profile" --hide-scrollbars --window-size=1280,1500 "$@"
}

chromium_run --dump-dom "file://$output/preview.html" >"$output/preview.dom.html" \
  2>"$work/chromium.log" || { cat "$work/chromium.log" >&2; exit 1; }
# As tall as the page, as the README's picture is drawn.
"$here/../../scripts/page_screenshot.sh" "$output/preview.html" "$output/preview.png"

if [[ ! -s $output/preview.png ]] || [[ $(head -c 8 "$output/preview.png" | od -An -tx1 | tr -d ' \n') != 89504e470d0a1a0a ]]; then
  echo "FAIL: Chromium drew no screenshot" >&2
  exit 1
fi
echo "screenshot: $output/preview.png"

python3 "$here/check_preview.py" "$output/preview.dom.html" "$output/preview.html" \
  "$examples/ArkApi/Plugins/BellwrightEx/config.json" P1 Alice
