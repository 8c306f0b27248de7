#!/usr/bin/env python3
"""A sanitizer report must fail the run: each fault of sanitizer_probe must be reported and end
the program with a failure status (an exit code or a signal), whatever ASAN_OPTIONS and
UBSAN_OPTIONS the caller set.

Usage: check_sanitizer_probe.py PROBE
"""
import subprocess
import sys

FAULTS = {"overflow": "runtime error: signed integer overflow", "heap": "heap-buffer-overflow"}

failures = []
for fault, report in FAULTS.items():
    done = subprocess.run([sys.argv[1], fault], capture_output=True, text=True, timeout=60)
    if report not in done.stderr:
        failures.append("%s: no sanitizer report (stderr %r)" % (fault, done.stderr[-500:]))
    elif done.returncode == 0:
        failures.append("%s: reported, but the program ended with status 0" % fault)
    else:
        print("%s: reported, status %d" % (fault, done.returncode))
for failure in failures:
    print(failure)
sys.exit(1 if failures else 0)
