#!/usr/bin/env bash
# Fetches the sources the Windows build compiles itself, from Debian's source packages
# (the installed Debian libraries are Linux binaries): SQLite, utf8proc, the date
# library's time-zone code, and MariaDB Connector/C (the libmariadb folder of the
# mariadb source package, the library Debian's libmariadb is built from). They are
# unpacked under build/windows-sources, never into the repository; a second run reuses
# them.
#
#   scripts/windows-sources.sh [FOLDER]
set -euo pipefail
cd "$(dirname "$0")/.."
folder=$(realpath -m "${1:-build/windows-sources}")
stamp="$folder/.complete"
# A folder made before Connector/C was among them is made again.
[ -e "$stamp" ] && [ -d "$folder/libmariadb" ] && exit 0

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

# The mariadb package holds the whole server; only Connector/C is taken from it, with
# whichever of Debian's patches touch it. Its newest version whose files the archives
# still serve: a security update's sources may be listed before the mirror has them.
mkdir -p "$folder/fetch"
fetched=false
for version in $(apt-cache showsrc mariadb | sed -n 's/^Version: //p' | sort -r -V -u); do
  if (cd "$folder/fetch" && apt-get source --quiet --download-only "mariadb=$version" \
    >>../fetch.log 2>&1); then
    fetched=true
    break
  fi
  rm -f "$folder"/fetch/*
done
$fetched || {
  cat "$folder/fetch.log" >&2
  exit 1
}
tar -xzf "$folder"/fetch/mariadb_*.orig.tar.gz -C "$folder/fetch" --wildcards '*/libmariadb/*'
tree=$(echo "$folder"/fetch/mariadb-*/)
tar -xJf "$folder"/fetch/mariadb_*.debian.tar.xz -C "$tree" debian/patches
sed 's/#.*//' "$tree/debian/patches/series" | while read -r patch _; do
  [ -n "$patch" ] && grep -q '^+++ [^[:space:]]*/libmariadb/' "$tree/debian/patches/$patch" || continue
  patch --quiet -p1 -d "$tree" <"$tree/debian/patches/$patch"
done
mv "$tree/libmariadb" "$folder/libmariadb"
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
