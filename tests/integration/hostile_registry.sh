#!/usr/bin/env bash
# Runs hostile_client.exe against the built library in a fresh prefix of the
# given family; the client writes its hostile registry contents there itself.
# The prefix is removed after a passing run and kept for reading otherwise.
# Usage: hostile_registry.sh DLL CLIENT PREFIX nt|9x
set -u
dll=$1
client=$2
prefix=$3
mode=${4:-nt}
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../../scripts/wine-prefix.sh"

# The client's hostile contents are of NT 4.0's layout.
version=nt40
[ "$mode" = 9x ] && version=win98
wp_use_dll "$dll" || exit 1
wp_start "$prefix" fresh "$version" || exit 1
out="$prefix.hostile_client.txt"
wp_run "$out" "$(wp_winpath "$client")" "$(wp_winpath "$dll")" "$mode"
status=$?
tr -d '\r' <"$out"
wp_stop
if ! tr -d '\r' <"$out" | grep -qE '^hostile_client: [1-9][0-9]* passed, 0 failed$'; then
    status=1
fi
[ "$status" -eq 0 ] && rm -rf "$prefix" "$prefix".*.txt "$prefix".*.log
exit "$status"
