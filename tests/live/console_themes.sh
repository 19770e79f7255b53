#!/usr/bin/env bash
# The live console as an administrator sees it in a terminal, driven through tmux: a
# dark and a light theme, and NO_COLOR. Colours are those the game shows, text too
# close to the background gets a band, lines name players with their ids, and the
# HTML page is kept up to date while the server runs.
# Usage: console_themes.sh SANDBOX_EXE EXAMPLES_DIR
set -euo pipefail

sandbox=$(realpath "$1")
examples=$(realpath "$2")

if ! command -v tmux >/dev/null; then
  echo "tmux is missing: install Debian's tmux package (scripts/install-deps.sh does)" >&2
  exit 1
fi

work=$(mktemp -d)
# A tmux server of this test's own, on its own socket, so no one else's is touched.
socket="bellwright-console-$$"
cleanup() {
  tmux -L "$socket" kill-server 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*" >&2
  echo "--- screen" >&2
  cat -v "$work/screen" >&2 || true
  exit 1
}

# shellcheck source=eventually.sh
source "$(dirname "${BASH_SOURCE[0]}")/eventually.sh"

capture() {
  tmux -L "$socket" capture-pane -p -e -J -S - -t "$1" >"$work/screen" 2>/dev/null
}
screen_has() { capture "$1" && grep -qF -- "$2" "$work/screen"; }
session_gone() { ! tmux -L "$socket" has-session -t "$1" 2>/dev/null; }
type_line() { tmux -L "$socket" send-keys -t "$1" -l "$2" && tmux -L "$socket" send-keys -t "$1" Enter; }

# Starts the server in a terminal of its own with the given environment and options,
# sends the same messages every time and leaves the screen in $work/screen.
run_console() {
  local name=$1 environment=$2
  shift 2
  cp -r "$examples/." "$work/$name"
  {
    echo "#!/usr/bin/env bash"
    echo "cd '$work'"
    echo "env -u NO_COLOR -u COLORFGBG $environment '$sandbox' --dir '$work/$name' $*"
    echo "echo \$? >'$work/$name.status'"
  } >"$work/$name.sh"
  tmux -L "$socket" new-session -d -s "$name" -x 250 -y 60 "bash '$work/$name.sh'"
  eventually screen_has "$name" "Type help" || fail "$name: the console did not start"
  type_line "$name" "join A1 Alice"
  type_line "$name" 'rcon bw.sendnotification A1 "White storm" 1 5 255 255 255 /Game/Icons/Storm'
  type_line "$name" 'rcon bw.sendserver A1 "Black notice" 0 0 0'
  type_line "$name" 'rcon bw.sendserver A1 "Orange notice" 255 128 0'
  type_line "$name" "help"
  eventually screen_has "$name" 'bw.sendnotification TARGET "message" [SCALE TIME R G B ICON]' ||
    fail "$name: help does not show the plug-in's commands"
}

stop_console() {
  type_line "$1" "quit"
  eventually session_gone "$1" || fail "$1: quit did not stop the server"
  [[ $(cat "$work/$1.status") == 0 ]] || fail "$1: the server exited with $(cat "$work/$1.status")"
}

# The escape sequences in front of a text: "FG" or "FG BAND" as R;G;B, or "none".
paint_of() {
  TEXT=$1 perl -ne '
    if (!$found && /\e\[38;2;(\d+;\d+;\d+)m(?:\e\[48;2;(\d+;\d+;\d+)m)?\Q$ENV{TEXT}\E/) {
      print $2 ? "$1 $2" : $1; $found = 1;
    }
    END { print "none" unless $found }' "$work/screen"
}

expect_paint() {
  local name=$1 text=$2 wanted=$3 got
  got=$(paint_of "$text")
  [[ $got == "$wanted" ]] || fail "$name: \"$text\" is painted $got, expected $wanted"
}

# Dark, chosen on the command line; the page is written as things happen.
run_console dark "" --theme dark --transcript html "'$work/live.html'"
eventually screen_has dark "Orange notice" || fail "dark: the messages did not arrive"
expect_paint dark "White storm" "255;255;255"
expect_paint dark "Black notice" "0;0;0 220;220;220"
# A configured 255, 128, 0 is shown as configured, not as the linear numbers.
expect_paint dark "Orange notice" "255;128;0"
grep -qF "Alice (A1)" "$work/screen" || fail "dark: players are not named"
grep -F "RCON #" "$work/screen" | grep -qF "admin" || fail "dark: RCON replies are not the administrator's"
page_has() { grep -qF -- "$1" "$work/live.html"; }
eventually page_has "Orange notice" || fail "dark: the live page was not brought up to date"
page_has '<meta http-equiv="refresh"' || fail "dark: the live page does not reload itself"
stop_console dark
ls -A "$work" | grep -q '\.tmp$' && fail "dark: a temporary page was left behind"

# Light, as COLORFGBG tells it (black on white).
run_console light "COLORFGBG='0;15'"
eventually screen_has light "Orange notice" || fail "light: the messages did not arrive"
expect_paint light "White storm" "255;255;255 40;40;40"
expect_paint light "Black notice" "0;0;0"
# Orange on white is below the contrast a glance needs, too.
expect_paint light "Orange notice" "255;128;0 40;40;40"
stop_console light

# NO_COLOR: plain words, the colour after the text.
run_console plain "NO_COLOR=1"
eventually screen_has plain "Orange notice" || fail "plain: the messages did not arrive"
grep -qF "Orange notice [255,128,0]" "$work/screen" || fail "plain: no colour in words"
grep -qF "White storm [255,255,255]" "$work/screen" || fail "plain: no colour in words"
grep -F "notice" "$work/screen" | grep -q $'\e\\[38;2' && fail "plain: colour escapes despite NO_COLOR"
stop_console plain
echo "console themes: ok"
