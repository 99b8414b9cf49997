#!/usr/bin/env bash
# The Windows build end to end, from Linux: the cross-built tavrin.exe under
# Wine on the simulated radio, through a Wine COM port linked to the
# simulator's pseudo-terminal, beside the Linux build doing the same; the
# rig-control and flrig servers from Debian's rigctl; the installer
# installed and removed silently. Run under X (xvfb-run): the panel draws its
# real window, which is closed as a user closes it.
#
#   tests/windows/e2e_wine.sh LINUX_BUILD WINDOWS_BUILD
set -uo pipefail
linux=$(realpath "$1")
windows=$(realpath "$2")
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d /tmp/tavrin-wine.XXXXXX)
sim=$linux/tools/radiosim/tavrin-radiosim
bundle=$windows/windows/Tavrin
qt_prefix=$(realpath "$(sed -n 's/^Qt6Core_DIR:PATH=//p' "$windows/CMakeCache.txt")/../../..")
passed=0
failed=0
children=()

export WINEPREFIX=$work/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
export XDG_CONFIG_HOME=$work/linux-config

cleanup() {
    for pid in "${children[@]}"; do kill "$pid" 2>/dev/null; done
    wineserver -k 2>/dev/null
    [ -n "${TAVRIN_KEEP_WORK:-}" ] && echo "kept $work" || rm -rf "$work"
}
trap cleanup EXIT

check() {
    local name=$1
    shift
    if "$@"; then
        echo "PASS   : $name"
        passed=$((passed + 1))
    else
        echo "FAIL!  : $name"
        failed=$((failed + 1))
    fi
}

# Waits up to $1 seconds for the command after it to succeed.
wait_for() {
    local seconds=$1
    shift
    for _ in $(seq $((seconds * 5))); do
        "$@" && return 0
        sleep 0.2
    done
    return 1
}

sent_lines() { grep -o ' sent ".*"$' "$1" | sed 's/^ sent //'; }
# The start-up: everything sent before the radio's first answer.
startup_bytes() { sed -n '/ rcvd /q;/ sent /p' "$1" | sed 's/^.* sent //'; }
heard_radio() { grep -q ' rcvd "F' "$1/trace" 2>/dev/null; }
traced() { grep -q "$2" "$1/trace" 2>/dev/null; }

# start_radio DIR [simulator options]: the radio, its sample channel file
# and the link to its pty in DIR.
start_radio() {
    local dir=$1
    shift
    mkdir -p "$dir"
    (cd "$dir" && exec "$sim" --channel-file --link "$dir/radio" --state-file "$dir/state" "$@" > "$dir/sim.log" 2>&1) &
    children+=($!)
    wait_for 10 test -e "$dir/radio"
}

# start_panel SIDE DIR [panel options]: the panel of the Linux or the Windows
# build in DIR on DIR's radio, pressing the buttons named on DIR/press.
start_panel() {
    local side=$1 dir=$2
    shift 2
    mkfifo "$dir/press"
    exec {press}<>"$dir/press"
    if [ "$side" = linux ]; then
        (cd "$dir" && QT_PLUGIN_PATH=$linux/tests/e2e/typist/plugins QT_QPA_GENERIC_PLUGINS=tavrintypist \
            TAVRIN_PRESS_FROM_STDIN=1 exec "$linux/tavrin" --port "$dir/radio" --trace trace "$@" \
            < "$dir/press" > "$dir/out" 2> "$dir/err") &
    else
        # Wine links dosdevices/com1 to the port its registry names as it
        # starts (a link made by hand is replaced by /dev/ttyS0's).
        wine reg add 'HKLM\Software\Wine\Ports' /v COM1 /d "$dir/radio" /f > /dev/null 2>&1
        wineserver -k
        wine cmd /c exit > /dev/null 2>&1
        [ "$(readlink "$WINEPREFIX/dosdevices/com1")" = "$dir/radio" ] || return 1
        (cd "$dir" && WINEPATH="Z:$bundle;Z:$qt_prefix/bin" TAVRIN_PRESS_FROM_STDIN=1 exec wine "$bundle/tavrin.exe" --port COM1 --trace trace "$@" \
            < "$dir/press" > "$dir/out" 2> "$dir/err") &
    fi
    children+=($!)
    eval "panel_$side=$!"
    wait_for 60 heard_radio "$dir"
}

press() {
    local dir=$1 caption=$2 before
    before=$(grep -c "^pressed $caption" "$dir/out")
    echo "$caption" > "$dir/press"
    wait_for 10 test "$(grep -c "^pressed $caption" "$dir/out")" -gt "$before"
}

# Closes the panel as its user does: the window's close on Windows
# (taskkill asks the window, it does not kill), SIGTERM on Linux, which
# ends the panel in the same way.
close_panel() {
    local side=$1 pid
    eval "pid=\$panel_$side"
    if [ "$side" = linux ]; then
        kill -TERM "$pid"
    else
        wine taskkill /im tavrin.exe > /dev/null 2>&1
    fi
    wait_for 30 sh -c "! kill -0 $pid 2>/dev/null"
}

same_files() { cmp -s "$1" "$2"; }
equal() {
    [ "$1" = "$2" ] && return 0
    printf 'got:\n%s\nwanted:\n%s\n' "$1" "$2" >&2
    return 1
}

# The button presser, as the Linux suites load it. Wine keeps QT_ variables
# from Linux away from Windows programs: they go into the prefix.
"$here/wineprefix.sh" "QT_PLUGIN_PATH=Z:$windows/tests/e2e/typist/plugins" "QT_QPA_GENERIC_PLUGINS=tavrintypist" \
    > /dev/null 2>&1
# A fresh prefix has no fonts Qt finds: Debian's Liberation fonts stand in.
cp /usr/share/fonts/truetype/liberation/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/"

# The same session on both builds: start, Up, a frequency set by rigctl,
# the window closed.
session() {
    local side=$1 dir=$work/$1
    start_radio "$dir" || return 1
    start_panel "$side" "$dir" --rigctl-port 14532 --flrig-port 14533 || return 1
    sleep 1
    cp "$dir/trace" "$dir/trace.startup"
    press "$dir" Up || return 1
    wait_for 10 traced "$dir" ' sent "F' || return 1
    rigctl -m 2 -r 127.0.0.1:14532 F 7150000 || return 1
    wait_for 10 grep -q 'frequency_khz=7150' "$dir/state" || return 1
    close_panel "$side"
}

check "the Linux build's session" session linux
check "the Windows build's session" session windows
check "start-up bytes are the Linux build's" equal "$(startup_bytes "$work/windows/trace.startup")" "$(startup_bytes "$work/linux/trace.startup")"
check "Up sends the Linux build's F command" equal "$(sent_lines "$work/windows/trace" | grep '^"F' | head -1)" "$(sent_lines "$work/linux/trace" | grep '^"F' | head -1)"
check "the channel file written at close is the Linux build's" same_files "$work/windows/h350save.dat" "$work/linux/h350save.dat"

# The rig-control and flrig servers of the Windows panel, for Linux clients.
servers() {
    local dir=$work/servers
    start_radio "$dir" --freq 3700 || return 1
    start_panel windows "$dir" --rigctl-port 14542 --flrig-port 14543 || return 1
    equal "$(rigctl -m 2 -r 127.0.0.1:14542 f)" 3700000 || return 1
    rigctl -m 2 -r 127.0.0.1:14542 F 14070000 || return 1
    equal "$(rigctl -m 2 -r 127.0.0.1:14542 f)" 14070000 || return 1
    equal "$(rigctl -m 4 -r 127.0.0.1:14543 f)" 14070000 || return 1
    rigctl -m 4 -r 127.0.0.1:14543 F 10100000 || return 1
    wait_for 10 grep -q 'frequency_khz=10100' "$dir/state" || return 1
    close_panel windows
}
check "rigctl reads and sets the frequency through the rig-control and flrig servers" servers

# A pulled port: the simulator's pty closes for 4 seconds and comes back at
# the same link.
title_has() { xdotool search --name "$1" > /dev/null 2>&1; }
pulled() {
    local dir=$work/pulled
    start_radio "$dir" --disconnect-after 6 --reconnect-after 4 || return 1
    start_panel windows "$dir" || return 1
    wait_for 20 title_has 'COM1' || return 1
    wait_for 30 traced "$dir" 'open, settings' || return 1
    local opens_before
    opens_before=$(grep -c 'open, settings' "$dir/trace")
    wait_for 30 sh -c "[ \$(grep -c 'open, settings' '$dir/trace') -gt 1 ]" || return 1
    wait_for 20 sh -c "! xdotool search --name 'COM1' > /dev/null 2>&1" || return 1
    local reports
    reports=$(grep -c ' rcvd "F' "$dir/trace")
    wait_for 10 sh -c "[ \$(grep -c ' rcvd \"F' '$dir/trace') -gt $reports ]" || return 1
    close_panel windows
}
check "a pulled port is shown and healed" pulled

# The installer, silently, and what it installed.
setup=$(ls "$windows"/tavrin-*-win64-setup.exe)
installed="$WINEPREFIX/drive_c/Program Files/Tavrin"
check "the installer installs silently" sh -c "wine '$setup' /S && test -f '$installed/tavrin.exe'"
check "tavrin.exe --version runs where it was installed" \
    equal "$(wine "C:\\Program Files\\Tavrin\\tavrin.exe" --version | tr -d '\r')" "tavrin $(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$windows/CMakeCache.txt")"
check "the Start-menu entry is there" test -f "$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Tavrin.lnk"
uninstall_removes() {
    wine "C:\\Program Files\\Tavrin\\uninstall.exe" /S || return 1
    wait_for 30 sh -c "! test -e '$installed'"
}
check "the uninstaller removes it" uninstall_removes

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
