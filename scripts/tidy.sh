#!/usr/bin/env bash
# Runs clang-tidy over the given files (default: the plug-in's sources) with the
# default preset's compile commands, less the g++-only flags clang does not know.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset default >/dev/null
mkdir -p build/tidy
sed 's/ -fno-gnu-unique//g' build/default/compile_commands.json >build/tidy/compile_commands.json
if (($# == 0)); then
  mapfile -t files < <(git ls-files 'src/*.cpp')
  set -- "${files[@]}"
fi
clang-tidy -p build/tidy --quiet "$@"
