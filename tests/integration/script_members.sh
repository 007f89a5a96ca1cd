#!/usr/bin/env bash
# Registers the built DeZIVero.DLL in a fresh Wine prefix of the given platform
# family and runs the VBScript and JScript member checks against it.
# Usage: script_members.sh BUILD_DIR nt|9x
set -u
build=$(readlink -m "${1:?build folder}")
mode=${2:-nt}
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../../scripts/wine-prefix.sh"

version=win7
[ "$mode" = 9x ] && version=win98
prefix="$build/wine-script-$mode"
wp_use_dll "$build/DeZIVero.DLL" || exit 1
wp_start "$prefix" fresh "$version" || exit 1
wp_register "$build/DeZIVero.DLL" || exit 1

status=0
# Floors: the checks each script makes on a one-processor machine.
for entry in script_members.vbs:140 script_members.js:100; do
    script=${entry%%:*}
    min=${entry##*:}
    out="$prefix.${script}.txt"
    wp_cscript "$out" "$here/$script" "$mode"
    echo "== $script ($mode)"
    cat "$out"
    wp_check_tally "$out" "$min" || status=1
done

wp_stop
[ "$status" -eq 0 ] && rm -rf "$prefix"
exit "$status"
