#!/usr/bin/env bash
# Installs the Debian/Ubuntu packages listed in tools/debian-packages.txt that
# are not installed yet (through sudo when not root). Does nothing when all are.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
list="$here/debian-packages.txt"

installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }

sudo_cmd=()
if [ "$(id -u)" != 0 ]; then sudo_cmd=(sudo); fi

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
