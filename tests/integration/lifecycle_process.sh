#!/usr/bin/env bash
# Load cycles and apartment threads on a fresh prefix of one platform family,
# with that family's devices seeded and the library registered by regsvr32.
# Usage: lifecycle_process.sh BUILD_DIR nt|9x [LOAD_CYCLES] [WARMUP] [ROUNDS]
# Reports are kept in BUILD_DIR/wine-lifecycle-FAMILY.{load,threads}.txt.
set -u
build=$(readlink -m "${1:?build folder}")
mode=${2:-nt}
cycles=${3:-200}
warmup=${4:-50}
rounds=${5:-10}
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../../scripts/wine-prefix.sh"
WP_TIMEOUT=$((180 + cycles / 2 + rounds))

version=win7
[ "$mode" = 9x ] && version=win98
prefix="$build/wine-lifecycle-$mode"
wp_use_dll "$build/DeZIVero.DLL" || exit 1
wp_start "$prefix" fresh "$version" || exit 1
wp_register "$build/DeZIVero.DLL" || exit 1
wp_seed "$build/tests/seed_registry.exe" "$here/device_${mode}_seed.txt" || exit 1

load="$prefix.load.txt"
wp_run "$load" "$(wp_winpath "$build/tests/lifecycle_load.exe")" "$(wp_winpath "$build/DeZIVero.DLL")" \
    "$cycles" "$warmup"
load_status=$?
threads="$prefix.threads.txt"
wp_run "$threads" "$(wp_winpath "$build/tests/lifecycle_threads.exe")" "$rounds" 4
threads_status=$?
wp_stop

status=0
for report in "$load:$load_status" "$threads:$threads_status"; do
    file=${report%:*}
    code=${report##*:}
    name=$(basename "$file")
    echo "== $name (exit $code)"
    tr -d '\r' <"$file"
    line=$(tr -d '\r' <"$file" | grep -E '^lifecycle_[a-z]+: [0-9]+ passed, [0-9]+ failed$' | tail -n 1)
    if [ "$code" -ne 0 ] || [ -z "$line" ] || [ "${line%%, 0 failed}" = "$line" ]; then
        echo "$name failed: exit $code, tally '${line:-none}'"
        status=1
    fi
done
[ "$status" -eq 0 ] && rm -rf "$prefix"
exit "$status"
