#!/bin/sh
# Renders a manual page as man would show it and fails on any complaint
# from the formatter, not only on a failed run.
set -eu
page=$1
errors=$(MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null) || { echo "$errors"; exit 1; }
if [ -n "$errors" ]; then
    echo "$errors"
    exit 1
fi
echo "$page renders cleanly"
