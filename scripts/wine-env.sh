# Sourced by the scripts that run Windows programs: a private Wine prefix inside the build tree,
# Chinese locale (code page 936), no crash dialog, no desktop integration.
# Usage: . scripts/wine-env.sh BUILD_DIR
wine_build_dir=$(cd "$1" && pwd)
export WINEPREFIX="$wine_build_dir/wineprefix"
export WINEARCH=win64
export WINEDEBUG=-all
export WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree=d;mshtml=d"
export LANG=zh_CN.UTF-8
export LC_ALL=zh_CN.UTF-8
WINE=$(command -v wine64 || command -v wine || echo /usr/lib/wine/wine64)
WINESERVER=$(command -v wineserver || echo /usr/lib/wine/wineserver64)
export WINE WINESERVER

# Creates the prefix once (about 15 s) and turns the crash dialog off, so a crashed program
# ends instead of being held open.
wine_prepare_prefix() {
    if [ ! -f "$WINEPREFIX/.orvendal-ready" ]; then
        mkdir -p "$WINEPREFIX"
        timeout 180 "$WINE" wineboot -i >/dev/null 2>&1 || true
        timeout 60 "$WINE" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f \
            >/dev/null 2>&1 || true
        timeout 60 "$WINESERVER" -w || true
        touch "$WINEPREFIX/.orvendal-ready"
    fi
}

# Starts a private virtual X display and exports DISPLAY; wine_stop_display ends it. Its size is
# WINE_SCREEN_SIZE (width x height x depth), 1280x1024x24 unless set.
wine_start_display() {
    local display_file
    display_file=$(mktemp)
    Xvfb -displayfd 5 -screen 0 "${WINE_SCREEN_SIZE:-1280x1024x24}" -nolisten tcp 5>"$display_file" >/dev/null 2>&1 &
    WINE_XVFB_PID=$!
    local waited=0
    while [ ! -s "$display_file" ] && [ $waited -lt 100 ]; do
        sleep 0.1
        waited=$((waited + 1))
    done
    export DISPLAY=":$(cat "$display_file")"
    rm -f "$display_file"
}

# Starts one persistent Wine server and Wine's own background processes before any test runs:
# parallel tests then never race to start a server, and those processes never inherit (and hold
# open) the output pipe of a test whose output is being captured.
# The tests' virtual display has no window manager, so Wine manages the windows itself: a window
# it leaves to a window manager waits 2 s for one to withdraw it on closing, and has no title bar.
wine_start_server() {
    "$WINESERVER" -p
    timeout 120 "$WINE" cmd /c exit </dev/null >/dev/null 2>&1 || true
    wine_let_window_manager_manage N
}

# wine_let_window_manager_manage Y|N: whether a window manager places and decorates the windows.
wine_let_window_manager_manage() {
    timeout 60 "$WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d "$1" /f \
        </dev/null >/dev/null 2>&1 || true
}

wine_stop_display() {
    timeout 30 "$WINESERVER" -k >/dev/null 2>&1 || true
    if [ -n "${WINE_XVFB_PID:-}" ]; then
        kill "$WINE_XVFB_PID" 2>/dev/null || true
        wait "$WINE_XVFB_PID" 2>/dev/null || true
        WINE_XVFB_PID=""
    fi
}
