#!/usr/bin/env bash
# Installs what building and testing need, and the packages named as arguments, when they
# are missing (Debian 12).
set -euo pipefail

needed=()
have() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"; }
for pkg in g++ cmake make libxml2-dev libgtest-dev pkg-config clang-format libxml2-utils groff-base \
    nlohmann-json3-dev neovim "$@"; do
    have "$pkg" || needed+=("$pkg")
done

if [ "${#needed[@]}" -gt 0 ]; then
    echo "Installing: ${needed[*]}"
    sudo_cmd=""
    [ "$(id -u)" -eq 0 ] || sudo_cmd="sudo"
    $sudo_cmd apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq "${needed[@]}"
fi
