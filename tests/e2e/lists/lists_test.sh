#!/usr/bin/env bash
# The user lists in the real program: entries load from their files and answer their
# phrases, and a real exit rewrites each file numbered from 1.
source "$(dirname "$0")/../lib.sh"
e2e_setup
e2e_returning_user "Ada"

printf '[Global]\r\nNextEntry=4\r\nwebnum=2\r\n[web1]\r\nvoice=Weather\r\nUrl=file:///nonexistent/weather\r\nspeech=The weather\r\ntype=5\r\nGesture=Wave\r\n[web3]\r\nvoice=News\r\nUrl=file:///nonexistent/news\r\nspeech=Reading the news\r\ntype=5\r\nGesture=None\r\n' >"$APP/Web.INI"
printf '[doc2]\r\nvoice=\r\nDocument=/gone\r\n[Global]\r\ndocsnum=1\r\nNextEntry=3\r\n' >"$APP/Docs.INI"
start_vorlix
"$VORLIX" --say "News" || fail "the web site phrase was not heard"
wait_until 20 grep -q "Reading the news" "$VORLIX_AGENT_LOG" || fail "the entry's sentence was not spoken"
exit_vorlix

web=$(cat "$APP/Web.INI")
expected=$'[web1]\r\nvoice=Weather\r\nUrl=file:///nonexistent/weather\r\nspeech=The weather\r\ntype=5\r\nGesture=Wave\r\n[web2]\r\nvoice=News\r\nUrl=file:///nonexistent/news\r\nspeech=Reading the news\r\ntype=5\r\nGesture=None\r\n[Global]\r\nNextEntry=3\r\nwebnum=2\r'
[[ "$web" == "$expected" ]] || fail "Web.INI after exit: $(cat -A "$APP/Web.INI")"
[[ "$(cat "$APP/Docs.INI")" == $'[Global]\r\nNextEntry=1\r\ndocsnum=0\r' ]] || fail "Docs.INI after exit: $(cat -A "$APP/Docs.INI")"
[[ -f "$APP/apps.INI" ]] || fail "no apps.INI after exit"
echo "lists end-to-end: passed"
