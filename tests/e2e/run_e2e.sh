#!/usr/bin/env bash
# Runs the end-to-end test program (under Wine, or any other runner given) and serves its
# screenshot requests: the program drops NAME.request into a directory named by
# ORVENDAL_SCREENSHOT_REQUESTS, and this script saves the whole display as SHOTS/NAME.png, then
# answers with NAME.done (or NAME.failed). The run is bounded in time.
# Usage: run_e2e.sh SHOTS_DIR RUNNER... PROGRAM [ARGS...]
set -u
shots=$1
shift

listing=0
for argument in "$@"; do
    [ "$argument" = "--gtest_list_tests" ] && listing=1
done
if [ $listing -eq 0 ] && [ -z "${DISPLAY:-}" ]; then
    echo "The end-to-end tests need an X display: run them through scripts/test.sh," \
         "or start Xvfb and set DISPLAY." >&2
    exit 1
fi

mkdir -p "$shots"
requests=$(mktemp -d)
export ORVENDAL_SCREENSHOT_REQUESTS=$requests

serve_requests() {
    while :; do
        for request in "$requests"/*.request; do
            [ -e "$request" ] || continue
            name=$(basename "$request" .request)
            if timeout 30 import -window root "$shots/$name.png" >/dev/null 2>&1; then
                mv "$request" "$requests/$name.done"
            else
                mv "$request" "$requests/$name.failed"
            fi
        done
        sleep 0.1
    done
}
serve_requests &
server=$!

timeout --kill-after=10 900 "$@"
status=$?

kill "$server" 2>/dev/null
wait "$server" 2>/dev/null
rm -rf "$requests"
exit $status
