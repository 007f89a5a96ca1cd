# wine_prefix_from_template PREFIX: creates the absent Wine prefix PREFIX of
# the architecture WINEARCH as a copy of a template prefix, which the first
# caller makes with wineboot under a lock. Copying takes a few seconds where
# wineboot takes tens, and every test starts from the same fresh prefix.
# The template lives in WP_TEMPLATE_DIR (CTest sets the build folder), else
# beside PREFIX. Sourced by wine-prefix.sh and wine-run.
wine_prefix_from_template() {
    local prefix=$1 dir template
    dir=${WP_TEMPLATE_DIR:-$(dirname "$prefix")}
    template=$dir/wine-template-${WINEARCH:-win32}
    mkdir -p "$dir" "$(dirname "$prefix")"
    (
        flock 8
        [ -f "$template/system.reg" ] && exit 0
        rm -rf "$template"
        WINEPREFIX=$template timeout -k 10 "${WP_TIMEOUT:-180}" wineboot -i \
            >"$template.boot.log" 2>&1 </dev/null || exit 1
        # The template's server must be gone before anything is copied.
        WINEPREFIX=$template timeout -k 5 60 wineserver -w >/dev/null 2>&1 </dev/null
        [ -f "$template/system.reg" ]
    ) 8>"$template.lock" || return 1
    rm -rf "$prefix"
    cp -a "$template" "$prefix"
}
