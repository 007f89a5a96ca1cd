#!/bin/sh
# Self-registration through regsvr32 in a fresh prefix, checked against the
# registry itself: unregistering what was never registered, registering,
# registering again over a stale entry, unregistering twice, and registering
# from a directory whose name holds single quotes.
# Arguments: the library, the registry checker, the prefix directory.
set -u
dll=$1
check=$2
prefix=$3
here=$(cd "$(dirname "$0")/../.." && pwd)

rm -rf "$prefix"
export WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=${WINEARCH:-win32}
run() { "$here/scripts/wine-run" "$@" < /dev/null > "$prefix.step" 2>&1; }

passed=0
failed=0
step() {  # step <what> <command...>: the command must succeed
    what=$1
    shift
    if "$@"; then
        passed=$((passed + 1))
    else
        failed=$((failed + 1))
        echo "FAILED: $what"
        cat "$prefix.step" 2>/dev/null
    fi
}
checked() { run "$check" "$@"; status=$?; grep -v '^server_registry:' "$prefix.step"; return $status; }

windll="Z:$(printf '%s' "$dll" | tr / '\\')"
quotedir="C:\\O'Brien's 'DeZIVero'"
quotedll="$quotedir\\DeZIVero.DLL"

step "the fresh prefix holds no registration" checked unregistered
step "regsvr32 /u succeeds when nothing was registered" run regsvr32 /u /s "$windll"
step "nothing appears from unregistering" checked unregistered

step "regsvr32 registers" run regsvr32 /s "$windll"
step "the registry holds exactly the registration" checked registered "$windll"

step "a stale entry is planted below the class key" run reg add "HKCR\\CLSID\\{7A31C48D-52E6-4B1F-A0D7-3C94E18B6F25}\\Stale" /v Old /d x /f
step "regsvr32 registers again" run regsvr32 /s "$windll"
step "registering again replaces the class key whole" checked registered "$windll"

step "regsvr32 /u unregisters" run regsvr32 /u /s "$windll"
step "unregistration leaves only the shared CLSID key" checked unregistered
step "regsvr32 /u succeeds a second time" run regsvr32 /u /s "$windll"
step "still nothing after the second unregistration" checked unregistered

mkdir -p "$prefix/drive_c/O'Brien's 'DeZIVero'"
cp "$dll" "$prefix/drive_c/O'Brien's 'DeZIVero'/DeZIVero.DLL"
step "a module path with single quotes registers" run regsvr32 /s "$quotedll"
step "the quotes stand single in InprocServer32" checked registered "$quotedll"
step "the module path with single quotes unregisters" run regsvr32 /u /s "$quotedll"
step "nothing left after that" checked unregistered

wineserver -k > /dev/null 2>&1
rm -rf "$prefix" "$prefix.step"
echo "server_registration: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
