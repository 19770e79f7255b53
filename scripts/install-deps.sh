#!/usr/bin/env bash
# Installs the Debian packages the build, the sandbox and the tests need, and any
# further packages named as arguments; only the missing ones, so a prepared machine
# is not touched.
set -euo pipefail
packages=(
  g++ cmake ninja-build pkg-config
  nlohmann-json3-dev libspdlog-dev libfmt-dev libutfcpp-dev libasio-dev libcli11-dev libvalijson-dev
  libreadline-dev libgtest-dev libgmock-dev libbenchmark-dev
  libsqlite3-dev libmariadb-dev libhowardhinnant-date-dev tzdata
  "$@"
)
missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
    missing+=("$package")
done
if ((${#missing[@]})); then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
fi
