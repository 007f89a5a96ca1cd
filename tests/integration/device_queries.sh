#!/usr/bin/env bash
# Seeds the devices of one platform family into a fresh Wine prefix, registers
# the built DeZIVero.DLL there and runs device_queries.vbs against it.
# Usage: device_queries.sh BUILD_DIR nt|9x
set -u
build=$(readlink -m "${1:?build folder}")
mode=${2:-nt}
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../../scripts/wine-prefix.sh"

# The seed lays the devices out as NT 4.0 does.
version=nt40
[ "$mode" = 9x ] && version=win98
prefix="$build/wine-device-$mode"
seed_tool="$build/tests/seed_registry.exe"
wp_use_dll "$build/DeZIVero.DLL" || exit 1
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

# The JScript example lists the seeded modems with their speeds.
example="$prefix.find_devices.txt"
wp_cscript "$example" "$here/../../examples/find_devices.js" modem Display
echo "== examples/find_devices.js modem Display ($mode)"
tr -d '\r' <"$example"
for want in "modem 0: Orvane 56K V.90 Data Fax Modem (status 0), 57600 bit/s" \
            "modem 1: Orvane 33.6 Voice Modem (status 22), 33600 bit/s" \
            "Display 0: Orvane Rage 128 AGP (status 0)" \
            "SCSI bus: yes, AGP bus: yes"; do
    [ "$mode" = nt ] && want=${want/56K V.90 Data Fax Modem/V.90 Data Fax Modem}
    if ! tr -d '\r' <"$example" | grep -qxF "$want"; then
        echo "find_devices.js did not print: $want"
        status=1
    fi
done
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
