#!/usr/bin/env bash
# The start runs under the loader lock on the real host, where a standard library's
# zone database may load another library: the load reads none of the database, and the
# first timer call, which needs the schedules' zones, does.
# Usage: zones_after_load.sh SANDBOX_EXE
set -euo pipefail
sandbox=$1
directory=$(mktemp -d)
trap 'rm -rf "$directory"' EXIT
folder="$directory/ArkApi/Plugins/BellwrightEx"
mkdir -p "$folder"
cat >"$folder/config.json" <<'JSON'
{"Bellwright": {},
 "Schedules": [{"Name": "Daily", "At": ["06:00"], "TimeZone": "Europe/Berlin",
   "MessageToSend": "Daily", "MessageType": "Server", "MessageColour": {"R": 255}}]}
JSON

fail() { echo "$1" >&2; exit 1; }

# The files the sandbox opens under the zone database's folder while it runs SCRIPT. The
# C library's own time zone is given as a rule (UTC0), so it opens no file there.
zone_files() {
  TZ=UTC0 strace -f -qq -e trace=openat,open -o "$directory/trace" \
    "$sandbox" --dir "$directory" --script - <<<"$1" >"$directory/transcript"
  grep -c 'zoneinfo' "$directory/trace" || true
}

[[ $(zone_files $'load\nunload\nload') -eq 0 ]] ||
  fail "loading the plug-in read the zone database: $(grep zoneinfo "$directory/trace" | head -3)"
[[ $(zone_files $'load\nwait 1') -gt 0 ]] ||
  fail "the first timer call did not look the schedule's zone up (or strace saw nothing)"
! grep -q host_error "$directory/transcript" || fail "host errors: $(cat "$directory/transcript")"
