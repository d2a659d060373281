#!/usr/bin/env bash
# Start-up of the real program with 10,000 entries in each user list, against the same
# start with empty lists: seconds from launch until it answers a remote command, which it
# does only once the start-up steps have run ("Initialized").
# Usage: VORLIX_BUILD_DIR=build VORLIX_SOURCE_DIR=. bash bench/lists/startup.sh
source "$(dirname "$0")/../../tests/e2e/lib.sh"
e2e_setup
e2e_returning_user "Ada"

time_start() {
    local begin end
    begin=$(date +%s.%N)
    "$VORLIX" >>"$E2E_DIR/vorlix.log" 2>&1 &
    VORLIX_PID=$!
    wait_until 60 "$VORLIX" --status || fail "vorlix did not come up"
    end=$(date +%s.%N)
    echo "$1: $(echo "$end - $begin" | bc) s to the first answer"
    begin=$(date +%s.%N)
    exit_vorlix
    end=$(date +%s.%N)
    echo "$1: $(echo "$end - $begin" | bc) s to exit (rewrite of the lists included)"
}

time_start "empty lists"
for list in "apps.INI app appsnum Application 1" "Docs.INI doc docsnum Document 4" "Web.INI web webnum Url 5"; do
    read -r file word count target type <<<"$list"
    awk -v w="$word" -v c="$count" -v t="$target" -v ty="$type" 'BEGIN {
        for (n = 1; n <= 10000; n++)
            printf "[%s%d]\r\nvoice=Open %s number %d\r\n%s=/home/user/file%d\r\nspeech=Here it is\r\ntype=%s\r\nGesture=Wave\r\n", w, n, w, n, t, n, ty
        printf "[Global]\r\nNextEntry=10001\r\n%s=10000\r\n", c
    }' >"$APP/$file"
done
touch -d "1 hour ago" "$APP"/*.INI
time_start "10,000 entries in each list"
