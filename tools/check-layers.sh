#!/usr/bin/env bash
# Fails when a source file includes a header of a higher layer, or when code
# outside platform/ includes a system interface only platform/ may know.
# Layers, bottom to top:
#   platform < engine/core < engine/sound < engine/graphics < engine/gui
#   < engine/app < game (shell, world, objects, screens: one layer)
# Usage: check-layers.sh [REPO]
set -u
repo=${1:-$(cd "$(dirname "$0")/.." && pwd)}
cd "$repo" || exit 2

# Sets r to the layer of a path (no subshell: this runs once per include).
rank() {
  case "$1" in
    platform/*) r=0 ;;
    engine/core/*) r=1 ;;
    engine/sound/*) r=2 ;;
    engine/graphics/*) r=3 ;;
    engine/gui/*) r=4 ;;
    engine/app/*) r=5 ;;
    game/*) r=6 ;;
    *) r=99 ;;
  esac
}

# System headers that belong to the platform layer alone.
platform_only='^(SDL|GL/|GLES|EGL/|KHR/|X11/|xmp\.h|vorbis/|ogg/|sys/|unistd\.h|fcntl\.h|netinet/|arpa/|netdb\.h|poll\.h|pthread\.h|dirent\.h|dlfcn\.h|pwd\.h|signal\.h|termios\.h)'

faults=0
while IFS= read -r file; do
  rank "$file"; own=$r
  while IFS= read -r line; do
    num=${line%%:*}
    inc=${line#*:}
    case "$inc" in
      *'#include "'*)
        target=${inc#*\"}; target=${target%%\"*}
        case "$target" in
          platform/*|engine/*|game/*)
            rank "$target"
            if [ "$r" -gt "$own" ]; then
              echo "$file:$num: includes higher layer: $target"
              faults=$((faults + 1))
            fi ;;
          tests/*|bench/*|fuzz/*|tools/*)
            echo "$file:$num: production code includes $target"
            faults=$((faults + 1)) ;;
        esac ;;
      *'#include <'*)
        target=${inc#*<}; target=${target%%>*}
        if [ "$own" != 0 ] && [[ "$target" =~ $platform_only ]]; then
          echo "$file:$num: only platform/ may include <$target>"
          faults=$((faults + 1))
        fi ;;
    esac
  done < <(grep -n '^[[:space:]]*#[[:space:]]*include' "$file")
done < <(find platform engine game -type f \( -name '*.h' -o -name '*.cpp' -o -name '*.c' \) | sort)

if [ "$faults" != 0 ]; then
  echo "check-layers: $faults include(s) break the layering"
  exit 1
fi
echo "check-layers: every include points down"
