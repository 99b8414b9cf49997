#!/bin/sh
# Makes the Wine prefix $WINEPREFIX names, with each NAME=VALUE given in its
# environment, where every Windows program started in it finds them.
set -e
wineboot -i
for setting in "$@"; do
    wine reg add 'HKCU\Environment' /v "${setting%%=*}" /d "${setting#*=}" /f > /dev/null
done
# The values are read as each program starts: none may still be on its way.
wineserver -k || true
