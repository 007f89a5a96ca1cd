#!/usr/bin/env bash
# Builds everything and runs every test (unit tests and integration tests
# under Wine) through CTest. Ends every Wine prefix it used.
set -u
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/build.sh" || exit 1
cd "$top/build"
ctest --output-on-failure --timeout 1500 "$@"
rc=$?
for p in "$top"/build/wine*/; do
    [ -f "$p/system.reg" ] && WINEPREFIX="$p" wineserver -k 2>/dev/null
done
exit $rc
