#!/usr/bin/env bash
# The greeting at start-up: the stored gesture and name, in the order the requests go
# to the character (move, show, gesture, speech, hide).
source "$(dirname "$0")/../lib.sh"
e2e_setup
e2e_returning_user "Ada"
printf '[Character]\r\nWelcomeGesture=Wave\r\nPosition=3\r\n' >>"$APP/Vorlix.INI"
printf '"Ready when you are"\r\n' >"$APP/Welcome.txt"

start_vorlix
wait_until 30 grep -q "^Speak" "$VORLIX_AGENT_LOG" || fail "the character never spoke"
exit_vorlix

log="$E2E_DIR/agent.log"
grep -q $'^Load\tVorlixAgent\t'"$VORLIX_WINDIR/msagent/chars/merlin.acs"'$' "$log" || fail "merlin.acs not loaded: $(head -3 "$log")"
# The greeting's requests, in order, with nothing else between them.
greeting=$(grep -E $'^(MoveTo|Show|Play|Speak|Hide)\t' "$log" | head -5)
expected=$'MoveTo\t0\t0\nShow\tfast\nPlay\tWave\nSpeak\t\\Pit=50\\\\Spd=180\\\\Chr="Normal"\\Hello Ada.\\r\\nReady when you are\nHide\tfast'
[[ "$greeting" == "$expected" ]] || fail "greeting requests differ:
--- got
$greeting
--- expected
$expected"
echo "greeting end-to-end: passed"
