#!/usr/bin/env bash
# Fetches the sources the Windows build compiles itself, from Debian's source packages
# (the installed Debian libraries are Linux binaries): SQLite, utf8proc, and the date
# library's time-zone code. They are unpacked under build/windows-sources, never into
# the repository; a second run reuses them.
#
#   scripts/windows-sources.sh [FOLDER]
set -euo pipefail
cd "$(dirname "$0")/.."
folder=$(realpath -m "${1:-build/windows-sources}")
stamp="$folder/.complete"
[ -e "$stamp" ] && exit 0

rm -rf "$folder"
mkdir -p "$folder/fetch"
(cd "$folder/fetch" && apt-get source --quiet sqlite3 utf8proc howardhinnant-date >../fetch.log 2>&1) || {
  cat "$folder/fetch.log" >&2
  exit 1
}
# One folder per library whatever the packaged version.
mv "$folder"/fetch/sqlite3-*/ "$folder/sqlite3"
mv "$folder"/fetch/utf8proc-*/ "$folder/utf8proc"
mv "$folder"/fetch/howardhinnant-date-*/ "$folder/date"
rm -r "$folder/fetch"

# The package holds SQLite's tree; its own build makes the single-file form that
# projects embed. Only the generators run here (host tools and tclsh), no compiler
# for the target.
mkdir -p "$folder/sqlite3-build"
(
  cd "$folder/sqlite3-build"
  ../sqlite3/configure --disable-tcl >configure.log 2>&1
  make sqlite3.c >make.log 2>&1
) || {
  tail -20 "$folder/sqlite3-build"/*.log >&2
  exit 1
}
mkdir -p "$folder/sqlite-amalgamation"
cp "$folder/sqlite3-build/sqlite3.c" "$folder/sqlite3-build/sqlite3.h" "$folder/sqlite-amalgamation/"
rm -rf "$folder/sqlite3-build" "$folder/sqlite3"
touch "$stamp"
