#!/usr/bin/env bash
# --preview-page on a configuration of its own: every message it configures reaches the
# one player exactly once (a schedule's steps with a step's own text, a list kept to a
# group, a command kept to a group and one with a cooldown, the countdown), what does not
# run is named with its reason, and a file the plug-in cannot read gives no page, a
# non-zero status and the reason on the standard error.
# Usage: preview_any_config.sh SANDBOX_EXE
set -euo pipefail

sandbox=$1
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
plugin_folder=ArkApi/Plugins/BellwrightEx
mkdir -p "$work/server/$plugin_folder"
cp "$here/small_config.json" "$work/server/$plugin_folder/config.json"

"$sandbox" --dir "$work/server" --preview-page "$work/page.html" --transcript jsonl \
  >"$work/transcript.jsonl"

python3 - "$work/transcript.jsonl" "$work/page.html" <<'PYTHON'
import html
import json
import sys

events = [json.loads(line) for line in open(sys.argv[1], encoding="utf-8")]
page = html.unescape(open(sys.argv[2], encoding="utf-8").read())
failures = []

def is_reply(event):
    return event["event"] == "server_message" and event["text"].startswith("Bellwright: ")

shown = [event for event in events
         if event["event"] in ("server_message", "chat_message", "notification")
         and not is_reply(event)]
# (kind, text): chat lines hold their text inside the RichColor markup.
expected = [
    ("chat_message", "Hello Alice"),
    ("chat_message", "Welcome back, veteran Alice"),
    ("chat_message", "First time here, Alice?"),
    ("chat_message", "A timed word"),
    ("chat_message", "Staff note one"),
    ("server_message", "Staff note two"),
    ("server_message", "Ten minutes to the nightly restart"),
    ("server_message", "Restart at 03:00, in 5 minutes"),
    ("server_message", "Restart at 03:00, in 0 minutes"),
    ("server_message", "Down in 3 minutes"),
    ("server_message", "Down in 1 minute"),
    ("server_message", "Going down now"),
    ("server_message", "The restart is called off"),
    ("server_message", "The map is Island"),
    ("notification", "The shop opens at noon"),
    ("chat_message", "You don't have permission to perform this command"),
    ("chat_message", "Please wait 30 s before using /shop again."),
]

def matches(event, kind, text):
    if event["event"] != kind:
        return False
    if kind == "chat_message":
        return event["text"].endswith(">" + text + "</>")
    return event["text"] == text

for kind, text in expected:
    count = sum(1 for event in shown if matches(event, kind, text))
    if count != 1:
        failures.append("%s %r: %d times instead of once" % (kind, text, count))
    if text not in page:
        failures.append("%r is not on the page" % text)
if len(shown) != len(expected):
    failures.append("%d messages for the %d configured: %r"
                    % (len(shown), len(expected), [event["text"] for event in shown]))
for event in shown:
    if event["to"] != "P1":
        failures.append("a message for someone else: %r" % event)
notification = next((event for event in shown if event["event"] == "notification"), {})
if notification.get("icon") != "/Game/Icons/Shop" or notification.get("scale") != 1.5:
    failures.append("the notification lost its look: %r" % notification)

# What does not run is named in the reply, with the reason.
reply = "\n".join(event["text"] for event in events if is_reply(event))
for name, reason in (("Old list", "is off"), ("Far away", "Mars/Olympus_Mons")):
    line = next((line for line in reply.splitlines() if name in line), "")
    if reason not in line:
        failures.append("the reply does not say why %s is not shown: %r" % (name, reply))
for name in ("Far away", "Old list"):
    if name not in page:
        failures.append("the page does not name %s" % name)
if any(event["event"] in ("host_error", "sandbox_error") for event in events):
    failures.append("errors in the transcript")

for failure in failures:
    print("FAIL:", failure, file=sys.stderr)
print("%d messages shown, %d failures" % (len(shown), len(failures)))
sys.exit(1 if failures else 0)
PYTHON

# A file that is not JSON: no page, a non-zero status, and why on the standard error.
printf '{"Bellwright": {\n' >"$work/server/$plugin_folder/config.json"
status=0
"$sandbox" --dir "$work/server" --preview-page "$work/broken.html" 2>"$work/stderr.txt" \
  >/dev/null || status=$?
if [[ $status -eq 0 ]] || [[ -e $work/broken.html ]] ||
  ! grep -q "did not start on .*config.json" "$work/stderr.txt" ||
  ! grep -q "syntax error" "$work/stderr.txt"; then
  echo "FAIL: a broken configuration gave status $status and said:" >&2
  cat "$work/stderr.txt" >&2
  exit 1
fi
echo "a broken configuration: status $status, the reason on the standard error"
