#!/usr/bin/env bash
# Spoken commands handed over with --say go the way of heard ones and say what happened:
# page commands bring their page to the front while the character says the page name,
# "Hide" and "Show" move the main window. Not listening, by voice or after a dialog,
# only "Listen" is heard.
source "$(dirname "$0")/../lib.sh"
e2e_setup
e2e_returning_user "Ada"
printf '[Character]\r\nWelcomeGesture=None\r\n' >>"$APP/Vorlix.INI"
start_vorlix

status() { "$VORLIX" --status; }
expect_status() { status | grep -qx "$1" || fail "expected '$1', status is: $(status | tr '\n' ' ')"; }
# expect_say STATUS OUTPUT PHRASE
expect_say() {
    local out rc=0
    out=$("$VORLIX" --say "$3") || rc=$?
    [[ $rc == "$1" && $out == "$2" ]] || fail "--say '$3': exit $rc, '$out'; expected exit $1, '$2'"
}

expect_status "page: Start"
expect_say 0 "Ran: Web Sites" "Web Sites"
expect_status "page: Web Sites"
grep -q $'^Speak\t.*\\\\Web Sites$' "$VORLIX_AGENT_LOG" || fail "the character did not say Web Sites"

expect_say 0 "Ran: Settings" "settings"   # heard phrases arrive in any letter case
expect_status "page: Settings"

expect_say 0 "Ran: Hide" "hide"
expect_status "window: hidden"
expect_say 0 "Ran: Show" "Show"
expect_status "window: shown"

expect_say 4 "No command answers to: this is no command" "this is no command"

expect_say 0 "Ran: Stop Listening" "Stop Listening"
expect_status "listening: no"
expect_say 3 "Not listening" "Web Sites"
expect_status "page: Settings"   # and the page stays

# A message window (the Help button, Alt+H) in between: still only "Listen" afterwards,
# and nothing at all while it is open.
xdotool windowactivate --sync "$(find_window "^Vorlix 1.0$")" key alt+h
wait_until 20 bash -c "xdotool search --onlyvisible --name '^Vorlix Message$' | grep -q ." || fail "no help window"
expect_say 3 "Not listening" "Listen"
xdotool key Escape   # the open dialog has the focus
wait_until 20 bash -c "! xdotool search --onlyvisible --name '^Vorlix Message$' | grep -q ." || fail "help window stays"
expect_say 3 "Not listening" "Web Sites"
expect_say 0 "Ran: Listen" "Listen"
expect_say 0 "Ran: Web Sites" "Web Sites"

exit_vorlix
expect_say 1 "" "Web Sites"
echo "say end-to-end: passed"
