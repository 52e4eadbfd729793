#!/usr/bin/env bash
# Runs one test program in a fresh temporary home, so that no test touches the
# real home, desktop or data folders. Usage: run-test.sh plain|gl|x11 PROGRAM [ARGS]
set -u
kind=$1; shift
tmp=$(mktemp -d "${TMPDIR:-/tmp}/vektest.XXXXXX")
trap 'rm -rf "$tmp"' EXIT
mkdir -p "$tmp/home" "$tmp/share" "$tmp/config" "$tmp/run"
chmod 700 "$tmp/run"
export HOME="$tmp/home" XDG_DATA_HOME="$tmp/share" XDG_CONFIG_HOME="$tmp/config" XDG_RUNTIME_DIR="$tmp/run"
export VEK_TEST_TMP="$tmp"
export SDL_AUDIODRIVER=dummy
here=$(cd "$(dirname "$0")" && pwd)
export UBSAN_OPTIONS="suppressions=$here/ubsan.supp:print_stacktrace=1:halt_on_error=1"
cd "$tmp"
case "$kind" in
  plain)
    export SDL_VIDEODRIVER=dummy
    exec "$@" ;;
  gl)
    export SDL_VIDEODRIVER=offscreen
    export ASAN_OPTIONS="detect_leaks=0${ASAN_OPTIONS:+:$ASAN_OPTIONS}"
    exec "$@" ;;
  x11)
    unset SDL_VIDEODRIVER
    export ASAN_OPTIONS="detect_leaks=0${ASAN_OPTIONS:+:$ASAN_OPTIONS}"
    exec xvfb-run -a -s "-screen 0 1280x1024x24" "$@" ;;
  *)
    echo "run-test.sh: unknown kind '$kind'" >&2; exit 2 ;;
esac
