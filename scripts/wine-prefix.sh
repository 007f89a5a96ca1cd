# Helpers for scripts that run DeZIVero.DLL in a Wine prefix of their own.
# Source this file, then:
#   wp_start PREFIX [fresh] [VERSION]
#                                    create PREFIX (anew with "fresh", else reuse it),
#                                    set the Windows version (win7 unless given, win98
#                                    for the 9x family; "nt" and "9x" name the families
#                                    themselves) and keep its wineserver running
#                                    until wp_stop, so volatile keys survive between
#                                    programs
#   wp_run OUT PROGRAM ARGS...       run a Windows program, stdout and stderr into OUT
#   wp_register DLL                  regsvr32 /s DLL (a Unix path)
#   wp_seed TOOL FILE...             apply registry descriptions with seed_registry.exe
#   wp_cscript OUT SCRIPT ARGS...    cscript //nologo SCRIPT (a Unix path)
#   wp_winpath PATH                  print the Windows form (Z:\...) of a Unix path
#   wp_stop                          end the prefix's wineserver (also on exit)
#   wp_check_tally OUT MIN           the test scripts' last line: "N passed, 0 failed"
#
# Wine's background processes inherit the standard handles of the program that
# started them and keep pipes open long after it ends, so every Wine program
# here writes into files, and each prefix's wineserver is ended explicitly.

export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEARCH=win32
WP_TIMEOUT=${WP_TIMEOUT:-180}

wp_log() { printf '%s\n' "$*" >&2; }

wp_winpath() {
    local p
    p=$(readlink -m "$1")
    printf 'Z:%s' "${p//\//\\}"
}

wp_stop() {
    [ -n "${WINEPREFIX:-}" ] || return 0
    timeout -k 5 60 wineserver -k >/dev/null 2>&1 </dev/null
    timeout -k 5 60 wineserver -w >/dev/null 2>&1 </dev/null
    return 0
}

wp_run() {
    local out=$1
    shift
    timeout -k 10 "$WP_TIMEOUT" wine "$@" >"$out" 2>&1 </dev/null
}

wp_start() {
    local prefix=$1 fresh=${2:-} version=${3:-}
    export WINEPREFIX
    WINEPREFIX=$(readlink -m "$prefix")
    mkdir -p "$(dirname "$WINEPREFIX")"
    trap wp_stop EXIT
    wp_stop
    if [ "$fresh" = fresh ]; then
        rm -rf "$WINEPREFIX"
    fi
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        timeout -k 10 "$WP_TIMEOUT" wineboot -i >"$WINEPREFIX.boot.log" 2>&1 </dev/null || {
            wp_log "wineboot failed for $WINEPREFIX (see $WINEPREFIX.boot.log)"
            return 1
        }
        timeout -k 5 60 wineserver -w >/dev/null 2>&1 </dev/null
    fi
    # Started while no server runs, so this server is the persistent one.
    wineserver -p >/dev/null 2>&1 </dev/null
    local want=$version
    case $version in
        "" | nt) want=win7 ;;
        9x) want=win98 ;;
    esac
    wp_run "$WINEPREFIX.winecfg.log" winecfg /v "$want" || {
        wp_log "winecfg /v $want failed"
        return 1
    }
    return 0
}

wp_register() {
    local dll=$1
    [ -f "$dll" ] || { wp_log "no $dll"; return 1; }
    wp_run "$WINEPREFIX.regsvr32.log" regsvr32 /s "$(wp_winpath "$dll")" || {
        wp_log "regsvr32 /s $dll failed"
        return 1
    }
}

wp_seed() {
    local tool=$1 f args=()
    shift
    for f in "$@"; do args+=("$(wp_winpath "$f")"); done
    wp_run "$WINEPREFIX.seed.log" "$(wp_winpath "$tool")" "${args[@]}" || {
        wp_log "seeding failed:"
        cat "$WINEPREFIX.seed.log" >&2
        return 1
    }
}

wp_cscript() {
    local out=$1 script=$2
    shift 2
    wp_run "$out" cscript //nologo "$(wp_winpath "$script")" "$@"
}

# Checks the tally line "N passed, M failed" that the test scripts print last:
# it must be there, M must be 0 and N at least MIN (a script that stopped early
# prints fewer passes, since Wine's cscript reports no script errors).
wp_check_tally() {
    local out=$1 min=$2 line p f
    line=$(tr -d '\r' <"$out" | grep -E '^[0-9]+ passed, [0-9]+ failed$' | tail -n 1)
    if [ -z "$line" ]; then
        wp_log "no tally line in $(basename "$out"): the script stopped early"
        return 1
    fi
    p=${line%% passed*}
    f=${line#*, }
    f=${f%% failed}
    if [ "$f" -ne 0 ]; then
        wp_log "$(basename "$out"): $f checks failed"
        return 1
    fi
    if [ "$p" -lt "$min" ]; then
        wp_log "$(basename "$out"): only $p checks passed, expected at least $min"
        return 1
    fi
    return 0
}
