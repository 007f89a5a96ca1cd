#!/usr/bin/env bash
# Hardware report of this machine, as the registered DeZIVero.DLL sees it
# under Wine. Builds the DLL alone, in a folder of its own without the tests
# (build/report, or build/report-x64 for the 64-bit DLL), while the Wine
# prefix is prepared beside it; registers the DLL there, runs
# examples/report.vbs under the cscript of the DLL's bitness and prints its
# output, which is also kept in that folder as report-FAMILY.txt or .json.
# What it is doing goes to standard error; standard output is the report.
#   bash scripts/report.sh [--9x | --x64] [--json]
#     --9x     the 9x family (Windows 98) instead of the NT family (Windows 7)
#     --x64    the 64-bit DLL under the 64-bit cscript of a WoW64 prefix
#              (NT family only)
#     --json   the JSON document of report.vbs /format:json instead of text
set -u
top=$(cd "$(dirname "$0")/.." && pwd)
. "$top/scripts/wine-prefix.sh"

family=nt
format=text
bits=32
for arg in "$@"; do
    case $arg in
        --9x) family=9x ;;
        --x64) bits=64 ;;
        --json) format=json ;;
        *) echo "usage: bash scripts/report.sh [--9x | --x64] [--json]" >&2; exit 2 ;;
    esac
done
if [ "$family" = 9x ] && [ "$bits" = 64 ]; then
    echo "report: the 64-bit DLL serves the NT family only (64-bit Windows); --9x and --x64 do not go together" >&2
    exit 2
fi

# Each bitness has its own folder and toolchain file; the 64-bit DLL needs a
# WoW64 prefix, whose 64-bit hosts load it.
build="$top/build/report"
toolchain="$top/cmake/mingw-i686.cmake"
if [ "$bits" = 64 ]; then
    build="$top/build/report-x64"
    toolchain="$top/cmake/mingw-x86_64.cmake"
fi
wp_use_bits "$bits"
dll="$build/DeZIVero.DLL"
prefix="$build/wine-$family"
out="$build/report-$family.$format"
log="$build/build.log"

progress() { printf 'report: %3ds %s\n' "$SECONDS" "$*" >&2; }

build_dll() {
    if [ ! -f "$build/CMakeCache.txt" ]; then
        cmake -S "$top" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DBUILD_TESTING=OFF || return 1
    fi
    cmake --build "$build" --target DeZIVero -j"$(nproc)"
}

mkdir -p "$build"
progress "building DeZIVero.DLL in ${build#"$top"/} (log: ${log#"$top"/})"
build_dll >"$log" 2>&1 &
builder=$!
progress "preparing the Wine prefix ${prefix#"$top"/} ($family family, $WINEARCH)"
wp_start "$prefix" "" "$family" || { kill "$builder" 2>/dev/null; exit 1; }
kill -0 "$builder" 2>/dev/null && progress "prefix ready, waiting for the build"
if ! wait "$builder"; then
    echo "report: the build failed; see $log" >&2
    tail -n 20 "$log" >&2
    exit 1
fi
progress "registering ${dll#"$top"/}"
wp_register "$dll" || exit 1
progress "querying the component with examples/report.vbs under $bits-bit cscript"
wp_cscript "$out" "$top/examples/report.vbs" "/format:$format"
rc=$?
wp_stop
tr -d '\r' <"$out"
last='End of report'
[ "$format" = json ] && last='}'
if [ "$rc" -ne 0 ] || [ "$(tr -d '\r' <"$out" | tail -n 1)" != "$last" ]; then
    echo "report: cscript did not finish the report (exit $rc)" >&2
    exit 1
fi
progress "done"
