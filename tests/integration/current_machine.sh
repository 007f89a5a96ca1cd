#!/usr/bin/env bash
# Today's machine through the registered DLL: examples/report.vbs as JSON on a
# scratch Wine prefix, its memory totals checked against the host's memory.
#   nt40   an NT 4.0 prefix without the values later Windows write: the
#          answers of NT 4.0 (the version text, no firmware maker, the
#          processor table's name)
#   win11  a Windows 10 prefix seeded as Windows 11 build 22631: a stale
#          32-bit copy of the current-version key (WoW64 prefixes), the
#          firmware's maker and model, the processors' names, no OEMINFO.INI
#          (a stale one in SysWOW64); then an OEMINFO.INI in the native
#          system folder, which wins over the firmware
# The prefix is of the DLL's bitness, or with "wow64" a WoW64 prefix in which
# the 32-bit DLL runs under the 32-bit hosts.
# Usage: current_machine.sh BUILD_DIR nt40|win11 DLL [wow64]
set -u
build=$(readlink -m "${1:?build folder}")
mode=${2:?nt40 or win11}
dll=$(readlink -m "${3:?DLL}")
wow64=${4:-}
here=$(cd "$(dirname "$0")" && pwd)
examples="$here/../../examples"
. "$here/../../scripts/wine-prefix.sh"

wp_use_dll "$dll" || exit 1
name=$mode-$WP_BITS
if [ "$wow64" = wow64 ]; then
    WINEARCH=win64
    name=$mode-wow64
fi
prefix="$build/wine-current-$name"
version=nt40
[ "$mode" = win11 ] && version=win10
wp_start "$prefix" fresh "$version" || exit 1
wp_register "$dll" || exit 1

cv='HKLM\Software\Microsoft\Windows NT\CurrentVersion'
# reg of the prefix's own bitness, so /reg:32 and /reg:64 name both views.
reg_bits=32
[ "$WINEARCH" = win64 ] && reg_bits=64
reg() { WP_BITS=$reg_bits wp_run "$prefix.reg.log" reg "$@"; }
# Prints a value's data as reg query shows it; empty when it is missing.
query() {
    reg query "$1" /v "$2" || return 0
    tr -d '\r' <"$prefix.reg.log" | sed -n "s/^ *$2 *REG_[A-Z_]* *//p"
}

system32="$prefix/drive_c/windows/system32"
syswow64="$prefix/drive_c/windows/syswow64"
rm -f "$system32/OEMINFO.INI" "$syswow64/OEMINFO.INI"
status=0
fail() { echo "FAIL $*"; status=1; }

if [ "$mode" = win11 ]; then
    views=()
    if [ "$WINEARCH" = win64 ]; then
        # The 32-bit copy first: where Wine shares the key, the native values win.
        reg add "$cv" /v ProductName /d "Windows 10 Home" /f /reg:32 || fail "seed 32-bit copy"
        reg add "$cv" /v CurrentBuildNumber /d 19045 /f /reg:32 || fail "seed 32-bit copy"
        reg add "$cv" /v CurrentVersion /d 6.3 /f /reg:32 || fail "seed 32-bit copy"
        reg delete "$cv" /v CurrentMajorVersionNumber /f /reg:32
        reg delete "$cv" /v CurrentMinorVersionNumber /f /reg:32
        printf '[general]\r\nManufacturer=SysWOW64 copy\r\nModel=SysWOW64 copy\r\n' >"$syswow64/OEMINFO.INI"
        views=(/reg:64)
    fi
    reg add "$cv" /v ProductName /d "Windows 10 Pro" /f "${views[@]}" || fail "seed ProductName"
    reg add "$cv" /v CurrentBuildNumber /d 22631 /f "${views[@]}" || fail "seed build"
    reg add "$cv" /v CurrentBuild /d 22631 /f "${views[@]}" || fail "seed build"
    reg add "$cv" /v CurrentVersion /d 6.3 /f "${views[@]}" || fail "seed CurrentVersion"
    reg add "$cv" /v CurrentMajorVersionNumber /t REG_DWORD /d 10 /f "${views[@]}" || fail "seed major"
    reg add "$cv" /v CurrentMinorVersionNumber /t REG_DWORD /d 0 /f "${views[@]}" || fail "seed minor"
    reg delete "$cv" /v CSDVersion /f "${views[@]}"
    bios='HKLM\HARDWARE\DESCRIPTION\System\BIOS'
    reg add "$bios" /v SystemManufacturer /d "Orvane Systems" /f || fail "seed BIOS"
    reg add "$bios" /v SystemProductName /d "Zeko Tower 11" /f || fail "seed BIOS"
    # Windows pads some processor names with leading blanks.
    for ((i = 0; i < $(nproc); i++)); do
        reg add "HKLM\\HARDWARE\\DESCRIPTION\\System\\CentralProcessor\\$i" \
            /v ProcessorNameString /d "     Orvane Zeko CPU @ 3.00GHz" /f || fail "seed processor $i"
    done
    [ "$(query "$cv" ProductName)" = "Windows 10 Home" ] &&
        fail "the seeded native view reads as the 32-bit copy"
fi

run_report() {
    wp_cscript "$prefix.$1.json" "$examples/report.vbs" /format:json
    echo "== report.vbs /format:json ($name, $1)"
    tr -d '\r' <"$prefix.$1.json"
}

check() {
    python3 "$here/current_machine.py" "$prefix.$1.json" "$mode" "$WP_BITS" "${@:2}" || status=1
}

run_report first
if [ "$mode" = nt40 ]; then
    check first "$(query "$cv" ProductName)" "$(query "$cv" CurrentVersion)" \
        "$(query "$cv" CSDVersion)"
else
    check first "Orvane Systems" "Zeko Tower 11"
    printf '[general]\r\nManufacturer=Orvane OEM\r\nModel=Zeko OEM 11\r\n' >"$system32/OEMINFO.INI"
    run_report oeminfo
    check oeminfo "Orvane OEM" "Zeko OEM 11"
fi

wp_stop
echo "current_machine ($name): $([ $status -eq 0 ] && echo passed || echo FAILED)"
[ "$status" -eq 0 ] && rm -rf "$prefix" "$prefix".*
exit "$status"
