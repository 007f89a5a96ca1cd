#!/usr/bin/env bash
# Configures and builds DeZIVero.DLL and the tests into build/.
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
cmake -S "$top" -B "$top/build" -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-i686.cmake" >/dev/null
cmake --build "$top/build" -j"$(nproc)"
