#!/usr/bin/env bash
# The tests' emulator: runs a Windows program under Wine ($WINE as scripts/wine-env.sh sets it, else wine64 or wine). On
# a heavily loaded machine Wine now and then fails to start a program at all: it ends at once,
# non-zero, having written nothing. Only that case is tried again, up to twice; any run that
# wrote a byte or succeeded stands as it is.
set -u
wine=${WINE:-$(command -v wine64 || command -v wine || echo /usr/lib/wine/wine64)}
out=$(mktemp)
err=$(mktemp)
trap 'rm -f "$out" "$err"' EXIT
for attempt in 1 2 3; do
    "$wine" "$@" > >(tee "$out") 2> >(tee "$err" >&2)
    status=$?
    wait  # the tees have passed everything on
    if [ $status -eq 0 ] || [ -s "$out" ] || [ -s "$err" ] || [ $attempt -eq 3 ]; then
        exit $status
    fi
done
