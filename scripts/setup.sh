#!/usr/bin/env bash
# Installs, as root on Debian 12, everything the build and the tests need:
# the i686 and x86_64 mingw-w64 cross compilers (posix threads), widl, Wine
# with its 32-bit and 64-bit halves (WoW64 prefixes for the 64-bit DLL),
# Wine's IDL files, GoogleTest sources, CMake, Python 3 (its JSON parser reads
# the JSON report in the tests; the build makes the MSI package's registry
# entries with it), msitools' wixl, which builds the MSI package, and gnuplot,
# which draws the benchmark's chart (its smoke test is one of the tests).
# Idempotent.
set -eu
need=(g++-mingw-w64-i686 g++-mingw-w64-x86-64 mingw-w64-tools wine wine32:i386 wine64 libwine-dev
      googletest cmake python3 wixl gnuplot-nox)
missing=()
for p in "${need[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
    echo "setup: all packages present"
    exit 0
fi
export DEBIAN_FRONTEND=noninteractive
dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386
apt-get update -qq
apt-get install -y -qq "${missing[@]}" >/dev/null
echo "setup: installed ${missing[*]}"
