#!/usr/bin/env bash
# The demo of `make run` on a machine without a display: Vorlix runs under Xvfb with a
# window manager and a notification area, hears spoken commands from a WAV file, is
# driven with remote commands, and leaves the character's speech (WAV), its request
# log and screenshots behind.
set -euo pipefail
build=$(cd "${1:-build}" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
out="$build/demo"
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
printf '[Account]\r\nUserName=Demo\r\n[Character]\r\nName=merlin.acs\r\nPosition=5\r\n' >"$out/app/Vorlix.INI"
printf '[General]\r\nOverview=Yes\r\n' >"$out/app/MessageID.INI"

# Spoken commands for the microphone: "Web Sites", a pause, then "Settings".
espeak-ng -v en-us -s 150 -w "$out/say1.wav" "Web Sites"
espeak-ng -v en-us -s 150 -w "$out/say2.wav" "Settings"
sox -q "$out/say1.wav" -r 16000 -c 1 "$out/mic1.wav" pad 3 2
sox -q "$out/say2.wav" -r 16000 -c 1 "$out/mic2.wav" pad 0 2
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

shot() { import -window root "$out/screenshots/$1.png"; echo "  screenshot $out/screenshots/$1.png"; }
sleep 6   # the greeting and the phrases from the microphone file
shot heard
for phrase in "Commands" "Settings" "Web Sites"; do
    echo "Saying: $phrase"
    "$vorlix" --say "$phrase"
    sleep 0.6   # the character is still speaking
    shot "$(echo "$phrase" | tr ' ' '-' | tr 'A-Z' 'a-z')"
    sleep 2
done
"$vorlix" --say "Hide"; sleep 1; shot hidden
"$vorlix" --say "Show"; sleep 1
"$vorlix" --exit
wait "$vorlix_pid" || true

echo
echo "Demo finished. Results in $out:"
echo "  agent.log    every request the character got (what it said and did)"
echo "  speech/      the character's speech as WAV files"
echo "  screenshots/ the desktop after each step"
echo "  app/         the program folder (Vorlix.INI, Welcome.txt after the save)"
