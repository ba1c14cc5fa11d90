#!/usr/bin/env bash
# Installs the Debian packages given as arguments when any of them is missing: with apt-get
# as root, through sudo otherwise, and with a clear message naming them when neither works.
set -euo pipefail

missing=()
for package in "$@"; do
  status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$package")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

echo "Installing missing packages: ${missing[*]}"
if [[ $(id -u) -eq 0 ]]; then
  runner=()
elif command -v sudo >/dev/null 2>&1 && sudo -n true 2>/dev/null; then
  runner=(sudo)
else
  echo "error: these Debian packages are missing and cannot be installed without root:" >&2
  echo "  ${missing[*]}" >&2
  echo "install them with: sudo apt-get install ${missing[*]}" >&2
  exit 1
fi
export DEBIAN_FRONTEND=noninteractive
"${runner[@]}" apt-get update -q
"${runner[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
