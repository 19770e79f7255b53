#!/usr/bin/env bash
# Windows' own loader lock under Wine: a plug-in whose start-up waits for a thread it
# started, or whose shut-down joins one, never returns from LoadLibraryW or FreeLibrary.
# The sandbox must report it (host_error where it happened) and exit 1 within its
# patience, rather than hang.
#
#   loader_lock.sh WINE SANDBOX_EXE FIXTURE_DLL
set -euo pipefail
wine=$1 sandbox=$2 fixture=$3
windows_path() { printf 'Z:%s' "${1//\//\\}"; }
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
failed=0
for where in load unload; do
  status=0
  transcript=$(printf 'load\nunload\n' | BELLWRIGHT_FIXTURE_WAIT=$where timeout -s KILL 60 \
    "$wine" "$sandbox" --plugin "$(windows_path "$fixture")" --dir "$(windows_path "$folder")" \
    --script -) || status=$?
  if [ "$status" -ne 1 ] || ! grep -q "\"event\":\"host_error\",\"where\":\"$where\"" <<<"$transcript"; then
    echo "waiting for a thread at $where: exit status $status, expected 1 with a host_error" >&2
    echo "$transcript" >&2
    failed=1
  fi
done
exit "$failed"
