#!/usr/bin/env bash
# The first run of a new user: "Hello." without a name, and the overview read aloud by a
# character standing beside its window, which opens over the main window, owned by it,
# with the program's icon.
source "$(dirname "$0")/../lib.sh"
e2e_setup
start_vorlix

wait_until 30 window_visible "^Vorlix Message$" || fail "no overview window on the first run"
main=$(find_window "^Vorlix 1.0$") || fail "no main window"
msg=$(find_window "^Vorlix Message$") || fail "no message window"
wait_until 30 grep -q $'^Speak\t.*Vorlix' "$VORLIX_AGENT_LOG" || fail "the overview was not read"

log="$VORLIX_AGENT_LOG"
grep -q $'^Speak\t.*\\\\Hello\\.$' "$log" || fail "greeting without a name: $(grep Hello "$log")"

# geometry WINDOW: prints X Y W H of its frame
geometry() {
    xwininfo -id "$1" | awk '/Absolute upper-left X/{x=$NF} /Absolute upper-left Y/{y=$NF}
                              /Width:/{w=$NF} /Height:/{h=$NF} END{print x, y, w, h}'
}
read -r mx my mw mh < <(geometry "$main")
read -r dx dy dw dh < <(geometry "$msg")
transient=$(xprop -id "$msg" WM_TRANSIENT_FOR | awk '{print $NF}')
(( transient == main )) || fail "the message window is owned by $transient, not by the main window $main"
[[ $(xprop -id "$msg" _NET_WM_ICON) == *"Icon ("* ]] || fail "the message window has no icon"
cx=$((dx + dw / 2)) cy=$((dy + dh / 2))
(( cx >= mx && cx < mx + mw && cy >= my && cy < my + mh )) ||
    fail "the message window ($dx,$dy ${dw}x$dh) does not open over the main window ($mx,$my ${mw}x$mh)"

# The reading's place: the last move before the overview is spoken.
read -r px py < <(awk -F'\t' '/^MoveTo/{x=$2; y=$3} /^Speak.*Vorlix/{print x, y; exit}' "$log")
# The character's window is the one standing there, once its move has ended.
character_size() {
    local w x y width height
    for w in $(xdotool search --onlyvisible --class "vorlix" 2>/dev/null); do
        read -r x y width height < <(geometry "$w")
        [[ $x == "$px" && $y == "$py" ]] && { echo "$width $height"; return 0; }
    done
    return 1
}
wait_until 10 character_size || fail "no character window at $px,$py: $(for w in $(xdotool search --onlyvisible --class vorlix); do geometry $w; done | tr '\n' ';')"
read -r cw ch < <(character_size)

(( px + cw <= dx || px >= dx + dw || py + ch <= dy || py >= dy + dh )) ||
    fail "the character (${px},${py} ${cw}x$ch) stands over the message window ($dx,$dy ${dw}x$dh)"
# The balloon (about 300 pixels wide at the default font) stays clear as well.
(( px + cw / 2 + 150 <= dx || px + cw / 2 - 150 >= dx + dw )) || fail "the balloon would cover the message window"

xdotool key Escape
exit_vorlix
echo "first run end-to-end: passed"
