#!/usr/bin/env bash
# Installs into a staging folder under a prefix the build was not configured for, then runs
# the installed programs from an unrelated folder with a clean environment: each must find
# its data, its library and its speech models from where it lies.
source "$(dirname "$0")/lib.sh"
source "$SOURCE/scripts/xsession.sh"
VORLIX_PID=
XSESSION_PIDS=()
cleanup() {
    [[ -n "$VORLIX_PID" ]] && kill "$VORLIX_PID" 2>/dev/null
    stop_xsession
    rm -rf "$WORK"
}
trap cleanup EXIT

PREFIX="$WORK/stage/opt/vorlix"
cmake --install "$BUILD" --prefix "$PREFIX" >"$WORK/install.log" 2>&1 || fail "cmake --install: $(tail -5 "$WORK/install.log")"

# What was installed: exactly the expected files, each well formed.
diff <(installed_files) <(cd "$PREFIX" && find . \( -type f -o -type l \) -printf '%P\n' | sort) \
    || fail "the installed files differ from the expected list"
desktop-file-validate "$PREFIX/share/applications/vorlix.desktop" || fail "desktop-file-validate"
appstreamcli validate --no-net "$PREFIX/share/metainfo/org.vorlix.Vorlix.metainfo.xml" >"$WORK/appstream.log" \
    || fail "appstreamcli validate: $(cat "$WORK/appstream.log")"
file "$PREFIX/share/icons/hicolor/48x48/apps/vorlix.png" | grep -q "PNG image data, 48 x 48" || fail "48 px icon"
for page in "$PREFIX"/share/man/man1/*.1.gz; do
    warnings=$(MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null)
    [[ -z "$warnings" ]] || fail "$page: $warnings"
done

# A clean environment: only a fresh home and the system's PATH; nothing of the build.
HOME_DIR="$WORK/home"
mkdir -p "$HOME_DIR" "$WORK/elsewhere" "$WORK/runtime"
chmod 700 "$WORK/runtime"
cd "$WORK/elsewhere"
clean() { env -i HOME="$HOME_DIR" PATH=/usr/bin:/bin XDG_RUNTIME_DIR="$WORK/runtime" LANG=C.UTF-8 "$@"; }

clean "$PREFIX/bin/vorlix" --version | grep -qx "Vorlix 1.0" || fail "vorlix --version"

chars="$PREFIX/share/vorlix/msagent/chars"
[[ "$(clean "$PREFIX/bin/vorlix-agent" --list)" == "$chars/hoot.acs"$'\n'"$chars/merlin.acs"$'\n'"$chars/robby.acs" ]] \
    || fail "vorlix-agent --list: $(clean "$PREFIX/bin/vorlix-agent" --list 2>&1)"
clean QT_QPA_PLATFORM=offscreen "$PREFIX/bin/vorlix-agent" merlin --list | grep -qx "GestureDown" \
    || fail "vorlix-agent merlin --list"

# The library is the staged one, also for a program of the user's own built with pkg-config.
library=$(ldd "$PREFIX/bin/vorlix-export" | awk '$1 == "libMokavel.so.1" {print $3}')
[[ "$(readlink -f "$library")" == "$PREFIX/$LIBDIR/libMokavel.so.1.0" ]] || fail "vorlix-export uses libMokavel from '$library'"
[[ "$(clean "$PREFIX/bin/vorlix-export" personal)" == "$HOME_DIR/Documents" ]] || fail "vorlix-export personal"
printf '#include <Mokavel.h>\n#include <stdio.h>\nint main(void) { char b[MOKAVEL_PATH_BUFFER_SIZE];\n'\
'int n = GetPersonalDocsPath(b); printf("%%.*s\\n", n, b); return 0; }\n' >user.c
export PKG_CONFIG_PATH="$PREFIX/$LIBDIR/pkgconfig"
c++ -x c user.c $(pkg-config --cflags --libs mokavel) -Wl,-rpath,"$PREFIX/$LIBDIR" -o user || fail "building against mokavel.pc"
[[ "$(clean ./user)" == "$HOME_DIR/Documents" ]] || fail "a program of the user's own calling libMokavel"

# Hears a phrase that the installed character speaks now.
clean QT_QPA_PLATFORM=offscreen VORLIX_TTS_OUT="$WORK/speech" "$PREFIX/bin/vorlix-agent" robby "speak:Web Sites" \
    || fail "vorlix-agent speak"
wav=$(ls "$WORK"/speech/*.wav)
printf 'Web Sites\nCalculator\nClose Window\n' >phrases.txt
heard=$(clean "$PREFIX/bin/vorlix-hear" --phrases phrases.txt "$wav") || fail "vorlix-hear failed"
[[ "$(cut -f2 <<<"$heard")" == "Web Sites" ]] || fail "vorlix-hear heard: $heard"

# The program on a desktop, as a returning user: its program folder is the per-user one,
# completed with the supplied files it lacks; the staged bin/ stays untouched even for root.
start_xsession "$WORK"
trap cleanup EXIT   # start_xsession set its own
userdata="$HOME_DIR/.local/share/vorlix"
mkdir -p "$userdata"
printf '[Account]\r\nUserName=Installed\r\n' >"$userdata/Vorlix.INI"
printf '[General]\r\nOverview=Yes\r\nNoMicrophone=Yes\r\n' >"$userdata/MessageID.INI"
vorlix() { clean DISPLAY="$DISPLAY" "$PREFIX/bin/vorlix" "$@"; }
vorlix >"$WORK/vorlix.log" 2>&1 &
VORLIX_PID=$!
for _ in $(seq 600); do
    vorlix --status >"$WORK/status" 2>/dev/null && break
    kill -0 "$VORLIX_PID" 2>/dev/null || fail "vorlix ended: $(tail -20 "$WORK/vorlix.log")"
    sleep 0.1
done
grep -qx "window: shown" "$WORK/status" || fail "vorlix --status: $(cat "$WORK/status"; tail -20 "$WORK/vorlix.log")"
vorlix --say "Web Sites" >/dev/null || fail "vorlix --say"
vorlix --status | grep -qx "page: Web Sites" || fail "the supplied voice commands are not there: $(vorlix --status)"
vorlix --exit || fail "vorlix --exit"
wait "$VORLIX_PID" || true
VORLIX_PID=
for file in VoiceCommands.INI VORLIXHelp.dat; do
    cmp -s "$userdata/$file" "$PREFIX/share/vorlix/$file" || fail "$file was not seeded into $userdata"
done
grep -q "UserName=Installed" "$userdata/Vorlix.INI" || fail "the settings were not saved in $userdata"
[[ "$(ls "$PREFIX/bin")" == $'vorlix\nvorlix-agent\nvorlix-export\nvorlix-hear' ]] || fail "files written into bin/: $(ls "$PREFIX/bin")"
echo "staged install: passed"
