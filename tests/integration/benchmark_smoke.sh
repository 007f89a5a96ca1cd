#!/usr/bin/env bash
# Runs the benchmark command at a tiny size on one build and checks what it
# wrote, never a time: every member of IDeZiVero2 in the member table with a
# figure, the fifteen facts beside WMI, FindDevice(n) on each walk of the
# build's families, and the chart as a PNG image.
# Usage: benchmark_smoke.sh BUILD_DIR
set -u
build=$(readlink -m "${1:?build folder}")
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../../scripts/wine-prefix.sh"

out=$build/benchmark-smoke
rm -rf "$out"
wp_report "$out.report.txt"
bash "$here/../../benchmarks/run.sh" --tiny --out "$out" "$build" >"$out.log" 2>&1
wp_check "the benchmark command at a tiny size" $?
cat "$out.log"
table=$out/results.md

# A row of the table whose first cell is $1 and whose cell $2 (counted from 1) is a number.
row_with_number() {
    awk -F'|' -v first=" $1 " -v cell=$(($2 + 1)) \
        '$2 == first && $(cell) ~ /^ [0-9][0-9,.]* $/ { found = 1 } END { exit !found }' "$table"
}

members=$(grep -oE '\{L"[A-Za-z]+", [0-9]+' "$here/../tools/dezivero_members.h" | cut -d'"' -f2)
[ "$(echo "$members" | wc -l)" -eq 56 ]
wp_check "56 members named in dezivero_members.h" $?
for member in $members; do
    row_with_number "$member" 3
    wp_check "$member has a figure through IDispatch" $?
done
for fact in "OS name" "processor vendor" "processor speed" "fixed disks size" "display device" \
    "memory total" "memory free" "OS build" "OS architecture" "processor name" "processor cores" \
    "logical processors" "BIOS vendor" "BIOS version" "battery charge"; do
    row_with_number "$fact" 4 && row_with_number "$fact" 5
    wp_check "$fact has figures of the component and of WMI" $?
done
walks=("services walk" "key tree (media route)")
[ "$(wp_bits "$build/DeZIVero.DLL")" = 32 ] && walks+=("9x device list")
for walk in "${walks[@]}"; do
    row_with_number "$walk" 3 && row_with_number "$walk" 4
    wp_check "FindDevice(n) on the $walk has figures" $?
done
# Every device of the class found on the Windows 10 layout, as many as it seeds.
for class in System:76 Keyboard:8 MEDIA:8 SCSIAdapter:4; do
    grep -qE "^\| ${class%%:*} \| ${class#*:} \| [0-9]" "$table" && row_with_number "${class%%:*}" 5
    wp_check "${class%%:*} on Windows 10's layout: ${class#*:} devices, figures beside WMI" $?
done
[ "$(head -c 4 "$out/find_device_cost.png" 2>/dev/null | od -An -tx1 | tr -d ' ')" = 89504e47 ]
wp_check "the chart is a PNG image" $?

wp_say "benchmark_smoke: $WP_PASSED passed, $WP_FAILED failed"
[ "$WP_FAILED" -eq 0 ] || exit 1
# The benchmark's prefix and raw figures are kept only for reading a failure.
rm -rf "$build/wine-bench-tiny" "$build"/wine-bench-tiny.*
