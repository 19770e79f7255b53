#!/usr/bin/env bash
# Builds and runs every test: in the plain build, under ASan and UBSan built with g++,
# and again built with clang, whose undefined-behaviour sanitizer checks kinds of
# undefined behaviour that g++'s does not. Then the Windows lane: the plug-in, the
# sandbox and the checker cross-built for 64-bit Windows, every behaviour script and
# checker case run under Wine (scripts/windows-lane.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
# Beyond the build: a second compiler for the clang lane, and the peers the tests drive:
# the MariaDB server the storage tests start, Chromium for the preview page, tmux for the
# live console, rconclt for the live RCON test, strace to see which files the load opens.
scripts/install-deps.sh clang libclang-rt-14-dev mariadb-server chromium tmux python3 rcon strace
for preset in default sanitize sanitize-clang; do
  cmake --preset "$preset"
  cmake --build --preset "$preset"
  ctest --preset "$preset"
done
scripts/windows-lane.sh
