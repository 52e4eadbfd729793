#!/usr/bin/env bash
# Regenerates the small sound files used by the audio tests
# (tests/data/audio) and the seeds of the sound-decoder fuzz corpus.
# Needs a C compiler and libvorbis-dev (for libvorbisenc).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
repo=$(cd "$here/.." && pwd)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
cc -O2 -o "$tmp/make-test-sounds" "$here/make-test-sounds.c" \
   $(pkg-config --cflags --libs vorbisenc vorbis ogg) -lm
mkdir -p "$repo/tests/data/audio" "$repo/fuzz/corpus/sound_decoders"
"$tmp/make-test-sounds" "$repo/tests/data/audio" "$repo/fuzz/corpus/sound_decoders"
