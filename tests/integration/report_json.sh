#!/usr/bin/env bash
# The JSON report and its fleet collection, on one platform family: seeds the
# devices and a registered owner that needs escaping into a fresh Wine prefix,
# registers the DLL, runs examples/report.vbs as text and as JSON and checks
# one against the other (report_json.py); then runs examples/collect.vbs into
# a folder as a machine would, also where another machine's file of the same
# name lies.
# Usage: report_json.sh BUILD_DIR nt|9x [DLL]
set -u
build=$(readlink -m "${1:?build folder}")
mode=${2:-nt}
dll=${3:-$build/DeZIVero.DLL}
here=$(cd "$(dirname "$0")" && pwd)
examples="$here/../../examples"
. "$here/../../scripts/wine-prefix.sh"

prefix="$build/wine-json-$mode"
wp_use_dll "$dll" || exit 1
wp_start "$prefix" fresh "$mode" || exit 1
wp_register "$dll" || exit 1
python3 "$here/report_json.py" seed "$mode" "$prefix.owner.txt" || exit 1
wp_seed "$build/tests/seed_registry.exe" "$here/device_${mode}_seed.txt" "$prefix.owner.txt" || exit 1

status=0
fail() { echo "FAIL $*"; status=1; }

wp_cscript "$prefix.report.txt" "$examples/report.vbs"
wp_cscript "$prefix.report.json" "$examples/report.vbs" /format:json
echo "== report.vbs /format:json ($mode)"
tr -d '\r' <"$prefix.report.json"
python3 "$here/report_json.py" check "$prefix.report.txt" "$prefix.report.json" || status=1

# Fleet collection into a folder. The machine's file is NAME.json; it is
# replaced on the next run, but one whose collector is another machine is not.
share="$prefix.shared folder"
mkdir -p "$share"
name=$(python3 -c 'import json,sys; print(json.load(open(sys.argv[1]))["ComputerName"])' "$prefix.report.json")
collect() {
    wp_cscript "$prefix.collect.txt" "$examples/collect.vbs" "$@"
    local rc=$?
    tr -d '\r' <"$prefix.collect.txt"
    return $rc
}
collector() {
    python3 -c 'import json,sys; print(json.load(open(sys.argv[1]))["Collector"]["VolumeSerial"])' "$1"
}
# Marks a collected file so that a later run that replaces it shows.
stale() { sed -i 's/"OSName": "[^"]*"/"OSName": "stale"/' "$1"; }

collect "$(wp_winpath "$share")" || fail "collect.vbs: exit $?"
own=$(collector "$share/$name.json") || fail "no $name.json with a collector"
python3 "$here/report_json.py" same "$prefix.report.json" "$share/$name.json" || fail "$name.json is not the report"

stale "$share/$name.json"
collect "$(wp_winpath "$share")" || fail "second run: exit $?"
grep -q '"OSName": "stale"' "$share/$name.json" && fail "the machine's own file was not replaced"

# Another machine of the same name wrote NAME.json: it stays as it is, and
# this machine's report goes to NAME-2.json, replaced on later runs.
sed -i "s/\"VolumeSerial\": \"$own\"/\"VolumeSerial\": \"0BADF00D\"/" "$share/$name.json"
cp "$share/$name.json" "$prefix.other.json"
collect "$(wp_winpath "$share")" || fail "beside another machine's file: exit $?"
cmp -s "$share/$name.json" "$prefix.other.json" || fail "another machine's $name.json was overwritten"
[ "$(collector "$share/$name-2.json")" = "$own" ] || fail "no $name-2.json of this machine"
stale "$share/$name-2.json"
collect "$(wp_winpath "$share")" || fail "again beside another machine's file: exit $?"
grep -q '"OSName": "stale"' "$share/$name-2.json" && fail "$name-2.json was not replaced"
cmp -s "$share/$name.json" "$prefix.other.json" || fail "another machine's $name.json was overwritten"
leftover=$(cd "$share" && ls | grep -vxF -e "$name.json" -e "$name-2.json")
[ -z "$leftover" ] || fail "left in the folder: $leftover"

collect "$(wp_winpath "$share/missing")" && fail "collect.vbs into a missing folder succeeded"

wp_stop
echo "report_json ($mode): $([ $status -eq 0 ] && echo passed || echo FAILED)"
[ "$status" -eq 0 ] && rm -rf "$prefix" "$prefix".*
exit "$status"
