#!/usr/bin/env bash
# Cost per call of a property read: by name from cscript, through the
# interface table and IDispatch from C++, beside WMI. Uses the built DLL and
# dispatch_cost.exe of BUILD_DIR (default build/) in the prefix
# BUILD_DIR/wine-bench, and prints one table. Not a test: figures vary with
# the machine and its load.
#   bash benchmarks/dispatch_cost.sh [BUILD_DIR]
set -u
top=$(cd "$(dirname "$0")/.." && pwd)
build=$(readlink -m "${1:-$top/build}")
. "$top/scripts/wine-prefix.sh"
WP_TIMEOUT=600

exe="$build/tests/dispatch_cost.exe"
[ -f "$exe" ] || { echo "no $exe; build first (scripts/build.sh)" >&2; exit 1; }

prefix="$build/wine-bench"
wp_start "$prefix" || exit 1
wp_register "$build/DeZIVero.DLL" || exit 1

script_out="$prefix.vbs.txt"
cpp_out="$prefix.cpp.txt"
wp_cscript "$script_out" "$top/benchmarks/dispatch_cost.vbs" 100000
wp_run "$cpp_out" "$(wp_winpath "$exe")" 200000
cpp_rc=$?
wp_stop

status=0
if ! tr -d '\r' <"$script_out" | grep -q '^done$'; then
    echo "the script did not finish:" >&2
    cat "$script_out" >&2
    status=1
fi
if [ "$cpp_rc" -ne 0 ]; then
    echo "dispatch_cost.exe failed:" >&2
    cat "$cpp_out" >&2
    status=1
fi

printf '%-48s %8s %12s\n' "call" "calls" "us per call"
cat "$script_out" "$cpp_out" | tr -d '\r' | awk -F'|' '
    NF == 3 { printf "%-48s %8d %12.3f\n", $1, $2, $3 * 1e6 / $2 }
    $1 == "note" { notes = notes "\n" $2 }
    END { if (notes != "") print notes }'
exit "$status"
