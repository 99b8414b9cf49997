#!/bin/sh
# Runs a checker and fails if it says anything at all: desktop-file-validate
# exits 0 on hints, which are still worth acting on.
set -u
said=$("$@" 2>&1)
status=$?
if [ $status -ne 0 ] || [ -n "$said" ]; then
    echo "$said"
    exit 1
fi
echo "$*: nothing to say"
