#!/usr/bin/env bash
# The Start page filled from a desktop's launchers, under Xvfb: a desktop folder of
# launchers and a program, one entry disabled, and a screenshot of the main window.
# Usage: scripts/startpage-shot.sh [BUILD] [OUT.png]
set -euo pipefail
build=$(cd "${1:-build}" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
shot=${2:-$here/../docs/screenshots/start-page.png}
out=$(mktemp -d /tmp/vorlix-startpage-XXXXXX)
mkdir -p "$out"/{app,config,data,cache,runtime,Desktop,bin}
chmod 700 "$out/runtime"
export HOME="$out" XDG_CONFIG_HOME="$out/config" XDG_DATA_HOME="$out/data" XDG_CACHE_HOME="$out/cache"
export XDG_RUNTIME_DIR="$out/runtime" VORLIX_REGISTRY="$out/config/registry.ini"
export XDG_DATA_DIRS="$out/shared" PATH="$out/bin:$PATH"

printf '[HKEY_LOCAL_MACHINE\\Software\\Quennet\\Vorlix\\AppPath]\r\n@=%s\r\n' "$out/app" >"$VORLIX_REGISTRY"
printf '[HKEY_CURRENT_USER\\software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders]\r\nDesktop=%s\r\n' \
    "$out/Desktop" >>"$VORLIX_REGISTRY"
cp "$build"/share/vorlix/*.INI "$build"/share/vorlix/*.dat "$out/app/" 2>/dev/null || true
printf '[Account]\r\nUserName=Demo\r\n[Character]\r\nName=merlin.acs\r\nPosition=5\r\n' >"$out/app/Vorlix.INI"
printf '[General]\r\nOverview=Yes\r\n' >"$out/app/MessageID.INI"
printf 'Music Player\r\n' >"$out/app/appfilter.dat"

# Launchers as a desktop holds them, each naming a program on PATH.
launcher() {
    printf '#!/bin/sh\n' >"$out/bin/$2"; chmod 755 "$out/bin/$2"
    printf '[Desktop Entry]\nType=Application\nName=%s\nExec=%s %%U\nIcon=%s\n' "$1" "$2" "$2" >"$out/Desktop/$2.desktop"
}
launcher "Calculator" calculator
launcher "Text Editor" text-editor
launcher "Terminal" terminal
launcher "Web Browser" web-browser
launcher "Files" files
launcher "Music Player" music-player
launcher "Image Viewer" image-viewer
launcher "Mail" mail-client
printf '#!/bin/sh\n' >"$out/Desktop/backup-tool"; chmod 755 "$out/Desktop/backup-tool"

source "$here/xsession.sh"
start_xsession "$out"
"$build/bin/vorlix" >"$out/vorlix.log" 2>&1 &
vorlix_pid=$!
for _ in $(seq 200); do
    "$build/bin/vorlix" --status >/dev/null 2>&1 && break
    sleep 0.1
done
sleep 3
window=$(xdotool search --name '^Vorlix 1' | head -1)
import -window "$window" "$shot"
echo "screenshot $shot"
"$build/bin/vorlix" --exit
wait "$vorlix_pid" || true
rm -rf "$out"
