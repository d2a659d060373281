#!/usr/bin/env bash
# The demo of `make run` on a machine without a display: Vorlix runs under Xvfb with a
# window manager and a notification area, hears spoken commands from a WAV file, is
# driven with remote commands, and leaves the character's speech (WAV), its request
# log and screenshots behind. Fails when a spoken command was not heard or a screenshot
# missed the character. VORLIX_DEMO_OUT names another folder for the results.
set -euo pipefail
build=$(cd "${1:-build}" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
out="${VORLIX_DEMO_OUT:-$build/demo}"
rm -rf "$out"
mkdir -p "$out"/{app,config,data,cache,runtime,speech,screenshots}
chmod 700 "$out/runtime"

export HOME="$out" XDG_CONFIG_HOME="$out/config" XDG_DATA_HOME="$out/data" XDG_CACHE_HOME="$out/cache"
export XDG_RUNTIME_DIR="$out/runtime"
export VORLIX_REGISTRY="$out/config/registry.ini"
export VORLIX_AGENT_LOG="$out/agent.log" VORLIX_TTS_OUT="$out/speech"
vorlix="$build/bin/vorlix"

# The program folder of the demo, with the supplied data and a user who has seen the
# first-run help already.
printf '[HKEY_LOCAL_MACHINE\\Software\\Quennet\\Vorlix\\AppPath]\r\n@=%s\r\n' "$out/app" >"$VORLIX_REGISTRY"
cp "$build"/share/vorlix/*.INI "$build"/share/vorlix/*.dat "$out/app/" 2>/dev/null || true
# A slower voice, so that every screenshot finds the character still speaking.
printf '[Account]\r\nUserName=Demo\r\n[Character]\r\nName=merlin.acs\r\nPosition=5\r\nVoiceSpeed=110\r\n' \
    >"$out/app/Vorlix.INI"
printf '[General]\r\nOverview=Yes\r\nNoMicrophone=Yes\r\n' >"$out/app/MessageID.INI"

# Spoken commands for the microphone: "Web Sites", then "Settings". Vorlix does not hear
# while its character speaks (it would hear itself), so each phrase comes after the
# character has finished the previous answer: the greeting, then "Web Sites".
espeak-ng -v en-us -s 150 -w "$out/say1.wav" "Web Sites"
espeak-ng -v en-us -s 150 -w "$out/say2.wav" "Settings"
sox -q "$out/say1.wav" -r 16000 -c 1 "$out/mic1.wav" pad 6 0
sox -q "$out/say2.wav" -r 16000 -c 1 "$out/mic2.wav" pad 7 2
sox -q "$out/mic1.wav" "$out/mic2.wav" "$out/microphone.wav"
export VORLIX_AUDIO_IN="$out/microphone.wav"

source "$here/xsession.sh"
start_xsession "$out"

echo "Starting Vorlix on $DISPLAY (program folder $out/app)"
"$vorlix" >"$out/vorlix.log" 2>&1 &
vorlix_pid=$!
for _ in $(seq 200); do
    "$vorlix" --status >/dev/null 2>&1 && break
    sleep 0.1
done

shots=0 with_character=0
# shot NAME: the desktop as soon as the character stands on it, speaking.
shot() {
    local shown=no
    for _ in $(seq 100); do
        xdotool search --onlyvisible --name '^Merlin$' >/dev/null 2>&1 && { shown=yes; break; }
        sleep 0.05
    done
    sleep 0.3   # the balloon's first words
    import -window root "$out/screenshots/$1.png"
    shots=$((shots + 1))
    if [[ $shown == yes ]]; then
        with_character=$((with_character + 1))
        echo "  screenshot $out/screenshots/$1.png"
    else
        echo "  screenshot $out/screenshots/$1.png (the character is not on it)"
    fi
}
# said TEXT: the character has said TEXT (its request log).
said() { grep -q $'^Speak\t.*\\\\'"$1"'$' "$VORLIX_AGENT_LOG"; }
wait_said() {
    for _ in $(seq 300); do said "$1" && return 0; sleep 0.1; done
    return 1
}

heard=()
for phrase in "Web Sites" "Settings"; do
    wait_said "$phrase" && heard+=("$phrase")
done
shot heard
for phrase in "Commands" "Macros" "Web Sites"; do
    echo "Saying: $phrase"
    "$vorlix" --say "$phrase"
    shot "$(echo "$phrase" | tr ' ' '-' | tr 'A-Z' 'a-z')"
    sleep 3   # the character finishes and hides
done
"$vorlix" --say "Hide"; shot hidden
sleep 3
"$vorlix" --say "Show"
"$vorlix" --exit
wait "$vorlix_pid" || true

echo
echo "Demo finished. Results in $out:"
echo "  agent.log    every request the character got (what it said and did)"
echo "  speech/      the character's speech as WAV files"
echo "  screenshots/ the desktop after each step"
echo "  app/         the program folder (Vorlix.INI, Welcome.txt after the save)"
echo
echo "Heard from the microphone: ${#heard[@]} of 2 (${heard[*]:-none})"
echo "Screenshots with the character speaking: $with_character of $shots"
[[ ${#heard[@]} == 2 && $with_character == "$shots" ]]
