#!/usr/bin/env bash
# Sets up, builds and opens Orvendal. On Windows run the built Orvendal.exe directly; elsewhere
# it runs under Wine. Usage: scripts/open.sh [FILE]
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh
cmake --preset windows >/dev/null
cmake --build --preset windows

exe=build/windows/app/Orvendal.exe
if [ ! -f "$exe" ]; then
    echo "Everything is built; the dialog (Orvendal.exe) is not built yet."
    exit 0
fi
