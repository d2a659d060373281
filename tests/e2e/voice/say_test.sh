#!/usr/bin/env bash
# Spoken commands handed over with --say go the way of heard ones: page commands bring
# their page to the front while the character says the page name, "Hide" and "Show"
# move the main window, "Stop Listening" turns the button to "Listen".
source "$(dirname "$0")/../lib.sh"
e2e_setup
e2e_returning_user "Ada"
printf '[Character]\r\nWelcomeGesture=None\r\n' >>"$APP/Vorlix.INI"
start_vorlix

status() { "$VORLIX" --status; }
expect_status() { status | grep -qx "$1" || fail "expected '$1', status is: $(status | tr '\n' ' ')"; }

expect_status "page: Start"
"$VORLIX" --say "Web Sites" || fail "--say failed"
expect_status "page: Web Sites"
grep -q $'^Speak\t.*\\\\Web Sites$' "$VORLIX_AGENT_LOG" || fail "the character did not say Web Sites"

"$VORLIX" --say "settings" || fail "--say failed"   # heard phrases arrive in any letter case
expect_status "page: Settings"

"$VORLIX" --say "hide"
expect_status "window: hidden"
"$VORLIX" --say "Show"
expect_status "window: shown"

"$VORLIX" --say "this is no command" || fail "an unknown phrase must still return 0"

"$VORLIX" --say "Stop Listening"
expect_status "button: Listen"
expect_status "listening: no"
# Stopped by voice: the menu still hears, so "Listen" turns listening back on.
"$VORLIX" --say "Listen"
expect_status "button: Stop Listening"

exit_vorlix
echo "say end-to-end: passed"
