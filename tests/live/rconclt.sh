#!/usr/bin/env bash
# Starts the live sandbox server on a free loopback port and drives it with rconclt
# from Debian's rcon package, the way an administrator would.
# Usage: rconclt.sh SANDBOX_EXE EXAMPLES_DIR
set -euo pipefail

sandbox=$1
examples=$2
password=integration-secret

if ! command -v rconclt >/dev/null; then
  echo "rconclt is missing: install Debian's rcon package (scripts/install-deps.sh does)" >&2
  exit 1
fi

work=$(mktemp -d)
server_pid=""
cleanup() {
  if [[ -n $server_pid ]] && kill -0 "$server_pid" 2>/dev/null; then
    kill -TERM "$server_pid" 2>/dev/null || true
    for _ in $(seq 50); do kill -0 "$server_pid" 2>/dev/null || break; sleep 0.1; done
    kill -KILL "$server_pid" 2>/dev/null || true
  fi
  exec 3>&- 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*" >&2
  echo "--- transcript" >&2
  cat "$work/transcript.jsonl" >&2 || true
  echo "--- server errors" >&2
  cat "$work/stderr" >&2 || true
  exit 1
}

# shellcheck source=eventually.sh
source "$(dirname "${BASH_SOURCE[0]}")/eventually.sh"

free_port() {
  python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'
}

transcript_has() { grep -qF -- "$1" "$work/transcript.jsonl"; }
listening() { (exec 9<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null; }
count_registry() { grep -c '"event":"registry"' "$work/transcript.jsonl" || true; }
# Counted afresh at every poll.
second_registry_out() { test "$(count_registry)" -ge 2; }

cp -r "$examples/." "$work/"
port=$(free_port)
# Console input through a FIFO held open here, so the server sees no end of input
# until the test is done with it.
mkfifo "$work/console"
exec 3<>"$work/console"
"$sandbox" --dir "$work" --transcript jsonl --rcon-port "$port" --rcon-password "$password" \
  <"$work/console" >"$work/transcript.jsonl" 2>"$work/stderr" 3>&- &
server_pid=$!

eventually listening || fail "the server does not listen on 127.0.0.1:$port"

echo "join A1 Alice" >&3
echo "join B2 Bob" >&3
# The console is read in order, so once this registry event is out, both players are in.
echo "registry" >&3
eventually second_registry_out || fail "the console commands were not run"

reply=$(timeout 20 rconclt -t 10 "$password@127.0.0.1:$port" 'bw.sendserver A1 "Hello from RCON"') ||
  fail "rconclt failed"
[[ $reply == "Bellwright: Successfully sent message to player" ]] ||
  fail "unexpected reply: $reply"
eventually transcript_has '"to":"A1"' || fail "the message did not reach A1"
grep -F '"event":"server_message"' "$work/transcript.jsonl" | grep -qF '"text":"Hello from RCON"' ||
  fail "no server message with the text"
grep -F '"event":"server_message"' "$work/transcript.jsonl" | grep -qF '"to":"B2"' &&
  fail "the message reached B2 too"
transcript_has '"event":"rcon_reply"' || fail "no rcon_reply event"

# A reload whose file has findings answers with several lines: the usual one, the
# counts and the first ten findings. Keys long enough to take the reply past one
# packet's 4096 bytes show that it arrives whole.
config="$work/ArkApi/Plugins/BellwrightEx/config.json"
long_key=$(printf 'k%.0s' $(seq 300))
{
  printf '{"Bellwright": {}'
  for n in $(seq -w 1 12); do printf ', "%s%s": %d' "$long_key" "$n" "$((10#$n))"; done
  printf '}\n'
} >"$config"
reply=$(timeout 20 rconclt -t 10 "$password@127.0.0.1:$port" 'bw.reload') || fail "rconclt failed on bw.reload"
[[ $(printf '%s\n' "$reply" | wc -l) -eq 13 ]] || fail "the reload reply is not 13 lines: $reply"
[[ $(printf '%s\n' "$reply" | sed -n 1p) == "Bellwright: Reloaded config" ]] || fail "first line: $reply"
[[ $(printf '%s\n' "$reply" | sed -n 2p) == "0 errors, 12 warnings" ]] || fail "counts line: $reply"
printf '%s\n' "$reply" | sed -n 12p | grep -qF "config.json:1:" || fail "tenth finding: $reply"
[[ $(printf '%s\n' "$reply" | sed -n 13p) == "... and 2 more: bellwright-check config.json lists them all" ]] ||
  fail "last line: $reply"
[[ ${#reply} -gt 4096 ]] || fail "the reply fits one packet (${#reply} bytes): the test shows nothing"

status=0
timeout 20 rconclt -t 10 "wrong-password@127.0.0.1:$port" 'bw.sendserver 0 "Nope"' \
  >"$work/refused.out" 2>&1 || status=$?
# rconclt's exit status for a refused password.
[[ $status -eq 5 ]] || fail "wrong password not refused (status $status): $(cat "$work/refused.out")"
grep -qF 'Nope' "$work/transcript.jsonl" && fail "a refused client's command ran"

# End of input unloads the plug-in and exits cleanly.
exec 3>&-
eventually bash -c "! kill -0 $server_pid 2>/dev/null" || fail "the server did not stop at end of input"
wait "$server_pid" || fail "the server exited with status $?"
server_pid=""
grep -qF '"event":"host_error"' "$work/transcript.jsonl" && fail "host_error in the transcript"
echo "PASS"
