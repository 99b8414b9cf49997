#!/bin/sh
# Unpacks the .deb into a scratch root as dpkg would install it, and checks
# that the programs run from there and the desktop can find what the menu
# entry names.
set -eu
deb=$1 root=$2 version=$3 app_id=$4
rm -rf "$root"
dpkg -x "$deb" "$root"
usr=$root/usr

# No display is needed: --version is answered before any window exists.
shown=$("$usr/bin/tavrin" --version)
[ "$shown" = "tavrin $version" ] || { echo "tavrin --version says '$shown'"; exit 1; }
"$usr/bin/tavrin-radiosim" --help >/dev/null
shown=$("$usr/bin/tavrin-radiosim" --version)
[ "$shown" = "tavrin-radiosim $version" ] || { echo "tavrin-radiosim --version says '$shown'"; exit 1; }

entry=$usr/share/applications/$app_id.desktop
exec_line=$(sed -n 's/^Exec=//p' "$entry")
[ -x "$usr/bin/${exec_line%% *}" ] || { echo "Exec=$exec_line names no installed program"; exit 1; }
icon=$(sed -n 's/^Icon=//p' "$entry")
for file in scalable/apps/$icon.svg 48x48/apps/$icon.png 128x128/apps/$icon.png 256x256/apps/$icon.png; do
    [ -s "$usr/share/icons/hicolor/$file" ] || { echo "missing icon $file"; exit 1; }
done
unit=$root/lib/systemd/system/tavrin@.service
exec_line=$(sed -n 's/^ExecStart=//p' "$unit")
[ -x "$root${exec_line%% *}" ] || { echo "ExecStart=$exec_line names no installed program"; exit 1; }
for page in tavrin tavrin-radiosim; do
    [ -s "$usr/share/man/man1/$page.1.gz" ] || { echo "missing manual page $page.1.gz"; exit 1; }
done

# Nothing installed keeps the id the package had before, nor a placeholder
# that configuring left unfilled; manual pages and the changelog are read
# unpacked.
stale='example\.c_seed_fb2949d9\.tavrin|@[A-Za-z_][A-Za-z0-9_]*@'
for file in $(find "$usr" -type f); do
    found=$(gzip -dcf "$file" | grep -aoE "$stale" | head -n 1)
    [ -z "$found" ] || { echo "${file#$root} still holds '$found'"; exit 1; }
done

# The metadata names the desktop entry as its launchable; this finds it.
appstreamcli validate-tree --no-net "$root"
echo "$deb installs and runs"
