#!/usr/bin/env bash
# A desktop whose sound server has no microphone: Vorlix says so (status, a one-time
# message), its commands still run, and it hears a microphone as soon as one is plugged in.
source "$(dirname "$0")/../lib.sh"
command -v pulseaudio >/dev/null || { echo "pulseaudio is not installed: skipped"; exit 77; }
e2e_setup
e2e_returning_user "Ada"
printf '[General]\r\nOverview=Yes\r\n' >"$APP/MessageID.INI"   # the microphone notice not yet seen
printf '[Character]\r\nWelcomeGesture=None\r\n' >>"$APP/Vorlix.INI"

socket="$E2E_DIR/pulse.sock"
printf 'load-module module-native-protocol-unix socket=%s auth-anonymous=1\n' "$socket" >"$E2E_DIR/empty.pa"
export PULSE_RUNTIME_PATH="$E2E_DIR/pulse" PULSE_SERVER="unix:$socket"
pulseaudio -n --daemonize=no --exit-idle-time=-1 --use-pid-file=no --disable-shm=yes \
    -F "$E2E_DIR/empty.pa" >"$E2E_DIR/pulse.log" 2>&1 &
pulse=$!
trap 'kill $pulse 2>/dev/null; e2e_cleanup' EXIT
wait_until 20 test -S "$socket" || fail "the test's sound server did not start"

start_vorlix
status_has() { "$VORLIX" --status | grep -qx "$1"; }
wait_until 30 status_has "listening: no microphone" || fail "status: $("$VORLIX" --status | tr '\n' ' ')"
wait_until 20 window_visible "^Vorlix Message$" || fail "no message about the missing microphone"
xdotool key Escape
wait_until 20 bash -c "! xdotool search --onlyvisible --name '^Vorlix Message$' | grep -q ." || fail "the message stays"
out=$("$VORLIX" --say "Web Sites") || fail "without a microphone, handed-over phrases still run: $out"
grep -q $'^NoMicrophone=Yes\r$' "$APP/MessageID.INI" || fail "the notice is not remembered as seen"

pactl load-module module-null-source source_name=mic >/dev/null || fail "could not plug in a microphone"
wait_until 30 status_has "listening: yes" || fail "the new microphone is not heard: $("$VORLIX" --status | tr '\n' ' ')"
exit_vorlix
echo "microphone end-to-end: passed"
