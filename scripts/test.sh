#!/usr/bin/env bash
# Builds everything and runs every test (unit tests and integration tests
# under Wine) through CTest, of the 32-bit build (build/) and then of the
# 64-bit build (build/x64/). Ends every Wine prefix it used.
set -u
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/build.sh" || exit 1
rc=0
for dir in "$top/build" "$top/build/x64"; do
    echo "== tests of $dir"
    (cd "$dir" && ctest --output-on-failure --timeout 1500 "$@") || rc=1
done
for p in "$top"/build/wine*/ "$top"/build/x64/wine*/; do
    [ -f "$p/system.reg" ] && WINEPREFIX="$p" wineserver -k 2>/dev/null
done
exit $rc
