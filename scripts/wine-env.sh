# Sourced by the scripts that run Windows programs here: a private Wine prefix with an empty
# HOME, no z: drive (it would map the whole Linux root) and a warm wineserver, on an Xvfb
# display of its own. Nothing touches ~/.wine or the user's display.

zv_free_display() {
    local n
    for n in $(seq 90 199); do
        if [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ]; then
            echo "$n"
            return 0
        fi
    done
    return 1
}

# zv_wine_start DIR [keep]: a prefix in DIR/prefix, made fresh unless "keep" and it exists.
zv_wine_start() {
    local dir=$1 keep=${2:-}
    export WINEPREFIX=$dir/prefix
    export HOME=$dir/home
    export WINEARCH=win32
    export WINEDEBUG=-all
    # No Mono, Gecko or menu entries: nothing is downloaded and nothing leaves the prefix.
    export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
    export XDG_CONFIG_HOME=$HOME/.config XDG_DATA_HOME=$HOME/.local/share
    if [ "$keep" != keep ]; then
        rm -rf "$dir"
    fi
    mkdir -p "$HOME"

    # Another run may take the same display number at the same moment: then try the next.
    local n i attempt
    for attempt in 1 2 3 4 5; do
        n=$(zv_free_display) || { echo "no free X display number" >&2; return 1; }
        Xvfb ":$n" -screen 0 "${ZV_SCREEN:-1024x768}x24" -nolisten tcp >"$dir/xvfb.log" 2>&1 &
        ZV_XVFB_PID=$!
        for i in $(seq 1 100); do
            [ -e "/tmp/.X11-unix/X$n" ] && break
            kill -0 "$ZV_XVFB_PID" 2>/dev/null || break
            sleep 0.1
        done
        kill -0 "$ZV_XVFB_PID" 2>/dev/null && [ -e "/tmp/.X11-unix/X$n" ] && break
        wait "$ZV_XVFB_PID" 2>/dev/null
        ZV_XVFB_PID=
    done
    [ -n "$ZV_XVFB_PID" ] || { echo "Xvfb did not start" >&2; return 1; }
    export DISPLAY=":$n"

    if [ ! -f "$WINEPREFIX/.zv-private" ]; then
        wineboot -i >"$dir/wineboot.log" 2>&1 || true
        wineserver -w
        touch "$WINEPREFIX/.zv-private"
    fi
    rm -f "$WINEPREFIX/dosdevices/z:"
    # One persistent wineserver for the whole run keeps each program's start short.
    wineserver -p
}

zv_wine_stop() {
    wineserver -k 2>/dev/null || true
    if [ -n "${ZV_XVFB_PID:-}" ]; then
        kill "$ZV_XVFB_PID" 2>/dev/null || true
        wait "$ZV_XVFB_PID" 2>/dev/null || true
    fi
}
