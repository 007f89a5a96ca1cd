#!/usr/bin/env bash
# Builds the DeZIVero MSI package with wixl: the registry entries from the
# registration script and the IDL (registration.py), then the package from
# DeZIVero.wxs with both DLLs, the guide and the examples.
# Usage: package.sh OUT.msi VERSION MANUFACTURER DLL64 DLL32
set -eu
out=$(readlink -m "${1:?output package}")
version=${2:?version}
manufacturer=${3:?manufacturer}
dll64=$(readlink -m "${4:?64-bit DLL}")
dll32=$(readlink -m "${5:?32-bit DLL}")
top=$(cd "$(dirname "$0")/.." && pwd)
includes="${out%.msi}-registration"
mkdir -p "$includes"
python3 "$top/installer/registration.py" "$top/resources/DeZIVero.rgs" "$top/resources/DeZIVero.idl" "$includes"
# wixl 0.101 finds files only by paths relative to where it runs.
cd "$top"
wixl -a x64 -o "$out" -I "$includes" -D Version="$version" -D Manufacturer="$manufacturer" \
    -D Source=. -D Dll64="$(realpath --relative-to=. "$dll64")" -D Dll32="$(realpath --relative-to=. "$dll32")" \
    installer/DeZIVero.wxs
