#!/usr/bin/env bash
# A player's opt-out of timed messages survives a new server process on the same
# directory, and a configuration without an opt-out command creates no database.
# Usage: opt_out_survives_restart.sh SANDBOX_EXE
set -euo pipefail
sandbox=$1
directory=$(mktemp -d)
trap 'rm -rf "$directory"' EXIT
database="$directory/ArkApi/Plugins/BellwrightEx/bellwright.sqlite"

run() {  # the script on standard input; the jsonl transcript on standard output
  "$sandbox" --dir "$directory" --script -
}

config_without_command='{"TimedMessages": {"Enabled": true, "Interval": 60,
  "Messages": [{"MessageToSend": "Announcement", "MessageType": "Server"}]}}'
config_with_command='{"TimedMessages": {"Enabled": true, "Interval": 60, "OptOutCommand": "/ads",
  "Messages": [{"MessageToSend": "Announcement", "MessageType": "Server"}]}}'

run >/dev/null <<SCRIPT
config <<END
$config_without_command
END
load
join A1 Alice
wait 2
SCRIPT
if [[ -e $database ]]; then
  echo "a configuration without OptOutCommand created $database" >&2
  exit 1
fi

first=$(run <<SCRIPT
config <<END
$config_with_command
END
load
join A1 Alice
chat A1 /ads
SCRIPT
)
grep -q 'Timed messages are off for you' <<<"$first" || {
  echo "the first server did not confirm the opt-out:" >&2
  echo "$first" >&2
  exit 1
}
[[ -s $database ]] || { echo "no database at $database" >&2; exit 1; }

second=$(run <<SCRIPT
load
join A1 Alice
join B1 Bob
wait 1
SCRIPT
)
if grep -q '"to":"A1".*Announcement' <<<"$second"; then
  echo "the second server sent the timed message to the player who opted out:" >&2
  echo "$second" >&2
  exit 1
fi
grep -q '"to":"B1".*Announcement' <<<"$second" || {
  echo "the second server did not send the timed message to the others:" >&2
  echo "$second" >&2
  exit 1
}
if grep -q 'host_error' <<<"$first$second"; then
  echo "an exception escaped from the plug-in" >&2
  exit 1
fi
echo "the opt-out outlived the server process"
