#!/usr/bin/env bash
# IDeZiVero2's members on a fresh prefix of one platform family (of the DLL's
# bitness), the release and firmware values seeded: inventory_client.exe
# calls them through the table and IDispatch, then its answers are compared
# with the host: memory with /proc/meminfo, logical processors with nproc,
# the architecture with the prefix's, and the seeded values.
# Usage: inventory_members.sh BUILD_DIR nt|9x
set -u
build=$(readlink -m "${1:?build folder}")
mode=${2:-nt}
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../../scripts/wine-prefix.sh"

version=win10
[ "$mode" = 9x ] && version=win98
prefix="$build/wine-inventory-$mode"
wp_use_dll "$build/DeZIVero.DLL" || exit 1
wp_start "$prefix" fresh "$version" || exit 1
wp_register "$build/DeZIVero.DLL" || exit 1
wp_seed "$build/tests/seed_registry.exe" "$here/firmware_seed.txt" "$here/release_seed.txt" || exit 1

out="$prefix.client.txt"
wp_run "$out" "$(wp_winpath "$build/tests/inventory_client.exe")"
echo "== inventory_client ($mode, $WINEARCH)"
tr -d '\r' <"$out"
wp_report "$prefix.report.txt"
wp_check "the client's own checks" "$(grep -q 'inventory_client: [1-9][0-9]* passed, 0 failed' <(tr -d '\r' <"$out"); echo $?)"

# A member's answer as the client printed it: "NAME 00000000 VALUE", text in quotes.
answer() { tr -d '\r' <"$out" | sed -n "s/^$1 00000000 //p" | head -n 1; }
number() { local a; a=$(answer "$1"); [[ "$a" =~ ^-?[0-9]+$ ]] && echo "$a" || echo x; }
within() { [ "$1" != x ] && [ "$1" -ge "$2" ] && [ "$1" -le "$3" ]; }
same() {
    local got
    got=$(answer "$1")
    [ "$got" = "$2" ]
    wp_check "$1 is $2 (got $got)" $?
}

kb() { sed -n "s/^$1: *\([0-9]*\) kB$/\1/p" /proc/meminfo; }
mem_mb=$(($(kb MemTotal) / 1024))
commit_mb=$((($(kb MemTotal) + $(kb SwapTotal)) / 1024))
total=$(number MemoryTotalPhysInMB)
within "$total" $((mem_mb - 1)) $((mem_mb + 1))
wp_check "MemoryTotalPhysInMB $total is the host's $mem_mb MB" $?
avail=$(number MemoryAvailPhysInMB)
within "$avail" 1 "$total"
wp_check "MemoryAvailPhysInMB $avail lies within the total" $?
page=$(number MemoryTotalPageFileInMB)
within "$page" "$total" $((commit_mb + commit_mb / 20 + 1))
wp_check "MemoryTotalPageFileInMB $page lies between the memory and the host's memory and swap, $commit_mb MB" $?
page_avail=$(number MemoryAvailPageFileInMB)
within "$page_avail" 1 "$page"
wp_check "MemoryAvailPageFileInMB $page_avail lies within its total" $?

logical=$(number ProcessorLogicalCount)
[ "$logical" = "$(nproc --all)" ] || [ "$logical" = "$(nproc)" ]
wp_check "ProcessorLogicalCount $logical is the host's $(nproc --all)" $?
cores=$(number ProcessorCoreCount)
within "$cores" 1 "$logical"
wp_check "ProcessorCoreCount $cores lies between 1 and the logical count" $?
battery=$(number BatteryLifePercent)
within "$battery" -1 100
wp_check "BatteryLifePercent $battery is -1 to 100" $?

architecture="'x86'"
[ "$WINEARCH" = win64 ] && architecture="'x64'"
same OSArchitecture "$architecture"
same BIOSVendor "'Orvane Firmware Inc.'"
same BIOSVersion "'ORV1.07.2'"
same BIOSReleaseDate "'03/14/2024'"
same SystemFamily "'Orvane Desk'"
same BaseBoardManufacturer "'Orvane Boards'"
same BaseBoardProduct "'ORV-B450'"
if [ "$mode" = 9x ]; then
    # The version record's build; the NT key Wine shows beside it is not read.
    same OSBuild "'2222'"
    same OSDisplayVersion "''"
    same OSEdition "''"
else
    same OSBuild "'22631.4460'"
    same OSDisplayVersion "'23H2'"
    same OSEdition "'Professional'"
fi

wp_stop
echo "inventory_members: $WP_PASSED passed, $WP_FAILED failed"
[ "$WP_FAILED" -eq 0 ] && rm -rf "$prefix"
[ "$WP_FAILED" -eq 0 ]
