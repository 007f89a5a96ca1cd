#!/usr/bin/env bash
# Seeds the devices of one platform family into a fresh Wine prefix, registers
# the built DeZIVero.DLL there and runs device_queries.vbs against it.
# Usage: device_queries.sh BUILD_DIR nt|9x
set -u
build=$(readlink -m "${1:?build folder}")
mode=${2:-nt}
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../../scripts/wine-prefix.sh"

version=win7
[ "$mode" = 9x ] && version=win98
prefix="$build/wine-device-$mode"
seed_tool="$build/tests/seed_registry.exe"
wp_start "$prefix" fresh "$version" || exit 1
wp_register "$build/DeZIVero.DLL" || exit 1
wp_seed "$seed_tool" "$here/device_${mode}_seed.txt" || exit 1
cat "$prefix.seed.log"

out="$prefix.device_queries.txt"
wp_cscript "$out" "$here/device_queries.vbs" "$mode"
echo "== device_queries.vbs ($mode)"
cat "$out"
status=0
wp_check_tally "$out" 60 || status=1
if [ "$status" -ne 0 ]; then
    # What the registry held, for the reader of a failed run.
    root='HKLM\HARDWARE\DEVICEMAP\Scsi'
    [ "$mode" = 9x ] && root='HKDD\Config Manager\Enum'
    wp_run "$prefix.dump.txt" "$(wp_winpath "$seed_tool")" -dump "$root"
    cat "$prefix.dump.txt"
fi

wp_stop
[ "$status" -eq 0 ] && rm -rf "$prefix"
exit "$status"
