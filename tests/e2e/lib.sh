# Shared by the end-to-end tests: a private desktop (Xvfb, openbox, trayer), a private
# home and program folder, and helpers to start, drive and wait for vorlix.
# Usage: source lib.sh; e2e_setup; ... ; (cleanup runs on exit)
set -euo pipefail

E2E_BUILD=${VORLIX_BUILD_DIR:?run through ctest}
E2E_SOURCE=${VORLIX_SOURCE_DIR:?run through ctest}
VORLIX="$E2E_BUILD/bin/vorlix"
source "$E2E_SOURCE/scripts/xsession.sh"

fail() {
    echo "FAIL: $*" >&2
    [[ -f "${E2E_DIR:-}/vorlix.log" ]] && { echo "--- vorlix.log" >&2; tail -n 40 "$E2E_DIR/vorlix.log" >&2; }
    exit 1
}

# wait_until TIMEOUT_S COMMAND...: polls COMMAND every 0.1 s until it succeeds.
wait_until() {
    local timeout=$1; shift
    local deadline=$((SECONDS + timeout))
    until "$@" >/dev/null 2>&1; do
        ((SECONDS < deadline)) || return 1
        sleep 0.1
    done
}

e2e_setup() {
    E2E_DIR=$(mktemp -d /tmp/vorlix-e2e.XXXXXX)
    mkdir -p "$E2E_DIR"/{app,config,data,cache,runtime}
    chmod 700 "$E2E_DIR/runtime"
    export HOME="$E2E_DIR" XDG_CONFIG_HOME="$E2E_DIR/config" XDG_DATA_HOME="$E2E_DIR/data"
    export XDG_CACHE_HOME="$E2E_DIR/cache" XDG_RUNTIME_DIR="$E2E_DIR/runtime"
    export VORLIX_REGISTRY="$E2E_DIR/config/registry.ini"
    export VORLIX_AGENT_LOG="$E2E_DIR/agent.log"
    export VORLIX_WINDIR="$E2E_BUILD/share/vorlix"
    export QT_QPA_PLATFORM=xcb
    unset VORLIX_AUDIO_IN VORLIX_TTS_OUT
    APP="$E2E_DIR/app"
    printf '[HKEY_LOCAL_MACHINE\\Software\\Quennet\\Vorlix\\AppPath]\r\n@=%s\r\n' "$APP" >"$VORLIX_REGISTRY"
    cp "$E2E_BUILD"/share/vorlix/*.INI "$E2E_BUILD"/share/vorlix/*.dat "$APP/" 2>/dev/null || true
    start_xsession "$E2E_DIR"
    trap e2e_cleanup EXIT
}

e2e_cleanup() {
    [[ -n "${VORLIX_PID:-}" ]] && kill "$VORLIX_PID" 2>/dev/null || true
    stop_xsession
    [[ -n "${KEEP_E2E:-}" ]] || rm -rf "$E2E_DIR"
}

# A user who has run Vorlix before: no first-run prompt, and the one-time notice about a
# missing microphone already seen.
e2e_returning_user() {
    printf '[Account]\r\nUserName=%s\r\n' "${1:-Tester}" >"$APP/Vorlix.INI"
    printf '[General]\r\nOverview=Yes\r\nNoMicrophone=Yes\r\n' >"$APP/MessageID.INI"
}

# Starts vorlix in the background and waits until it answers remote commands.
start_vorlix() {
    "$VORLIX" "$@" >>"$E2E_DIR/vorlix.log" 2>&1 &
    VORLIX_PID=$!
    wait_until 60 "$VORLIX" --status || fail "vorlix did not come up"
}

# Ends vorlix with the remote command and checks it is gone.
exit_vorlix() {
    "$VORLIX" --exit || fail "vorlix --exit failed"
    wait "$VORLIX_PID" || true
    kill -0 "$VORLIX_PID" 2>/dev/null && fail "vorlix still runs after --exit"
    VORLIX_PID=
}

window_visible() { xdotool search --onlyvisible --name "$1" >/dev/null 2>&1; }

# find_window NAME: the id of a visible window whose name matches NAME; retried, since a
# window closing elsewhere during the search makes the search fail.
find_window() {
    local id
    for _ in $(seq 50); do
        id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1) && [[ -n $id ]] && { echo "$id"; return 0; }
        sleep 0.1
    done
    return 1
}
