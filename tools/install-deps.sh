#!/usr/bin/env bash
# Installs the Debian packages listed in the given files that are not installed yet.
set -euo pipefail
missing=()
for pkg in $(grep -hv '^\s*#' "$@" | awk 'NF{print $1}' | sort -u); do
    if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$pkg")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
