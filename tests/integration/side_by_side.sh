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
. "$here/wow64_checks.sh"

report="$prefix.report.txt"
wp_report "$report"

export WINEARCH=win64
wp_start "$prefix" fresh || exit 1
# Each cscript registers its own host's type library when it first runs.
answers 64 absent
answers 32 absent
classes before

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
classes unregistered
same_classes "with both unregistered, both views are as before either registered" before unregistered

wp_register "$dll32" && wp_unregister "$dll64"
wp_check "the 32-bit library registers; the 64-bit one, never registered, unregisters" $?
answers 32 answers
wp_unregister "$dll32"
classes last
same_classes "the 32-bit library alone unregisters to the registry before" before last

wp_stop
wp_say "side_by_side: $WP_PASSED passed, $WP_FAILED failed"
[ "$WP_FAILED" -eq 0 ] && rm -rf "$prefix" "$prefix".*
[ "$WP_FAILED" -eq 0 ]
