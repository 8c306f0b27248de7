#!/usr/bin/env bash
# Runs a Windows program under Wine in a prefix of its own, created afresh in DIR (about 15 s),
# so that what it installs meets nothing an earlier run left; the prefix's Wine processes are
# ended afterwards. The program's windows go to the caller's X display. The run is bounded.
# Usage: run_in_fresh_prefix.sh DIR PROGRAM [ARGS...]
set -u
dir=$1
shift
if [ -z "${DISPLAY:-}" ]; then
    echo "This test needs an X display: run it through scripts/test.sh, or start Xvfb and set DISPLAY." >&2
    exit 1
fi

rm -rf "$dir"
mkdir -p "$dir"
. "$(dirname "$0")/../../scripts/wine-env.sh" "$dir"
wine_prepare_prefix
wine_start_server
timeout --kill-after=10 600 "$WINE" "$@"
status=$?
timeout 30 "$WINESERVER" -k >/dev/null 2>&1
exit $status
