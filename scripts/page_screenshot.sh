#!/usr/bin/env bash
# Draws an HTML page into a PNG with headless Chromium, as tall as the page, so that
# nothing at its foot is cut off. Chromium draws only its window, so the page is
# measured first, in a copy that writes its own height into its DOM (the page itself
# holds no script).
# Usage: scripts/page_screenshot.sh PAGE.html SCREENSHOT.png [WIDTH]   (width 1280)
set -euo pipefail
page=$(realpath "$1")
screenshot=$(realpath -m "$2")
width=${3:-1280}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# A fresh profile each time, and nothing that reaches out to the network.
chromium_run() {
  rm -rf "$work/profile"
  timeout 120 chromium --headless --no-sandbox --disable-gpu --disable-quic --no-first-run \
    --disable-background-networking --disable-component-update --disable-sync \
    --user-data-dir="$work/profile" --hide-scrollbars "$@" 2>>"$work/chromium.log"
}

measure='<script>document.body.dataset.pageHeight = document.documentElement.scrollHeight</script>'
sed "s|</body>|$measure</body>|" "$page" >"$work/measure.html"
# A low window, so that the height measured is the page's and not the window's.
height=$(chromium_run --window-size="$width,100" --dump-dom "file://$work/measure.html" |
  sed -n 's/.*data-page-height="\([0-9]*\)".*/\1/p' | head -n 1) || true
if [[ -z $height ]]; then
  echo "cannot measure the height of $page" >&2
  cat "$work/chromium.log" >&2
  exit 1
fi
chromium_run --window-size="$width,$height" --screenshot="$screenshot" "file://$page" >/dev/null ||
  { cat "$work/chromium.log" >&2; exit 1; }
