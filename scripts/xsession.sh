# Sourced by scripts that need a desktop without one: starts Xvfb on a free display with
# a window manager (openbox) and a notification area (trayer), and stops them on exit.
# Sets DISPLAY. Usage: source scripts/xsession.sh; start_xsession WORKDIR
start_xsession() {
    local work=$1 n
    for n in $(seq 91 140); do
        [[ -e /tmp/.X11-unix/X$n || -e /tmp/.X$n-lock ]] || break
    done
    Xvfb ":$n" -screen 0 1280x800x24 -noreset -nolisten tcp >"$work/xvfb.log" 2>&1 &
    XSESSION_PIDS=($!)
    export DISPLAY=":$n"
    for _ in $(seq 100); do
        xdpyinfo >/dev/null 2>&1 && break
        sleep 0.1
    done
    xsetroot -solid '#35557a' 2>/dev/null || true
    openbox >"$work/openbox.log" 2>&1 &
    XSESSION_PIDS+=($!)
    # Windows mapped before the window manager is up would stay undecorated.
    for _ in $(seq 100); do
        xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id" && break
        sleep 0.1
    done
    trayer --edge bottom --align right --widthtype request --height 28 --transparent false \
        --tint 0x303a60 --expand true >"$work/trayer.log" 2>&1 &
    XSESSION_PIDS+=($!)
    for _ in $(seq 100); do
        xdotool search --class trayer >/dev/null 2>&1 && break
        sleep 0.1
    done
    trap stop_xsession EXIT
}

stop_xsession() {
    local pid
    for pid in "${XSESSION_PIDS[@]}"; do
        kill "$pid" 2>/dev/null || true
    done
    wait 2>/dev/null || true
}
