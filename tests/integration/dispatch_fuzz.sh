#!/usr/bin/env bash
# Runs the dispatch fuzzer on a fresh prefix of one platform family with the
# devices of that family seeded, the library registered by regsvr32; then a
# short run that faults on purpose, to show that a crash is caught.
# The fuzzer runs with the system's heap checks on (tail and free checking,
# every heap validated at each operation), so that a write past a heap block
# or into a freed one fails the fuzzer's periodic validation of all heaps.
# Usage: dispatch_fuzz.sh BUILD_DIR nt|9x|win10 [CALLS] [SEED]
# The fuzzer's report is kept in BUILD_DIR/wine-fuzz-FAMILY.fuzz.txt.
set -u
build=$(readlink -m "${1:?build folder}")
mode=${2:-nt}
calls=${3:-20000}
seed=${4:-1}
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../../scripts/wine-prefix.sh"
# A full run of a million calls takes minutes.
WP_TIMEOUT=$((180 + calls / 500))

version=win7
[ "$mode" = 9x ] && version=win98
[ "$mode" = win10 ] && version=win10
prefix="$build/wine-fuzz-$mode"
fuzzer=$(wp_winpath "$build/tests/dispatch_fuzz.exe")
wp_use_dll "$build/DeZIVero.DLL" || exit 1
wp_start "$prefix" fresh "$version" || exit 1
wp_register "$build/DeZIVero.DLL" || exit 1
wp_seed "$build/tests/seed_registry.exe" "$here/device_${mode}_seed.txt" "$here/firmware_seed.txt" || exit 1
wp_run "$prefix.flags.log" reg add \
    'HKLM\Software\Microsoft\Windows NT\CurrentVersion\Image File Execution Options\dispatch_fuzz.exe' \
    /v GlobalFlag /t REG_DWORD /d 0x870 /f || exit 1

out="$prefix.fuzz.txt"
wp_run "$out" "$fuzzer" --calls "$calls" --seed "$seed"
fuzz_status=$?
echo "== dispatch_fuzz ($mode, $calls calls, seed $seed): exit $fuzz_status"
tr -d '\r' <"$out"

probe="$prefix.probe.txt"
wp_run "$probe" "$fuzzer" --calls 400 --seed "$seed" --crash-probe 200
probe_status=$?
wp_stop

status=0
line=$(tr -d '\r' <"$out" | grep -E '^dispatch_fuzz: [0-9]+ passed, [0-9]+ failed$' | tail -n 1)
if [ "$fuzz_status" -ne 0 ] || [ -z "$line" ] || [ "${line%%, 0 failed}" = "$line" ]; then
    echo "dispatch_fuzz ($mode) failed: exit $fuzz_status, tally '${line:-none}'"
    status=1
fi
if ! tr -d '\r' <"$out" | grep -q 'heap tail checks on$'; then
    echo "dispatch_fuzz ($mode) ran without the system's heap checks"
    status=1
fi
if [ "$probe_status" -ne 3 ] || ! tr -d '\r' <"$probe" | grep -q '^CRASH (unhandled): exception 0xC0000005'; then
    echo "the crash probe was not caught: exit $probe_status"
    tr -d '\r' <"$probe"
    status=1
else
    echo "crash probe: a fault at call 200 was caught and reported (exit 3)"
fi
[ "$status" -eq 0 ] && rm -rf "$prefix"
exit "$status"
