#!/usr/bin/env bash
# Runs the display-scale tests (PROGRAM) at 96, 144 and 192 DPI (100, 150 and 200 %), each time
# with the scale set as a user sets it (HKCU\Control Panel\Desktop, LogPixels) before anything
# starts. They run in a Wine prefix of their own, so the other tests keep their scale, on a
# virtual display of their own, 2560 x 1600, where the dialog fits at 200 %; their screenshots
# are saved in SHOTS_DIR (through run_e2e.sh). Every run is bounded.
# Usage: run_at_display_scales.sh SHOTS_DIR PREFIX_DIR PROGRAM
set -u
here=$(cd "$(dirname "$0")" && pwd)
shots=$1
dir=$2
program=$3

mkdir -p "$dir"
. "$here/../../scripts/wine-env.sh" "$dir"
wine_prepare_prefix
WINE_SCREEN_SIZE=2560x1600x24 wine_start_display
trap wine_stop_display EXIT

status=0
for dpi in 96 144 192; do
    echo "== at $dpi DPI =="
    timeout 60 "$WINE" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d $dpi /f \
        </dev/null >/dev/null 2>&1
    # Every Wine process, the desktop's too, starts afresh and reads the scale.
    timeout 30 "$WINESERVER" -k >/dev/null 2>&1
    timeout 30 "$WINESERVER" -w >/dev/null 2>&1
    wine_start_server
    "$here/run_e2e.sh" "$shots" "$WINE" "$program" || status=1
done
exit $status
