#!/usr/bin/env bash
# The Windows lane: builds Bellwright.dll, bellwright-sandbox.exe and bellwright-check.exe
# with mingw-w64 (the windows preset), then runs every behaviour script and every
# checker case through wine64, in a Wine prefix made for this run inside the build
# folder, against the same expectations as the Linux lanes, and the MySQL storage's
# tests and the live cluster test against a MariaDB server on loopback. Each run is bounded
# (tests/windows/CMakeLists.txt): a hang under Windows' loader lock fails its test.
set -euo pipefail
cd "$(dirname "$0")/.."
started=$SECONDS
scripts/install-deps.sh --source-packages g++-mingw-w64-x86-64-posix wine64 wine tcl patch googletest \
  mariadb-server
scripts/windows-sources.sh
# The drivers are Linux programs; the Linux lane's builds of them drive Wine.
cmake --preset default >/dev/null
cmake --build --preset default --target bellwright_script_driver bellwright_cluster_tests \
  bellwright_mariadb_helper
cmake --preset windows
cmake --build --preset windows
built=$SECONDS

export WINEPREFIX="$PWD/build/windows/wine" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
rm -rf "$WINEPREFIX"
timeout 300 wineboot --init
status=0
ctest --preset windows || status=$?
# The Wine server lingers a few seconds after its last program; none is left behind.
wineserver --kill || true
echo "windows lane: build $((built - started)) s, Wine prefix and tests $((SECONDS - built)) s"
exit "$status"
