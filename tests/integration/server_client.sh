#!/bin/sh
# Runs server_client.exe against the built library in a fresh prefix of its
# own, so that the library starts out unregistered; the prefix is removed
# afterwards.
# Arguments: the library, the client executable, the prefix directory.
set -u
dll=$1
client=$2
prefix=$3
here=$(cd "$(dirname "$0")/../.." && pwd)

rm -rf "$prefix"
export WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=win32
log="$prefix.log"
"$here/scripts/wine-run" "$client" "$dll" > "$log" 2>&1
status=$?
wineserver -k > /dev/null 2>&1
rm -rf "$prefix"
cat "$log"
exit $status
