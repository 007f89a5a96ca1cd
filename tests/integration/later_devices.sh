#!/usr/bin/env bash
# Seeds the devices of a later Windows (Windows 10 or XP) into a fresh Wine
# prefix set to that version, registers the built DeZIVero.DLL there and runs
# later_devices.vbs and later_devices.js against it.
# Usage: later_devices.sh BUILD_DIR DLL win10|xp
set -u
build=$(readlink -m "${1:?build folder}")
dll=$(readlink -m "${2:?DLL}")
mode=${3:-win10}
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../../scripts/wine-prefix.sh"

version=$mode
[ "$mode" = xp ] && version=winxp
prefix="$build/wine-later-$mode"
wp_use_dll "$dll" || exit 1
wp_start "$prefix" fresh "$version" || exit 1
wp_register "$dll" || exit 1
wp_seed "$build/tests/seed_registry.exe" "$here/device_${mode}_seed.txt" || exit 1

status=0
out="$prefix.later_devices.txt"
wp_cscript "$out" "$here/later_devices.vbs" "$mode"
echo "== later_devices.vbs ($mode)"
tr -d '\r' <"$out"
wp_check_tally "$out" 24 || status=1

out="$prefix.later_devices_js.txt"
wp_cscript "$out" "$here/later_devices.js"
echo "== later_devices.js ($mode)"
tr -d '\r' <"$out"
wp_check_tally "$out" 3 || status=1

wp_stop
[ "$status" -eq 0 ] && rm -rf "$prefix"
exit "$status"
