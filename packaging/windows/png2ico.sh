#!/bin/sh
# png2ico.sh ICO PNG SIZE [PNG SIZE...]
# Wraps square PNGs of at most 256 pixels in an icon file, each kept as PNG
# (which Windows reads since Vista): the program's and the installer's icon,
# made from the pictures the Linux desktop uses.
set -eu
ico=$1
shift
byte() { printf "\\$(printf %03o $(($1 & 255)))"; }
le16() { byte "$1"; byte $(($1 >> 8)); }
le32() { le16 "$1"; le16 $(($1 >> 16)); }
count=$(($# / 2))
{
  le16 0; le16 1; le16 "$count"
  offset=$((6 + 16 * count))
  set -- "$@"
  i=1
  while [ $i -le $# ]; do
    eval png=\${$i} size=\${$((i + 1))}
    bytes=$(wc -c < "$png")
    byte "$size"; byte "$size"; byte 0; byte 0; le16 1; le16 32
    le32 "$bytes"; le32 "$offset"
    offset=$((offset + bytes))
    i=$((i + 2))
  done
  i=1
  while [ $i -le $# ]; do
    eval cat \"\${$i}\"
    i=$((i + 2))
  done
} > "$ico"
