#!/usr/bin/env bash
# Registers and unregisters the library with regsvr32 CYCLES times in a fresh
# prefix and shows that the registry does not drift: the export of the
# classes root (HKCR, HKLM\Software\Classes and HKCU\Software\Classes) after
# the last registration equals the one after the first, the export after the
# last unregistration equals the one after the first, and that one equals
# the registry before the library was ever registered.
# Usage: lifecycle_registry.sh BUILD_DIR [CYCLES]
# Exports and the report are kept in BUILD_DIR/wine-lifecycle-registry.*.
set -u
build=$(readlink -m "${1:?build folder}")
cycles=${2:-20}
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../../scripts/wine-prefix.sh"

prefix="$build/wine-lifecycle-registry"
dll=$(wp_winpath "$build/DeZIVero.DLL")
report="$prefix.report.txt"
wp_report "$report"

# The three views of the classes root as exported (UTF-16), compared byte for
# byte, and as UTF-8 text for reading; a key that does not exist is written
# as such, so that its appearing would show.
roots=("HKCR" 'HKLM\Software\Classes' 'HKCU\Software\Classes')
snapshot() {
    local name=$1 i=0 root file
    for root in "${roots[@]}"; do
        file="$prefix.$name.$i.reg"
        rm -f "$file"
        if wp_run "$prefix.export.log" reg export "$root" "$(wp_winpath "$file")" /y && [ -s "$file" ]; then
            iconv -f UTF-16LE -t UTF-8 "$file" | tr -d '\r' >"$file.txt"
        else
            echo "absent: $root" >"$file"
            cp "$file" "$file.txt"
        fi
        i=$((i + 1))
    done
}
same() {  # same WHAT NAME1 NAME2: every view of NAME1 equals that of NAME2
    local what=$1 i status=0
    for i in 0 1 2; do
        if ! cmp -s "$prefix.$2.$i.reg" "$prefix.$3.$i.reg"; then
            status=1
            wp_say "  ${roots[$i]} differs between $2 and $3:"
            diff "$prefix.$2.$i.reg.txt" "$prefix.$3.$i.reg.txt" | head -n 40 | tee -a "$report"
        fi
    done
    wp_check "$what" "$status"
}
holds() {  # holds WHAT NAME TEXT WANT: whether HKCR of NAME holds TEXT must be WANT (yes or no)
    local got=no
    grep -qiF "$3" "$prefix.$2.0.reg.txt" && got=yes  # key names ignore case
    [ "$got" = "$4" ]
    wp_check "$1" $?
}

wp_use_dll "$build/DeZIVero.DLL" || exit 1
wp_start "$prefix" fresh win7 || exit 1
start=$(date +%s)
snapshot before
registered=0
unregistered=0
for i in $(seq 1 "$cycles"); do
    wp_run "$prefix.regsvr32.log" regsvr32 /s "$dll" && registered=$((registered + 1))
    if [ "$i" -eq 1 ] || [ "$i" -eq "$cycles" ]; then snapshot "registered-$i"; fi
    wp_run "$prefix.regsvr32.log" regsvr32 /u /s "$dll" && unregistered=$((unregistered + 1))
    if [ "$i" -eq 1 ] || [ "$i" -eq "$cycles" ]; then snapshot "unregistered-$i"; fi
done
elapsed=$(($(date +%s) - start))
wp_stop

wp_say "lifecycle_registry: $cycles cycles in ${elapsed} s: $registered registrations and $unregistered unregistrations succeeded"
for i in 0 1 2; do
    wp_say "  ${roots[$i]}: $(wc -l <"$prefix.registered-1.$i.reg.txt") lines registered, $(wc -l <"$prefix.unregistered-1.$i.reg.txt") unregistered"
done
[ "$registered" -eq "$cycles" ]
wp_check "every regsvr32 registration succeeds" $?
[ "$unregistered" -eq "$cycles" ]
wp_check "every regsvr32 /u succeeds" $?
holds "the first registration is in HKCR" registered-1 '[HKEY_CLASSES_ROOT\Orvane.VXR.ZEKO.HWInfo\CurVer]' yes
holds "the first registration wrote the module path" registered-1 '{7A31C48D-52E6-4B1F-A0D7-3C94E18B6F25}\InprocServer32]' yes
holds "the first unregistration removed the ProgID" unregistered-1 'Orvane.VXR.ZEKO.HWInfo' no
holds "the first registration registered the type library" registered-1 '[HKEY_CLASSES_ROOT\TypeLib\{7A31C480-52E6-4B1F-A0D7-3C94E18B6F25}]' yes
holds "the first unregistration removed the type library" unregistered-1 '7A31C480-52E6-4B1F-A0D7-3C94E18B6F25' no
holds "the first unregistration removed the interface" unregistered-1 '7A31C48C-52E6-4B1F-A0D7-3C94E18B6F25' no
holds "the first registration registered IDeZiVero beside IDeZiVero2" registered-1 '[HKEY_CLASSES_ROOT\Interface\{7A31C48C-52E6-4B1F-A0D7-3C94E18B6F25}]' yes
holds "the first registration registered IDeZiVero2" registered-1 '[HKEY_CLASSES_ROOT\Interface\{B7CFF60C-8BEE-4CCF-A371-EC1B89D7C6B2}]' yes
holds "the first unregistration removed IDeZiVero2" unregistered-1 'B7CFF60C-8BEE-4CCF-A371-EC1B89D7C6B2' no
same "registration $cycles leaves the registry as registration 1 did" "registered-1" "registered-$cycles"
same "unregistration $cycles leaves the registry as unregistration 1 did" "unregistered-1" "unregistered-$cycles"
same "unregistration leaves the registry as it was before any registration" before "unregistered-1"

wp_say "lifecycle_registry: $WP_PASSED passed, $WP_FAILED failed"
[ "$WP_FAILED" -eq 0 ] && rm -rf "$prefix" "$prefix".*.reg "$prefix".*.reg.txt
[ "$WP_FAILED" -eq 0 ]
