#!/usr/bin/env bash
# The 64-bit and the 32-bit DeZIVero.DLL in one fresh WoW64 prefix: both
# registered by the regsvr32 of their own bitness, each answering every
# member from VBScript and JScript under the cscript of its bitness at the
# same time; the registry holding each one's class key in its own view and
# each one's path of the type library ("win64", "win32") below the shared
# key; then each unregistered alone (also one that was never registered)
# while the other stays registered and answering, and at the end, with both
# unregistered, the registry as it was before.
# Usage: side_by_side.sh DLL64 DLL32 PREFIX
set -u
dll64=$(readlink -m "${1:?64-bit library}")
dll32=$(readlink -m "${2:?32-bit library}")
prefix=$(readlink -m "${3:?prefix}")
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../../scripts/wine-prefix.sh"

CLASS='HKCR\CLSID\{7A31C48D-52E6-4B1F-A0D7-3C94E18B6F25}'
TYPELIB='HKCR\TypeLib\{7A31C480-52E6-4B1F-A0D7-3C94E18B6F25}\1.0\0'
INTERFACE='HKCR\Interface\{7A31C48C-52E6-4B1F-A0D7-3C94E18B6F25}'
PROGIDS=('HKCR\Orvane.VXR.ZEKO.HWInfo\CurVer' 'HKCR\Orvane.VXR.ZEKO.HWInfo.1\CLSID')
report="$prefix.report.txt"
wp_report "$report"

# value BITS KEY: the key's default value as the registry view of BITS shows it.
value() {
    WP_BITS=64 wp_run "$prefix.reg.txt" reg query "$2" /ve "/reg:$1" || return 1
    tr -d '\r' <"$prefix.reg.txt" | sed -n 's/^ *(Default) *REG_SZ *//p'
}
# holds WHAT BITS KEY WANT: the key's default value in view BITS must be WANT
# (a Unix path: its Windows form), or the key must be absent (WANT "absent").
holds() {
    local got
    got=$(value "$2" "$3") || got=absent
    local want=$4
    [ "$want" = absent ] || [ "${want:0:1}" != / ] || want=$(wp_winpath "$want")
    [ "$got" = "$want" ]
    wp_check "$1 (view $2: '$got')" $?
}
present() {  # present WHAT BITS KEY
    WP_BITS=64 wp_run "$prefix.reg.txt" reg query "$3" "/reg:$2"
    wp_check "$1" $?
}
shared_keys() {  # shared_keys WANT(yes|no): the ProgIDs both builds share
    local key status
    for key in "${PROGIDS[@]}"; do
        WP_BITS=64 wp_run "$prefix.reg.txt" reg query "$key" /reg:64
        status=$?
        [ "$1" = no ] && status=$((status == 0))
        wp_check "ProgID key $key there: $1" "$status"
    done
}
answers() {  # answers BITS answers|absent: the probe under the cscript of BITS
    local out="$prefix.probe$1.txt" min=2
    [ "$2" = answers ] && min=6
    WP_BITS=$1 wp_cscript "$out" "$here/side_by_side.vbs" "$2"
    tr -d '\r' <"$out" | grep '^FAIL' | tee -a "$report"
    wp_check_tally "$out" "$min" 2>>"$report"
    wp_check "the $1-bit host: the $1-bit library $2" $?
}
members() {  # members BITS: every member from VBScript and JScript under the cscript of BITS
    local entry script min out
    for entry in script_members.vbs:140 script_members.js:100; do
        script=${entry%%:*}
        min=${entry##*:}
        out="$prefix.$1.$script.txt"
        WP_BITS=$1 wp_cscript "$out" "$here/$script" nt
        tr -d '\r' <"$out" | grep '^FAIL' | tee -a "$report"
        wp_check_tally "$out" "$min" 2>>"$report"
        wp_check "$script under the $1-bit cscript" $?
    done
}
# The classes root of both views, exported; compared byte for byte.
snapshot() {
    local bits file
    for bits in 32 64; do
        file="$prefix.$1.$bits.reg"
        rm -f "$file"
        WP_BITS=64 wp_run "$prefix.export.log" reg export 'HKLM\Software\Classes' "$(wp_winpath "$file")" \
            "/reg:$bits" /y
    done
}
same_as_before() {
    local bits status=0
    snapshot "$1"
    for bits in 32 64; do
        if ! cmp -s "$prefix.before.$bits.reg" "$prefix.$1.$bits.reg"; then
            status=1
            diff <(iconv -f UTF-16LE -t UTF-8 "$prefix.before.$bits.reg") \
                <(iconv -f UTF-16LE -t UTF-8 "$prefix.$1.$bits.reg") | head -n 40 | tee -a "$report"
        fi
    done
    wp_check "$2" "$status"
}

export WINEARCH=win64
wp_start "$prefix" fresh || exit 1
# Each cscript registers its own host's type library when it first runs.
answers 64 absent
answers 32 absent
snapshot before

wp_register "$dll64" && wp_register "$dll32"
wp_check "both libraries register, each by the regsvr32 of its bitness" $?
holds "the 64-bit class key names the 64-bit library" 64 "$CLASS\\InprocServer32" "$dll64"
holds "the 32-bit class key names the 32-bit library" 32 "$CLASS\\InprocServer32" "$dll32"
holds "the type library's win64 path is the 64-bit library" 64 "$TYPELIB\\win64" "$dll64"
holds "the type library's win32 path is the 32-bit library" 64 "$TYPELIB\\win32" "$dll32"
present "the 64-bit view holds the interface key" 64 "$INTERFACE"
present "the 32-bit view holds the interface key" 32 "$INTERFACE"
shared_keys yes
members 64
members 32

wp_unregister "$dll64"
wp_check "the 64-bit library unregisters" $?
holds "the 64-bit class key is gone" 64 "$CLASS" absent
holds "the type library's win64 path is gone" 64 "$TYPELIB\\win64" absent
holds "the 32-bit class key stays" 32 "$CLASS\\InprocServer32" "$dll32"
holds "the type library's win32 path stays" 32 "$TYPELIB\\win32" "$dll32"
present "the 32-bit view keeps the interface key" 32 "$INTERFACE"
shared_keys yes
answers 64 absent
answers 32 answers

wp_register "$dll64" && wp_unregister "$dll32"
wp_check "the 64-bit library registers again and the 32-bit one unregisters" $?
holds "the 32-bit class key is gone" 32 "$CLASS" absent
holds "the type library's win32 path is gone" 64 "$TYPELIB\\win32" absent
holds "the 64-bit class key stays" 64 "$CLASS\\InprocServer32" "$dll64"
holds "the type library's win64 path stays" 64 "$TYPELIB\\win64" "$dll64"
present "the 64-bit view keeps the interface key" 64 "$INTERFACE"
shared_keys yes
answers 32 absent
answers 64 answers

wp_unregister "$dll32"
wp_check "the 32-bit library, no longer registered, unregisters again" $?
answers 64 answers
wp_unregister "$dll64"
wp_check "the 64-bit library, now alone, unregisters" $?
shared_keys no
same_as_before unregistered "with both unregistered, both views are as before either registered"

wp_register "$dll32" && wp_unregister "$dll64"
wp_check "the 32-bit library registers; the 64-bit one, never registered, unregisters" $?
answers 32 answers
wp_unregister "$dll32"
same_as_before last "the 32-bit library alone unregisters to the registry before"

wp_stop
wp_say "side_by_side: $WP_PASSED passed, $WP_FAILED failed"
[ "$WP_FAILED" -eq 0 ] && rm -rf "$prefix" "$prefix".*
[ "$WP_FAILED" -eq 0 ]
