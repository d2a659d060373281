#!/usr/bin/env bash
# The supplied commands that open something: the file manager opens the home folder, not
# the folder Vorlix was started from, and a terminal that cannot be started is said to be so.
source "$(dirname "$0")/../lib.sh"
e2e_setup
e2e_returning_user "Ada"
printf '[Character]\r\nWelcomeGesture=None\r\n' >>"$APP/Vorlix.INI"

# Fakes on PATH: an opener that notes what it was asked to open, and a terminal launcher
# that cannot be started at all (no interpreter line).
mkdir -p "$E2E_DIR/bin" "$E2E_DIR/elsewhere"
printf '#!/bin/sh\nprintf "%%s\\n" "$@" >"%s/opened"\n' "$E2E_DIR" >"$E2E_DIR/bin/xdg-open"
printf 'not a program\n' >"$E2E_DIR/bin/xdg-terminal-exec"
chmod +x "$E2E_DIR/bin/xdg-open" "$E2E_DIR/bin/xdg-terminal-exec"
export PATH="$E2E_DIR/bin:$PATH"
cd "$E2E_DIR/elsewhere"
start_vorlix

out=$("$VORLIX" --say "Open File Manager") || fail "--say Open File Manager: $out"
wait_until 10 test -s "$E2E_DIR/opened" || fail "the opener was not started"
[[ $(cat "$E2E_DIR/opened") == "$HOME" ]] || fail "the file manager opened $(cat "$E2E_DIR/opened"), not $HOME"
grep -q $'^Speak\t.*Opening your files$' "$VORLIX_AGENT_LOG" || fail "no 'Opening your files'"

"$VORLIX" --say "Open Terminal" >/dev/null
wait_until 10 grep -q $'^Speak\t.*\\\\I could not start Open Terminal\\.$' "$VORLIX_AGENT_LOG" ||
    fail "the character did not say the terminal could not start: $(grep Speak "$VORLIX_AGENT_LOG" | tail -2)"
grep -q 'Opening a terminal' "$VORLIX_AGENT_LOG" && fail "the character announced a terminal that did not start"
[[ $(grep -c 'xdg-terminal-exec' "$E2E_DIR/vorlix.log") == 1 ]] || fail "the log does not name the cause once"
"$VORLIX" --say "Open Terminal" >/dev/null
[[ $(grep -c 'xdg-terminal-exec' "$E2E_DIR/vorlix.log") == 1 ]] || fail "the cause is logged again"

exit_vorlix
echo "open end-to-end: passed"
