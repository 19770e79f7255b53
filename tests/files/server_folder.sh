#!/usr/bin/env bash
# The plug-in's files in an awkward server folder: a name outside ASCII holds both the
# configuration and the SQLite store; a read-only plug-in folder (in the log and in
# bw.status, with the time it began) and a configuration that is a named pipe are
# reported with their real causes, at once.
# Usage: server_folder.sh SANDBOX_EXE
set -euo pipefail
sandbox=$1
base=$(mktemp -d)
trap 'rm -rf "$base"' EXIT
chmod 755 "$base"
directory="$base/Sérveur 東"
folder="$directory/ArkApi/Plugins/BellwrightEx"
mkdir -p "$folder"
cat >"$folder/config.json" <<'JSON'
{"Bellwright": {"ServerMessageColor": {"R": 255}},
 "TimedMessages": {"Enabled": true, "Interval": 60, "OptOutCommand": "/ads",
  "Messages": [{"MessageToSend": "Announcement", "MessageType": "Server", "MessageColour": {"G": 255}}]}}
JSON

fail() { echo "$1" >&2; shift; printf '%s\n' "$@" >&2; exit 1; }

# As a user the folder's permissions apply to, also when the tests run as root.
run() {  # the script on standard input; the jsonl transcript on standard output
  if [[ $(id -u) -eq 0 ]]; then
    chown -R 65534:65534 "$base"
    timeout 20 setpriv --reuid=65534 --regid=65534 --clear-groups "$sandbox" --dir "$directory" --script -
  else
    timeout 20 "$sandbox" --dir "$directory" --script -
  fi
}

transcript=$(run <<<$'load\njoin A1 Alice\nchat A1 /ads\nwait 2' || true)
grep -q 'Timed messages are off for you' <<<"$transcript" ||
  fail "the configuration in a folder outside ASCII was not read:" "$transcript"
[[ -s $folder/bellwright.sqlite ]] ||
  fail "no database at $folder/bellwright.sqlite:" "$transcript"
! grep -q '"event":"log".*error' <<<"$transcript" || fail "errors logged:" "$transcript"

rm -f "$folder"/bellwright.sqlite*
chmod 555 "$folder"
transcript=$(run <<<$'load\njoin A1 Alice\nchat A1 /ads\nwait 2\nrcon bw.status' || true)
chmod 755 "$folder"
grep -q 'bellwright.sqlite does not work: unable to open database file (Permission denied)' \
  <<<"$transcript" || fail "a read-only plug-in folder was not named as such:" "$transcript"
grep -q 'bellwright.sqlite, failing since 2026-01-01 00:00:00 UTC (unable to open database file (Permission denied)), 1 choices waiting' \
  <<<"$transcript" || fail "the status did not say since when and why the storage fails:" "$transcript"

rm "$folder/config.json"
mkfifo "$folder/config.json"
transcript=$(run <<<'load') || true
grep -q "Can't open config.json: $folder/config.json: it is a named pipe (FIFO)" <<<"$transcript" ||
  fail "a named pipe for a configuration was not refused at once:" "$transcript"
