#!/usr/bin/env bash
# The JSON report on one platform family: seeds the devices and a registered
# owner that needs escaping into a fresh Wine prefix, registers the DLL, runs
# examples/report.vbs as text and as JSON and checks one against the other
# (report_json.py).
# Usage: report_json.sh BUILD_DIR nt|9x [DLL]
set -u
build=$(readlink -m "${1:?build folder}")
mode=${2:-nt}
dll=${3:-$build/DeZIVero.DLL}
here=$(cd "$(dirname "$0")" && pwd)
examples="$here/../../examples"
. "$here/../../scripts/wine-prefix.sh"

version=win7
[ "$mode" = 9x ] && version=win98
prefix="$build/wine-json-$mode"
wp_start "$prefix" fresh "$version" || exit 1
wp_register "$dll" || exit 1
python3 "$here/report_json.py" seed "$mode" "$prefix.owner.txt" || exit 1
wp_seed "$build/tests/seed_registry.exe" "$here/device_${mode}_seed.txt" "$prefix.owner.txt" || exit 1

status=0

wp_cscript "$prefix.report.txt" "$examples/report.vbs"
wp_cscript "$prefix.report.json" "$examples/report.vbs" /format:json
echo "== report.vbs /format:json ($mode)"
tr -d '\r' <"$prefix.report.json"
python3 "$here/report_json.py" check "$prefix.report.txt" "$prefix.report.json" || status=1

wp_stop
echo "report_json ($mode): $([ $status -eq 0 ] && echo passed || echo FAILED)"
[ "$status" -eq 0 ] && rm -rf "$prefix" "$prefix".*
exit "$status"
