#!/usr/bin/env bash
# Installs the Debian/Ubuntu packages listed in tools/debian-packages.txt that
# are not installed yet (through sudo when not root). Does nothing when all are;
# without root and without sudo it lists the missing packages and exits with 1.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
list="$here/debian-packages.txt"

installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }

missing=()
alternatives=()
while read -r line; do
  line=${line%%#*}; line=$(echo "$line" | tr -d '[:space:]')
  [ -n "$line" ] || continue
  IFS='|' read -r -a alts <<<"$line"
  ok=0
  for p in "${alts[@]}"; do if installed "$p"; then ok=1; break; fi; done
  [ $ok = 1 ] && continue
  if [ ${#alts[@]} = 1 ]; then missing+=("${alts[0]}"); else alternatives+=("$line"); fi
done <"$list"

[ ${#missing[@]} = 0 ] && [ ${#alternatives[@]} = 0 ] && exit 0

# Installing needs root. Without root and without sudo, say what is missing
# and how to get it instead of failing on a bare "sudo: command not found".
sudo_cmd=()
if [ "$(id -u)" != 0 ]; then
  if command -v sudo >/dev/null 2>&1; then
    sudo_cmd=(sudo)
  else
    {
      echo "install-deps.sh: these packages are missing:"
      for p in "${missing[@]}"; do echo "  $p"; done
      for line in "${alternatives[@]}"; do echo "  ${line//|/ or }"; done
      echo "Installing them needs root, and sudo is not installed: run tools/install-deps.sh"
      echo "as root, or install sudo (as root: apt-get install sudo) and run it again."
    } >&2
    exit 1
  fi
fi

echo "Installing missing packages..."
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update
for line in "${alternatives[@]}"; do
  IFS='|' read -r -a alts <<<"$line"
  for p in "${alts[@]}"; do
    if apt-cache show "$p" >/dev/null 2>&1; then missing+=("$p"); break; fi
  done
done
"${sudo_cmd[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
