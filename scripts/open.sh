#!/usr/bin/env bash
# Sets up, builds and opens Orvendal, hashing FILE at once when one is given. On Windows the
# built Orvendal.exe runs directly; elsewhere it runs under Wine, and with no display on a
# virtual one, leaving a screenshot. Usage: scripts/open.sh [FILE]
set -euo pipefail
cd "$(dirname "$0")/.."

file=${1:-}

case "$(uname -s)" in
    MINGW* | MSYS* | CYGWIN*)
        # On Windows: the host's own compiler builds the program, which then simply runs.
        cmake -S . -B build/windows-host -DCMAKE_BUILD_TYPE=Release -DORVENDAL_BUILD_TESTS=OFF \
            -DORVENDAL_BUILD_BENCH=OFF >/dev/null
        cmake --build build/windows-host --config Release --target Orvendal
        exe=$(find build/windows-host -name Orvendal.exe | head -n 1)
        if [ -n "$file" ]; then
            exec "$exe" "$(cygpath -w "$file")"
        fi
        exec "$exe"
        ;;
esac

scripts/setup.sh
cmake --preset windows >/dev/null
cmake --build --preset windows --target Orvendal

exe=build/windows/app/Orvendal.exe
. scripts/wine-env.sh build/windows
wine_prepare_prefix

# A file argument is handed over as a Windows path, so it is hashed as soon as the dialog opens.
arguments=()
if [ -n "$file" ]; then
    arguments=("$(timeout 60 "$WINE" winepath -w "$(realpath -m "$file")" 2>/dev/null | tr -d '\r')")
fi

if [ -n "${DISPLAY:-}" ]; then
    wine_let_window_manager_manage Y  # the test runs turn this off
    "$WINE" "$exe" "${arguments[@]}"
    exit 0
fi

# No display: run on a virtual one and keep a picture of the dialog.
wine_start_display
trap wine_stop_display EXIT
"$WINE" "$exe" "${arguments[@]}" &
if ! timeout 60 xdotool search --sync --onlyvisible --name '^Orvendal$' >/dev/null 2>&1; then
    echo "Orvendal did not open a window within 60 seconds." >&2
    exit 1
fi
sleep 2  # let it paint
mkdir -p build/windows/screenshots
screenshot=build/windows/screenshots/open.png
timeout 30 import -window root "$screenshot"
echo "No display here: Orvendal ran on a virtual display. Screenshot: $screenshot"
