#!/usr/bin/env bash
# Configures and builds both DeZIVero.DLLs and their tests: the 32-bit one
# (9x and NT family) into build/, the 64-bit one (x64, NT family) into
# build/x64/. The 64-bit build also packages both DLLs into
# build/x64/DeZIVero-<version>.msi, and its side-by-side and package tests
# use the 32-bit DLL too. "32" or "x64" builds only that one (scripts/test.sh
# tests the 32-bit build while the 64-bit one builds).
# With ccache present (scripts/setup.sh installs it) the compilers run through
# it, so a fresh clone of the same sources compiles from its cache.
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
parts=${1:-32 x64}
launch=()
if command -v ccache >/dev/null; then
    export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$top}
    launch=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
for part in $parts; do
    case $part in
        32)
            cmake -S "$top" -B "$top/build" -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-i686.cmake" \
                "${launch[@]}" >/dev/null
            cmake --build "$top/build" -j"$(nproc)" ;;
        x64)
            cmake -S "$top" -B "$top/build/x64" -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-x86_64.cmake" \
                -DDEZIVERO_DLL32="$top/build/DeZIVero.DLL" "${launch[@]}" >/dev/null
            cmake --build "$top/build/x64" -j"$(nproc)" ;;
        *) echo "usage: build.sh [32|x64]" >&2; exit 2 ;;
    esac
done
