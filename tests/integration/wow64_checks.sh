# Checks of the tests that run both DLLs in one WoW64 prefix (side_by_side.sh,
# msi_package.sh). Source after scripts/wine-prefix.sh, with `prefix` (the
# prefix's path) and `here` (this folder) set and a report started (wp_report):
#   value BITS KEY               the key's default value as the registry view of BITS
#                                shows it; fails when the key is absent
#   holds WHAT BITS KEY WANT     count a check: the key's default value in view BITS
#                                is WANT (a Unix path: its Windows form), or the key
#                                is absent (WANT "absent")
#   present WHAT BITS KEY        count a check: the key is there in view BITS
#   shared_keys yes|no           count a check for each ProgID key: there, or not
#   answers BITS answers|absent  whether the cscript of BITS creates the object by
#                                both ProgIDs and calls it by name, or fails with 429
#   members BITS                 every member from VBScript and JScript under the
#                                cscript of BITS
#   classes NAME                 HKLM\Software\Classes of both registry views, exported
#                                into $prefix.NAME.32.reg and $prefix.NAME.64.reg
#   same_classes WHAT NAME1 NAME2 [BELOW]
#                                count a check: both views of NAME1 equal those of
#                                NAME2, key by key and value by value, apart from
#                                HKLM\Software\Classes\BELOW and the keys under it

# The keys of the registration the tests look at.
CLASS='HKCR\CLSID\{7A31C48D-52E6-4B1F-A0D7-3C94E18B6F25}'
TYPELIB='HKCR\TypeLib\{7A31C480-52E6-4B1F-A0D7-3C94E18B6F25}\1.0\0'
INTERFACE='HKCR\Interface\{7A31C48C-52E6-4B1F-A0D7-3C94E18B6F25}'
PROGIDS=('HKCR\Orvane.VXR.ZEKO.HWInfo\CurVer' 'HKCR\Orvane.VXR.ZEKO.HWInfo.1\CLSID')

value() {
    WP_BITS=64 wp_run "$prefix.reg.txt" reg query "$2" /ve "/reg:$1" || return 1
    tr -d '\r' <"$prefix.reg.txt" | sed -n 's/^ *(Default) *REG_SZ *//p'
}

holds() {
    local got
    got=$(value "$2" "$3") || got=absent
    local want=$4
    [ "$want" = absent ] || [ "${want:0:1}" != / ] || want=$(wp_winpath "$want")
    [ "$got" = "$want" ]
    wp_check "$1 (view $2: '$got')" $?
}

present() {
    WP_BITS=64 wp_run "$prefix.reg.txt" reg query "$3" "/reg:$2"
    wp_check "$1" $?
}

shared_keys() {
    local key status
    for key in "${PROGIDS[@]}"; do
        WP_BITS=64 wp_run "$prefix.reg.txt" reg query "$key" /reg:64
        status=$?
        [ "$1" = no ] && status=$((status == 0))
        wp_check "ProgID key $key there: $1" "$status"
    done
}

answers() {
    local out="$prefix.probe$1.txt" min=2
    [ "$2" = answers ] && min=6
    WP_BITS=$1 wp_cscript "$out" "$here/side_by_side.vbs" "$2"
    tr -d '\r' <"$out" | grep '^FAIL' | tee -a "$WP_REPORT"
    wp_check_tally "$out" "$min" 2>>"$WP_REPORT"
    wp_check "the $1-bit host: the $1-bit library $2" $?
}

members() {
    local entry script min out
    for entry in script_members.vbs:140 script_members.js:100; do
        script=${entry%%:*}
        min=${entry##*:}
        out="$prefix.$1.$script.txt"
        WP_BITS=$1 wp_cscript "$out" "$here/$script" nt
        tr -d '\r' <"$out" | grep '^FAIL' | tee -a "$WP_REPORT"
        wp_check_tally "$out" "$min" 2>>"$WP_REPORT"
        wp_check "$script under the $1-bit cscript" $?
    done
}

classes() {
    local bits file
    for bits in 32 64; do
        file="$prefix.$1.$bits.reg"
        rm -f "$file"
        WP_BITS=64 wp_run "$prefix.export.log" reg export 'HKLM\Software\Classes' "$(wp_winpath "$file")" \
            "/reg:$bits" /y
    done
}

# classes_text FILE [BELOW]: the export as text, each value's line after its
# key, without the key HKLM\Software\Classes\BELOW and what is under it.
classes_text() {
    iconv -f UTF-16LE -t UTF-8 "$1" | tr -d '\r' |
        awk -v below="${2:-}" 'BEGIN { root = "[HKEY_LOCAL_MACHINE\\Software\\Classes\\" below }
            /^\[/ { key = $0; skip = below != "" && (key == root "]" || index(key, root "\\") == 1) }
            /^\[/ && !skip { print key; next }
            NF && !skip { print key " " $0 }'
}

same_classes() {
    local bits status=0
    for bits in 32 64; do
        if ! diff <(classes_text "$prefix.$2.$bits.reg" "${4:-}") <(classes_text "$prefix.$3.$bits.reg" "${4:-}") \
            >"$prefix.diff.txt"; then
            status=1
            wp_say "  view $bits differs between $2 and $3:"
            head -n 40 "$prefix.diff.txt" | tee -a "$WP_REPORT"
        fi
    done
    wp_check "$1" "$status"
}
