#!/usr/bin/env bash
# The benchmark of both DLLs, each in a fresh Wine prefix of its own (NT
# family, the devices of tests/integration/device_nt_seed.txt and the
# firmware's texts of firmware_seed.txt):
# - every member through IDispatch beside the bare platform calls its answer
#   makes afresh (member_cost.exe);
# - fifteen facts by name from the build's own cscript beside WMI (wmi_cost.vbs);
# - FindDevice(n) on each walk over many seeded devices (find_device_cost.exe),
#   the NT family's in the prefix set to NT 4.0, the 9x device list in the
#   32-bit prefix set to Windows 98;
# - FindDevice on a Windows 10 layout of 200 devices beside WMI's query of the
#   same class (later_walk_cost.vbs), in the prefix set to Windows 10.
# Writes OUT/results.md and OUT/find_device_cost.png (gnuplot) and prints the
# tables; the raw figures stay beside each prefix (PREFIX.*.txt). Not a test:
# figures vary with the machine and its load. --tiny runs a few calls only.
#   bash benchmarks/run.sh [--tiny] [--out OUT] [BUILD_DIR...]
# OUT defaults to docs/benchmarks, the builds to build and build/x64.
set -u
top=$(cd "$(dirname "$0")/.." && pwd)
. "$top/scripts/wine-prefix.sh"

tiny=0
out=$top/docs/benchmarks
while [ $# -gt 0 ]; do
    case $1 in
        --tiny) tiny=1; shift ;;
        --out) out=$(readlink -m "$2"); shift 2 ;;
        *) break ;;
    esac
done
builds=("$@")
[ ${#builds[@]} -gt 0 ] || builds=("$top/build" "$top/build/x64")

# Rounds and milliseconds per round; for the walks the devices seeded first
# and the device numbers after.
if [ "$tiny" = 1 ]; then
    members=(2 0) wmi=(2 0) walks=(11 2 0 0 10) later=(1 0) name=wine-bench-tiny
    WP_TIMEOUT=600
else
    members=(61 2) wmi=(7 250) walks=(10001 7 50 0 10 100 1000 10000) later=(7 250)
    name=wine-bench
    WP_TIMEOUT=3600
fi

# Runs the three measurements of one build in a fresh prefix.
measure() {
    local build=$1 prefix=$2 tests=$1/tests
    rm -f "$prefix".*.txt
    wp_start "$prefix" fresh nt || return 1
    wp_register "$build/DeZIVero.DLL" || return 1
    wp_seed "$tests/seed_registry.exe" "$top/tests/integration/device_nt_seed.txt" \
        "$top/tests/integration/firmware_seed.txt" || return 1
    wp_log "$build: every member beside its bare calls"
    wp_run "$prefix.members.txt" "$(wp_winpath "$tests/member_cost.exe")" "${members[@]}"
    wp_log "$build: fifteen facts beside WMI"
    wp_cscript "$prefix.wmi.txt" "$top/benchmarks/wmi_cost.vbs" "${wmi[@]}"
    wp_log "$build: FindDevice(n) on the NT family's walks"
    # The walks of NT 4.0's layout: the media route reads active media resources there.
    wp_start "$prefix" "" nt40 || return 1
    wp_run "$prefix.walks-nt.txt" "$(wp_winpath "$tests/find_device_cost.exe")" nt "${walks[@]}"
    wp_log "$build: FindDevice on Windows 10's layout beside WMI"
    wp_start "$prefix.win10" fresh win10 || return 1
    wp_register "$build/DeZIVero.DLL" || return 1
    python3 "$top/benchmarks/later_layout.py" >"$prefix.later-seed.reg" || return 1
    wp_seed "$tests/seed_registry.exe" "$prefix.later-seed.reg" || return 1
    wp_cscript "$prefix.later.txt" "$top/benchmarks/later_walk_cost.vbs" "${later[@]}" \
        $(python3 "$top/benchmarks/later_layout.py" --classes)
    [ "$WP_BITS" = 32 ] || return 0
    wp_log "$build: FindDevice(n) on the 9x device list"
    wp_start "$prefix" "" 9x || return 1
    wp_run "$prefix.walks-9x.txt" "$(wp_winpath "$tests/find_device_cost.exe")" 9x "${walks[@]}"
}

load=$(cut -d' ' -f1-3 /proc/loadavg)
mkdir -p "$out"
runs=()
for dir in "${builds[@]}"; do
    build=$(readlink -m "$dir")
    wp_use_dll "$build/DeZIVero.DLL" || exit 1
    prefix=$build/$name
    measure "$build" "$prefix" || { wp_stop; exit 1; }
    wp_stop
    runs+=("$WP_BITS=$prefix")
done
python3 "$top/benchmarks/tables.py" --out "$out" --load "$load" "${runs[@]}"
