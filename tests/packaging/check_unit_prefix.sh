#!/bin/sh
# cmake --install to a prefix of one's own: the unit lands under it and
# starts the program installed there, not one the package would have put
# in /usr/bin.
set -eu
build=$1 prefix=$2
rm -rf "$prefix"
cmake --install "$build" --prefix "$prefix" >/dev/null
unit=$prefix/lib/systemd/system/tavrin@.service
[ -s "$unit" ] || { echo "no unit under $prefix/lib/systemd/system"; exit 1; }
exec_line=$(sed -n 's/^ExecStart=//p' "$unit")
[ "${exec_line%% *}" = "$prefix/bin/tavrin" ] || { echo "ExecStart=$exec_line, not $prefix/bin/tavrin"; exit 1; }
[ -x "$prefix/bin/tavrin" ] || { echo "$prefix/bin/tavrin is not installed"; exit 1; }
echo "the unit starts $prefix/bin/tavrin"
