# Helpers for scripts that run DeZIVero.DLL in a Wine prefix of their own.
# Source this file, then:
#   wp_use_dll DLL                   take the prefix's architecture and the hosts'
#                                    bitness (WP_BITS) from DLL: a 64-bit DLL needs a
#                                    WoW64 prefix (WINEARCH=win64) and 64-bit hosts, a
#                                    32-bit one a win32 prefix; call before wp_start
#   wp_use_bits 32|64                the same for a DLL still to be built
#   wp_bits FILE                     print 32 or 64: the bitness of a PE file
#   wp_start PREFIX [fresh] [VERSION]
#                                    create PREFIX (anew with "fresh", else reuse it) as
#                                    a copy of the template prefix (wine-template.sh),
#                                    set the Windows version (win7 unless given, win98
#                                    for the 9x family; "nt" and "9x" name the families
#                                    themselves; "nt40" also removes the values later
#                                    Windows write, which Wine writes in every mode) and
#                                    keep its wineserver running
#                                    until wp_stop, so volatile keys survive between
#                                    programs
#   wp_run OUT PROGRAM ARGS...       run a Windows program, stdout and stderr into OUT;
#                                    Wine's own programs (cscript, regsvr32, reg) run
#                                    with the bitness WP_BITS names
#   wp_register DLL                  regsvr32 /s DLL (a Unix path), by the regsvr32 of
#                                    the DLL's own bitness
#   wp_unregister DLL                regsvr32 /u /s DLL, likewise
#   wp_seed TOOL FILE...             apply registry descriptions with seed_registry.exe
#   wp_cscript OUT SCRIPT ARGS...    cscript //nologo SCRIPT (a Unix path)
#   wp_winpath PATH                  print the Windows form of a Unix path: C:\... for one
#                                    in the prefix's drive_c, Z:\... for any other
#   wp_stop                          end the prefix's wineserver (also on exit)
#   wp_check_tally OUT MIN           the test scripts' last line: "N passed, 0 failed"
#   wp_report FILE                   start a tally of checks (WP_PASSED, WP_FAILED); the
#                                    lines wp_say prints are also kept in FILE
#   wp_say TEXT...                   print a line and keep it in the report
#   wp_check WHAT STATUS             count a check: passed when STATUS is 0, else it
#                                    says "FAILED: WHAT"
#
# Wine's background processes inherit the standard handles of the program that
# started them and keep pipes open long after it ends, so every Wine program
# here writes into files, and each prefix's wineserver is ended explicitly.
#
# In a WoW64 prefix both bitnesses of cscript and regsvr32 exist. Debian's
# `wine` starts Wine's own programs as 32-bit ones (C:\windows\syswow64), which
# read the 32-bit registry view; the 64-bit ones start from Wine's 64-bit
# loader, WP_WINE64.

export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEARCH=${WINEARCH:-win32}
WP_TIMEOUT=${WP_TIMEOUT:-180}
WP_WINE64=${WP_WINE64:-$(command -v wine64 || echo /usr/lib/wine/wine64)}
WP_BITS=${WP_BITS:-32}
. "$(dirname "${BASH_SOURCE[0]}")/wine-template.sh"

wp_log() { printf '%s\n' "$*" >&2; }

wp_winpath() {
    local p drive=Z:
    p=$(readlink -m "$1")
    if [ -n "${WINEPREFIX:-}" ] && [ "${p#"$WINEPREFIX"/drive_c/}" != "$p" ]; then
        drive=C:
        p=${p#"$WINEPREFIX"/drive_c}
    fi
    printf '%s%s' "$drive" "${p//\//\\}"
}

wp_stop() {
    [ -n "${WINEPREFIX:-}" ] || return 0
    timeout -k 5 60 wineserver -k >/dev/null 2>&1 </dev/null
    timeout -k 5 60 wineserver -w >/dev/null 2>&1 </dev/null
    return 0
}

wp_bits() {
    local at machine
    at=$(od -An -t u4 -j 60 -N 4 "$1" | tr -d ' ')
    machine=$(od -An -t x2 -j "$((at + 4))" -N 2 "$1" | tr -d ' ')
    if [ "$machine" = 8664 ]; then echo 64; else echo 32; fi
}

wp_use_bits() {
    WP_BITS=$1
    if [ "$WP_BITS" = 64 ]; then WINEARCH=win64; else WINEARCH=win32; fi
}

wp_use_dll() {
    local dll=$1
    [ -f "$dll" ] || { wp_log "no $dll"; return 1; }
    wp_use_bits "$(wp_bits "$dll")"
}

wp_run() {
    local out=$1 loader=wine
    shift
    [ "$WP_BITS" = 64 ] && loader=$WP_WINE64
    timeout -k 10 "$WP_TIMEOUT" "$loader" "$@" >"$out" 2>&1 </dev/null
}

wp_start() {
    local prefix=$1 fresh=${2:-} version=${3:-}
    # The server of a prefix used before ends first: its winedevice processes
    # would keep it, and the pipes of whoever started it, open.
    wp_stop
    export WINEPREFIX
    WINEPREFIX=$(readlink -m "$prefix")
    mkdir -p "$(dirname "$WINEPREFIX")"
    trap wp_stop EXIT
    wp_stop
    if [ "$fresh" = fresh ]; then
        rm -rf "$WINEPREFIX"
    fi
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        wine_prefix_from_template "$WINEPREFIX" || {
            wp_log "no template prefix for $WINEPREFIX (see ${WP_TEMPLATE_DIR:-its folder}/wine-template-$WINEARCH.boot.log)"
            return 1
        }
    fi
    # Started while no server runs, so this server is the persistent one.
    wineserver -p >/dev/null 2>&1 </dev/null
    local want=$version
    case $version in
        "" | nt) want=win7 ;;
        9x) want=win98 ;;
    esac
    # A 64-bit prefix's winecfg offers no XP or NT 4.0; Wine itself takes both.
    [ "$WP_BITS" = 64 ] && [ "$want" = winxp ] && want=winxp64
    if [ "$WP_BITS" = 64 ] && [ "$want" = nt40 ]; then
        wp_run "$WINEPREFIX.winecfg.log" reg add 'HKCU\Software\Wine' /v Version /d nt40 /f || {
            wp_log "the version nt40 could not be set"
            return 1
        }
        wp_strip_later_windows
        return 0
    fi
    wp_run "$WINEPREFIX.winecfg.log" winecfg /v "$want" || {
        wp_log "winecfg /v $want failed"
        return 1
    }
    [ "$want" != nt40 ] || wp_strip_later_windows
    return 0
}

# What Wine writes in every version mode and a real NT 4.0 never had: the
# DWORD version numbers of Windows 10, the processors' name strings and the
# firmware key of Vista and later. HARDWARE is rebuilt when a wineserver
# starts, so this holds until wp_stop.
wp_strip_later_windows() {
    local cv='HKLM\Software\Microsoft\Windows NT\CurrentVersion' n i
    wp_run "$WINEPREFIX.strip.log" reg delete "$cv" /v CurrentMajorVersionNumber /f
    wp_run "$WINEPREFIX.strip.log" reg delete "$cv" /v CurrentMinorVersionNumber /f
    wp_run "$WINEPREFIX.strip.log" reg delete 'HKLM\HARDWARE\DESCRIPTION\System\BIOS' /f
    n=$(nproc)
    for ((i = 0; i < n; i++)); do
        wp_run "$WINEPREFIX.strip.log" reg delete \
            "HKLM\\HARDWARE\\DESCRIPTION\\System\\CentralProcessor\\$i" /v ProcessorNameString /f
    done
    return 0
}

# wp_regsvr32 DLL FLAGS...: regsvr32 of the DLL's bitness.
wp_regsvr32() {
    local dll=$1
    shift
    [ -f "$dll" ] || { wp_log "no $dll"; return 1; }
    WP_BITS=$(wp_bits "$dll") wp_run "$WINEPREFIX.regsvr32.log" regsvr32 "$@" "$(wp_winpath "$dll")" || {
        wp_log "regsvr32 $* $dll failed"
        return 1
    }
}

wp_register() { wp_regsvr32 "$1" /s; }
wp_unregister() { wp_regsvr32 "$1" /u /s; }

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

wp_report() {
    WP_REPORT=$1
    WP_PASSED=0
    WP_FAILED=0
    : >"$WP_REPORT"
}

wp_say() { printf '%s\n' "$*" | tee -a "$WP_REPORT"; }

wp_check() {
    if [ "$2" -eq 0 ]; then
        WP_PASSED=$((WP_PASSED + 1))
    else
        WP_FAILED=$((WP_FAILED + 1))
        wp_say "FAILED: $1"
    fi
}
