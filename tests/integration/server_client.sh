#!/bin/sh
# Runs server_client.exe against the built library in a fresh prefix of its
# own, so that the library starts out unregistered; the prefix is removed
# afterwards.
# Arguments: the library, the client executable, the prefix directory, and
# optionally a Windows version for the prefix (win98 puts the library on the
# 9x family, where a multi-processor machine spreads it over several heaps).
set -u
dll=$1
client=$2
prefix=$3
version=${4:-}
here=$(cd "$(dirname "$0")/../.." && pwd)

rm -rf "$prefix"
export WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=${WINEARCH:-win32}
log="$prefix.log"
if [ -n "$version" ]; then
    "$here/scripts/wine-run" winecfg /v "$version" > "$log" 2>&1
fi
"$here/scripts/wine-run" "$client" "$dll" > "$log" 2>&1
status=$?
wineserver -k > /dev/null 2>&1
rm -rf "$prefix"
cat "$log"
exit $status
