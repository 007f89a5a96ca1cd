#!/usr/bin/env bash
# Runs every code sample of docs/GUIDE.md on one platform family and compares
# what it prints with the output the guide shows: VBScript and JScript under
# cscript, command lines under cmd in examples/, C++ built with the mingw
# compiler and run under Wine, all against the registered DLL in a fresh
# prefix seeded with the guide's machine (the test devices, an owner, an OEM).
# Usage: guide_samples.sh BUILD_DIR nt|9x CXX [DLL]
set -u
build=$(readlink -m "${1:?build folder}")
mode=${2:-nt}
cxx=${3:?C++ compiler}
dll=${4:-$build/DeZIVero.DLL}
here=$(cd "$(dirname "$0")" && pwd)
top=$(cd "$here/../.." && pwd)
. "$top/scripts/wine-prefix.sh"

prefix="$build/wine-guide-$mode"
work="$prefix.samples"
rm -rf "$work"
mkdir -p "$work"
python3 "$here/guide_samples.py" extract "$top/docs/GUIDE.md" "$work" >"$work/list" || exit 1

wp_use_dll "$dll" || exit 1
wp_start "$prefix" fresh "$mode" || exit 1
wp_register "$dll" || exit 1
wp_seed "$build/tests/seed_registry.exe" "$here/device_${mode}_seed.txt" "$here/guide_seed.txt" || exit 1
printf '[general]\r\nManufacturer=Orvane\r\nModel=Workstation 9\r\n' \
    >"$WINEPREFIX/drive_c/windows/system32/OEMINFO.INI"

while read -r name file kind; do
    out="$work/$name.out"
    case $kind in
        script) wp_cscript "$out" "$work/$file" ;;
        cmd) (cd "$top/examples" && wp_run "$out" cmd /c "$(tr -d '\r' <"$work/$file")") ;;
        cpp)
            "$cxx" -std=c++17 -Wall -static -I"$build/generated" -o "$work/$name.exe" "$work/$file" \
                -lole32 -loleaut32 -luuid >"$out" 2>&1 && wp_run "$out" "$work/$name.exe"
            ;;
    esac
done <"$work/list"

python3 "$here/guide_samples.py" check "$work" "$mode"
status=$?
wp_stop
[ "$status" -eq 0 ] && rm -rf "$prefix" "$prefix".*
exit "$status"
