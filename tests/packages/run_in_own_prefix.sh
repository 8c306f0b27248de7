#!/usr/bin/env bash
# A Wine prefix of its own for a test that installs into it, so that what it installs meets
# nothing an earlier run left. The program's windows go to the caller's X display; every run is
# bounded, and the prefix's Wine processes are ended afterwards.
# Usage: run_in_own_prefix.sh --new DIR              creates the prefix afresh (about 15 s)
#        run_in_own_prefix.sh DIR PROGRAM [ARGS...]  runs PROGRAM in it (created first if missing)
set -u
fresh=0
if [ "$1" = "--new" ]; then
    fresh=1
    shift
fi
dir=$1
shift

if [ $fresh -eq 1 ]; then
    rm -rf "$dir"
fi
mkdir -p "$dir"
. "$(dirname "$0")/../../scripts/wine-env.sh" "$dir"
wine_prepare_prefix
if [ $# -eq 0 ]; then
    exit 0
fi
if [ -z "${DISPLAY:-}" ]; then
    echo "This test needs an X display: run it through scripts/test.sh, or start Xvfb and set DISPLAY." >&2
    exit 1
fi
wine_start_server
timeout --kill-after=10 600 "$WINE" "$@"
status=$?
timeout 30 "$WINESERVER" -k >/dev/null 2>&1
exit $status
