#!/usr/bin/env bash
# Configures and builds both DeZIVero.DLLs and their tests: the 32-bit one
# (9x and NT family) into build/, the 64-bit one (x64, NT family) into
# build/x64/. The 64-bit build also packages both DLLs into
# build/x64/DeZIVero-<version>.msi, and its side-by-side and package tests
# use the 32-bit DLL too.
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
cmake -S "$top" -B "$top/build" -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-i686.cmake" >/dev/null
cmake --build "$top/build" -j"$(nproc)"
cmake -S "$top" -B "$top/build/x64" -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-x86_64.cmake" \
    -DDEZIVERO_DLL32="$top/build/DeZIVero.DLL" >/dev/null
cmake --build "$top/build/x64" -j"$(nproc)"
