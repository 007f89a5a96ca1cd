#!/usr/bin/env bash
# Hardware report of this machine, as the registered DeZIVero.DLL sees it
# under Wine: builds what is missing or stale, registers the DLL in the
# project's own prefix build/wine-report, runs examples/report.vbs under
# cscript and prints its output (also kept in build/report.txt).
#   bash scripts/report.sh          NT family (Windows 7 as Wine shows it)
#   bash scripts/report.sh --9x     9x family (Windows 98), prefix build/wine-report-9x
set -u
top=$(cd "$(dirname "$0")/.." && pwd)
. "$top/scripts/wine-prefix.sh"

version=win7
prefix="$top/build/wine-report"
out="$top/build/report.txt"
if [ "${1:-}" = --9x ]; then
    version=win98
    prefix="$top/build/wine-report-9x"
    out="$top/build/report-9x.txt"
fi

mkdir -p "$top/build"
log="$top/build/report-build.log"
"$top/scripts/build.sh" >"$log" 2>&1 || {
    echo "report: the build failed; see $log" >&2
    tail -n 20 "$log" >&2
    exit 1
}

wp_start "$prefix" "" "$version" || exit 1
wp_register "$top/build/DeZIVero.DLL" || exit 1
wp_cscript "$out" "$top/examples/report.vbs"
rc=$?
wp_stop
tr -d '\r' <"$out"
if [ "$rc" -ne 0 ] || ! grep -q '^End of report' "$out"; then
    echo "report: cscript did not finish the report (exit $rc)" >&2
    exit 1
fi
