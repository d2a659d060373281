#!/usr/bin/env bash
# Start-up, the single-instance guard, the remote exit and what a save leaves behind.
source "$(dirname "$0")/../lib.sh"
e2e_setup

# No copy runs: the remote commands say so and start nothing.
"$VORLIX" --exit 2>"$E2E_DIR/err" && fail "--exit succeeded without a running copy"
grep -q "not running" "$E2E_DIR/err" || fail "--exit gave no clear message"
"$VORLIX" --say "Show" 2>/dev/null && fail "--say succeeded without a running copy"

e2e_returning_user "Ada"
printf '"Nice to see you, Ada"\r\n' >"$APP/Welcome.txt"
start_vorlix
wait_until 20 window_visible "^Vorlix 1.0$" || fail "main window not shown"

# A second copy shows the message and ends; the first one stays.
"$VORLIX" >"$E2E_DIR/second.log" 2>&1 &
second=$!
wait_until 20 window_visible "^Vorlix$" || fail "no 'already running' message box"
xdotool search --onlyvisible --name "^Vorlix$" windowactivate --sync key Return || true
wait_until 20 bash -c "! kill -0 $second" || fail "second copy did not end"
"$VORLIX" --status >/dev/null || fail "first copy gone after the second start"

exit_vorlix

ini="$APP/Vorlix.INI"
[[ -f "$ini" ]] || fail "no Vorlix.INI after exit"
# The settings the page changes are checked by the settings test; these are the others.
for key in "UserName=Ada" "Name=merlin.acs" "Fast=Yes" "ShowBalloon=Yes" "VoicePitch=50" "StayOnTop=No" \
           "LoadSilence=0" "LoadDesktopApplications=1" "LoadstartMenu=0" "CharacterMode=0"; do
    grep -q "^$key"$'\r'"\$" "$ini" || fail "Vorlix.INI lacks $key"
done
grep -qE '^Left=[0-9]+'$'\r''$' "$ini" || fail "Vorlix.INI lacks Left"
[[ "$(cat "$APP/Welcome.txt")" == $'"Nice to see you, Ada"\r' ]] || fail "Welcome.txt: $(cat -A "$APP/Welcome.txt")"
# An autostarted session whose window is never opened keeps the stored place.
left=$(grep '^Left=' "$ini")
[[ $left != $'Left=0\r' ]] || fail "the first session stored no place of its own"
start_vorlix -autostart
exit_vorlix
[[ $(grep '^Left=' "$ini") == "$left" ]] || fail "the place was lost: $(grep -e '^Left=' -e '^Top=' "$ini" | tr '\r\n' '  ')"

# Autostarted: only the icon in the notification area; a double click on it opens the window.
start_vorlix -autostart
icon=$(xwininfo -root -tree | grep -A4 '"panel"' | grep '("vorlix" "Vorlix")' | awk '{print $1}')
[[ -n "$icon" ]] || fail "no icon in the notification area: $(xwininfo -root -tree | grep -i -e vorlix -e panel)"
window_visible "^Vorlix 1.0$" && fail "the main window is shown after -autostart"
xdotool mousemove --window "$icon" 5 5 click --repeat 2 --delay 80 1
wait_until 20 window_visible "^Vorlix 1.0$" || fail "double-clicking the icon did not open the main window"
exit_vorlix
echo "startup end-to-end: passed"
