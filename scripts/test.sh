#!/usr/bin/env bash
# Builds everything and runs every test (unit tests and integration tests
# under Wine) through CTest, of the 32-bit build (build/) and of the 64-bit
# build (build/x64/). The 32-bit tests run while the 64-bit build compiles;
# each CTest runs DEZIVERO_TEST_JOBS tests at once (3: Wine's tests wait on
# their servers and programs' start as much as they compute). Ends every Wine
# prefix it used.
set -u
top=$(cd "$(dirname "$0")/.." && pwd)
jobs=${DEZIVERO_TEST_JOBS:-3}
suite() {  # suite DIR LOG: the tests of one build, their output into LOG
    (cd "$1" && ctest -j"$jobs" --output-on-failure --timeout 1500 "${@:3}") >"$2" 2>&1
}
"$top/scripts/build.sh" 32 || exit 1
log32=$top/build/ctest.log
log64=$top/build/x64/ctest.log
suite "$top/build" "$log32" "$@" &
tests32=$!
rc=0
if "$top/scripts/build.sh" x64; then
    suite "$top/build/x64" "$log64" "$@" || rc=1
else
    mkdir -p "$(dirname "$log64")" && echo "the 64-bit build failed" >"$log64"
    rc=1
fi
wait "$tests32" || rc=1
for log in "$log32" "$log64"; do
    echo "== tests of $(dirname "$log")"
    cat "$log"
done
for p in "$top"/build/wine*/ "$top"/build/x64/wine*/ "$top"/build/tests/*wine*/ "$top"/build/x64/tests/*wine*/; do
    [ -f "$p/system.reg" ] && WINEPREFIX="$p" wineserver -k 2>/dev/null
done
exit $rc
