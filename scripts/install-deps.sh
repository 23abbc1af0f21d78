#!/usr/bin/env bash
# Installs the Debian 12 packages that building and testing need, when any is missing.
#   scripts/install-deps.sh            the build's packages
#   scripts/install-deps.sh clang ...  the packages named
set -euo pipefail
# With arguments, those packages instead of the build's.
packages=(
    cmake ninja-build
    g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
    googletest nlohmann-json3-dev
    wine wine64 xvfb xauth
    openssl osslsigncode zip unzip git
)
[ $# -eq 0 ] || packages=("$@")
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo=sudo
    echo "Installing: ${missing[*]}"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}" >/dev/null
fi
