#!/usr/bin/env bash
# Builds the sandbox server and writes preview.html: every message a configuration
# sends, each once, as a player sees it (the welcomes, each timed message, each entry
# of the announcement lists, each step of the schedules, the restart countdown, each
# custom command's answer), in one page that any browser opens without network or
# script. Lists and schedules that do not run are named beside it with the reason.
# Given a second file name, also draws the page into that PNG with headless Chromium.
#
# Usage: scripts/preview.sh [--dir FOLDER] [PAGE.html [SCREENSHOT.png]]
#   FOLDER: your server's folder, the one that holds ArkApi/Plugins/BellwrightEx/, or
#   that plug-in folder itself, the one holding config.json (default: examples/).
#   Only config.json is read, from a copy: nothing in FOLDER is written.
# Example: scripts/preview.sh --dir /srv/game/ShooterGame/Binaries/Win64 my-server.html
#
# The same by hand, on a copy of a server folder (the plug-in may write its storage
# file there, as on the server):
#   build/default/bin/bellwright-sandbox --dir COPY --preview-page PAGE.html
set -euo pipefail
cd "$(dirname "$0")/.."
folder=examples
if [[ ${1:-} == --dir ]]; then
  folder=${2:?--dir needs a folder}
  shift 2
fi
page=$(realpath -m "${1:-preview.html}")
screenshot=${2:-}
plugin_folder=ArkApi/Plugins/BellwrightEx
if [[ -f $folder/$plugin_folder/config.json ]]; then
  config=$folder/$plugin_folder/config.json
elif [[ -f $folder/config.json ]]; then
  config=$folder/config.json
else
  echo "preview: no config.json in $folder nor in $folder/$plugin_folder" >&2
  exit 2
fi
if [[ -n $screenshot ]]; then
  scripts/install-deps.sh chromium
else
  scripts/install-deps.sh
fi
cmake --preset default >/dev/null
cmake --build --preset default --target bellwright-sandbox
# The server writes into its directory (the opt-out's SQLite file): a copy keeps the
# given folder as it is and every page alike.
server=$(mktemp -d)
trap 'rm -rf "$server"' EXIT
mkdir -p "$server/$plugin_folder"
cp "$config" "$server/$plugin_folder/config.json"
# The sandbox names the copy; say which file it was.
if ! build/default/bin/bellwright-sandbox --dir "$server" --preview-page "$page"; then
  echo "preview: no page for $config (the copy above is of that file)" >&2
  exit 1
fi
echo "preview: $page"

if [[ -n $screenshot ]]; then
  scripts/page_screenshot.sh "$page" "$screenshot"
  echo "screenshot: $screenshot"
fi
