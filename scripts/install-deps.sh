#!/usr/bin/env bash
# Installs the Debian packages the build, the sandbox and the tests need, and any
# further packages named as arguments; only the missing ones, so a prepared machine
# is not touched.
#
#   scripts/install-deps.sh [--source-packages] [PACKAGE...]
#
# --source-packages also makes Debian's source packages reachable (`apt-get source`,
# which the Windows build uses for the libraries it compiles itself): it adds a
# deb-src entry beside the machine's binary ones when there is none yet.
set -euo pipefail
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"

source_packages=false
if [ "${1:-}" = "--source-packages" ]; then
  source_packages=true
  shift
fi

packages=(
  g++ cmake ninja-build pkg-config
  nlohmann-json3-dev libspdlog-dev libfmt-dev libutfcpp-dev libasio-dev libcli11-dev libvalijson-dev
  libreadline-dev libgtest-dev libgmock-dev libbenchmark-dev
  libsqlite3-dev libmariadb-dev libhowardhinnant-date-dev tzdata libutf8proc-dev
  "$@"
)
$source_packages && packages+=(dpkg-dev)
missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
    missing+=("$package")
done

updated=false
if $source_packages && ! grep -rqs '^\(deb-src\|Types:.*deb-src\)' /etc/apt/sources.list /etc/apt/sources.list.d/; then
  # The same archives as the binary entries, in either of apt's formats, for sources.
  staged=$(mktemp -d)
  # Debian's own archives only: a third party's may publish no sources, and apt-get update
  # would then fail.
  { grep -hs '^deb .*debian' /etc/apt/sources.list /etc/apt/sources.list.d/*.list || true; } |
    sed 's/^deb /deb-src /' >"$staged/bellwright-sources.list"
  [ -s "$staged/bellwright-sources.list" ] || rm "$staged/bellwright-sources.list"
  for file in /etc/apt/sources.list.d/*.sources; do
    [ -e "$file" ] && grep -qs '^URIs:.*debian' "$file" || continue
    sed 's/^Types:.*/Types: deb-src/' "$file" >"$staged/bellwright-$(basename "$file")"
  done
  $sudo cp "$staged"/* /etc/apt/sources.list.d/
  rm -r "$staged"
  $sudo apt-get update
  updated=true
fi

if ((${#missing[@]})); then
  $updated || $sudo apt-get update
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
fi
