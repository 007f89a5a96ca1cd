#!/usr/bin/env bash
# Installs, as root on Debian 12, everything the build and the tests need:
# the i686 and x86_64 mingw-w64 cross compilers (posix threads), widl, Wine
# with its 32-bit and 64-bit halves (WoW64 prefixes for the 64-bit DLL),
# Wine's IDL files, GoogleTest sources, CMake, Python 3 (its JSON parser reads
# the JSON report in the tests; the build makes the MSI package's registry
# entries with it), msitools' wixl, which builds the MSI package, and gnuplot,
# which draws the benchmark's chart (its smoke test is one of the tests), and
# ccache, through which scripts/build.sh compiles.
# Idempotent.
set -eu
need=(g++-mingw-w64-i686 g++-mingw-w64-x86-64 mingw-w64-tools wine wine32:i386 wine64 libwine-dev
      googletest cmake python3 wixl gnuplot-nox ccache)
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
# A mirror caught mid-sync fails one index or another for a while; the
# packages usually still resolve from the indexes that did arrive, so a
# failed update is retried and then tolerated, and the install decides.
for attempt in 1 2 3; do
    apt-get update -qq && break
    echo "setup: package index update failed (attempt $attempt)" >&2
    sleep $((attempt * 10))
done
apt-get install -y -qq "${missing[@]}" >/dev/null || {
    # With the security archive's i386 index missing, its newer amd64
    # libraries have no i386 twin of the same version, which multiarch needs:
    # this install then takes both halves from the release itself.
    pin=/etc/apt/preferences.d/dezivero-setup
    trap 'rm -f "$pin"' EXIT
    printf 'Package: *\nPin: release l=Debian-Security\nPin-Priority: 100\n' >"$pin"
    echo "setup: installing again with the security archive held back" >&2
    apt-get install -y -qq "${missing[@]}" >/dev/null
}
echo "setup: installed ${missing[*]}"
