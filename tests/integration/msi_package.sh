#!/usr/bin/env bash
# The MSI package under the 64-bit msiexec of a fresh WoW64 prefix, silent:
# - what regsvr32 writes for both DLLs at the package's own places is the
#   reference; the DLLs are then registered by hand from the build folder;
# - the install writes the reference in both registry views (taking the hand
#   registration over), puts every file where it belongs, lists the program
#   once, and both cscripts answer every member;
# - the uninstall leaves the classes root of both views as before anything was
#   registered (the hand registration too), no file, no entry in the list;
# - installed again, a later package (built here) upgrades it in place, an
#   earlier one is refused, and the uninstall leaves nothing either.
# Windows Installer's own bookkeeping below HKLM\Software\Classes\Installer
# is left out of the comparisons: written by every install, and its parent
# keys, emptied, stay behind after an uninstall under Wine.
# Usage: msi_package.sh PACKAGE VERSION MANUFACTURER DLL64 DLL32 PREFIX
set -u
msi=$(readlink -m "${1:?package}")
version=${2:?version}
manufacturer=${3:?manufacturer}
dll64=$(readlink -m "${4:?64-bit DLL}")
dll32=$(readlink -m "${5:?32-bit DLL}")
prefix=$(readlink -m "${6:?prefix}")
here=$(cd "$(dirname "$0")" && pwd)
top=$(cd "$here/../.." && pwd)
. "$top/scripts/wine-prefix.sh"
. "$here/wow64_checks.sh"

report="$prefix.report.txt"
wp_report "$report"
start=$(date +%s)

IFS=. read -r major minor build revision <<<"$version"
later_version="$major.$minor.$((build + 1)).$revision"
later="$prefix.later/DeZIVero-$later_version.msi"
bash "$top/installer/package.sh" "$later" "$later_version" "$manufacturer" "$dll64" "$dll32" \
    >"$prefix.package.log" 2>&1
wp_check "the package of version $later_version builds" $?

export WINEARCH=win64
wp_start "$prefix" fresh || exit 1
company64="$WINEPREFIX/drive_c/Program Files/$manufacturer"
company32="$WINEPREFIX/drive_c/Program Files (x86)/$manufacturer"
dir64="$company64/DeZIVero"
dir32="$company32/DeZIVero"
# The package's files and where each comes from.
files=("$dir64/DeZIVero.DLL" "$dll64" "$dir32/DeZIVero.DLL" "$dll32" "$dir64/GUIDE.md" "$top/docs/GUIDE.md")
for f in "$top"/examples/*; do files+=("$dir64/examples/${f##*/}" "$f"); done

# msiexec NAME ARGS...: the 64-bit msiexec, silent, logging into $prefix.NAME.log.
msiexec() {
    local name=$1
    shift
    WP_BITS=64 wp_run "$prefix.$name.out" msiexec "$@" /qn /l*v "$(wp_winpath "$prefix.$name.log")"
}
# files_installed WHAT: every file of the package there, as built, and no other.
files_installed() {
    local i status=0 count
    for ((i = 0; i < ${#files[@]}; i += 2)); do
        cmp -s "${files[i]}" "${files[i + 1]}" || { status=1; wp_say "  not as built: ${files[i]}"; }
    done
    count=$(find "$dir64" "$dir32" -type f | wc -l)
    [ "$count" -eq $((${#files[@]} / 2)) ] || { status=1; wp_say "  $count files installed"; }
    wp_check "$1" "$status"
}
# listed WHAT WANT: the installed programs named DeZIVero, both views, as
# '"version" "publisher"' lines, must be WANT.
listed() {
    local bits file got=""
    for bits in 64 32; do
        file="$prefix.uninstall.$bits.reg"
        rm -f "$file"
        WP_BITS=64 wp_run "$prefix.export.log" reg export 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' \
            "$(wp_winpath "$file")" "/reg:$bits" /y || continue
        got+=$(iconv -f UTF-16LE -t UTF-8 "$file" | tr -d '\r' | awk '
            function entry() { if (name == "\"DeZIVero\"") print version, publisher; name = "" }
            /^\[/ { entry() }
            /^"DisplayName"=/ { name = substr($0, 15) }
            /^"DisplayVersion"=/ { version = substr($0, 18) }
            /^"Publisher"=/ { publisher = substr($0, 13) }
            END { entry() }')
    done
    [ "$got" = "$2" ]
    wp_check "$1 (got '$got')" $?
}
installed() {  # installed VERSION: what one installed package of VERSION shows
    classes "installed-$1"
    same_classes "$1 installed: both views hold what regsvr32 writes" regsvr32 "installed-$1" Installer
    files_installed "$1 installed: its files, as built, in both Program Files folders"
    listed "$1 installed: listed once, by $manufacturer" "\"$1\" \"$manufacturer\""
}
removed() {  # removed WHAT: nothing of the package left
    classes "removed-$1"
    same_classes "$1: both views as before anything was registered" before "removed-$1" Installer
    holds "$1: no class key" 64 "$CLASS" absent
    holds "$1: no class key" 32 "$CLASS" absent
    shared_keys no
    [ ! -e "$company64" ] && [ ! -e "$company32" ]
    wp_check "$1: no file, no folder of the package" $?
    listed "$1: not listed" ""
    answers 64 absent
    answers 32 absent
}

# Each cscript registers its own host's type library when it first runs.
answers 64 absent
answers 32 absent
classes before

# The reference: regsvr32 of both DLLs at the package's places, the 32-bit one
# first so that the type library's HELPDIR names the 64-bit folder, as the
# package writes it.
mkdir -p "$dir64" "$dir32" && cp "$dll64" "$dir64/" && cp "$dll32" "$dir32/" &&
    wp_register "$dir32/DeZIVero.DLL" && wp_register "$dir64/DeZIVero.DLL"
wp_check "regsvr32 registers both DLLs at the package's places" $?
classes regsvr32
wp_unregister "$dir64/DeZIVero.DLL" && wp_unregister "$dir32/DeZIVero.DLL" && rm -rf "$company64" "$company32"
wp_check "and unregisters them" $?

wp_register "$dll32" && wp_register "$dll64"
wp_check "both DLLs registered by hand from the build folder before the install" $?
msiexec install /i "$(wp_winpath "$msi")"
wp_check "msiexec /i of $version succeeds" $?
installed "$version"
members 64
members 32
msiexec uninstall /x "$(wp_winpath "$msi")"
wp_check "msiexec /x of $version succeeds" $?
removed "uninstalled, the hand registration with it"

msiexec reinstall /i "$(wp_winpath "$msi")" && msiexec upgrade /i "$(wp_winpath "$later")"
wp_check "msiexec /i of $version, then of $later_version, succeed" $?
installed "$later_version"
answers 64 answers
answers 32 answers
classes upgraded
msiexec downgrade /i "$(wp_winpath "$msi")"
[ $? -eq $((1603 % 256)) ]  # ERROR_INSTALL_FAILURE, as a Unix exit status holds it
wp_check "$version over $later_version is refused (1603)" $?
classes refused
same_classes "the refused package changes nothing" upgraded refused
listed "$later_version stays listed once" "\"$later_version\" \"$manufacturer\""
msiexec last /x "$(wp_winpath "$later")"
wp_check "msiexec /x of $later_version succeeds" $?
removed "upgraded, then uninstalled"

wp_stop
wp_say "msi_package: $(stat -c %s "$msi") bytes, $(($(date +%s) - start)) s"
wp_say "msi_package: $WP_PASSED passed, $WP_FAILED failed"
[ "$WP_FAILED" -eq 0 ] && rm -rf "$prefix" "$prefix".*
[ "$WP_FAILED" -eq 0 ]
