#!/usr/bin/env bash
# Starts the real Prizmo under Xvfb and drives it with X input only: the mouse opens the
# menus and presses the buttons, the keyboard types into the edits and the real save dialog.
# Compares the saved stylesheet byte for byte, reopens it through the real open dialog and
# through `prizmo FILE`, and keeps a screenshot of every stage.
#   drive_real_window.sh PRIZMO X11_SCREENSHOT OUTPUT_FOLDER [SCREEN]
# SCREEN is the X screen's size, 1700x768 unless given (1024x768: a laptop's).
set -euo pipefail

prizmo=$1
look=$2
out=$3
screen=${4:-1700x768}
rm -rf "$out"
mkdir -p "$out"
work=$(mktemp -d)
xvfb_pid=
prizmo_pid=

cleanup() {
    [[ -n $prizmo_pid ]] && kill "$prizmo_pid" 2>/dev/null || true
    [[ -n $xvfb_pid ]] && kill "$xvfb_pid" 2>/dev/null || true
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*" >&2
    [[ -z $xvfb_pid ]] || kill -0 "$xvfb_pid" 2>/dev/null || echo "Xvfb has ended: $(cat "$work/xvfb.log")" >&2
    "$look" "$out/failure.png" 2>/dev/null || true
    exit 1
}

# Runs the command until it succeeds. Every wait is for a state, never for a time; the
# deadline only ends a run that has gone wrong, and is far beyond what a loaded machine needs.
patience=${PRIZMO_E2E_PATIENCE:-90}
wait_until() {
    local deadline=$((SECONDS + patience))
    until "$@" >/dev/null 2>&1; do
        ((SECONDS < deadline)) || fail "gave up waiting for: $*"
        sleep 0.05
    done
}

windows() { xdotool search --onlyvisible --class prizmo 2>/dev/null | sort || true; }
pixel() { "$look" --pixel "$1" "$2" 2>/dev/null; }
pixel_is() { [[ $(pixel "$1" "$2") == "$3" ]]; }
pixel_is_not() { [[ $(pixel "$1" "$2") != "$3" ]]; }
shot() { "$look" "$out/$1.png" 2>/dev/null; }

# Waits for one window more than the ones listed in $known, and for it to take the keyboard
# (what is typed next is for it), and prints its id.
new_window() {
    local found
    wait_until bash -c "[[ -n \$(comm -13 <(echo \"$known\") <(xdotool search --onlyvisible --class prizmo | sort)) ]]"
    found=$(comm -13 <(echo "$known") <(windows) | head -1)
    wait_until has_focus "$found"
    echo "$found"
}

has_focus() { [[ $(xdotool getwindowfocus 2>/dev/null) == "$1" ]]; }

title_matches() { [[ $(xdotool getwindowname "$1") =~ $2 ]]; }

gone() { ! xdotool search --onlyvisible --class prizmo 2>/dev/null | grep -qx "$1"; }

click() { xdotool mousemove "$1" "$2" click 1; }

# Opens the menu whose title sits at x = $1 and chooses its item $2 of $3 entries.
# Waits up to $1 seconds for a window not in $known and prints its id; false when none came.
appears_within() {
    local deadline=$((SECONDS + $1)) found
    while ((SECONDS < deadline)); do
        found=$(comm -13 <(echo "$known") <(windows) | head -1)
        [[ -n $found ]] && echo "$found" && return 0
        sleep 0.05
    done
    return 1
}

choose() {
    local known popup= x y width height attempt
    # A click that reached the menu bar before the window could take it is tried again.
    for attempt in 1 2 3; do
        known=$( { windows; echo "${main:-}"; } | sort -u)   # the main window is never the menu
        click "$1" $((menu_height / 2))
        popup=$(appears_within 20) && break
        xdotool key Escape
    done
    [[ -n $popup ]] || fail "the menu at x = $1 did not open"
    eval "$(xdotool getwindowgeometry --shell "$popup")"
    x=$((X + WIDTH / 2))
    y=$((Y + HEIGHT * (2 * $2 - 1) / (2 * $3)))
    hover_until_lit "$x" "$y" $((X + 4))
    xdotool click 1
    wait_until gone "$popup"
}

# Points at the menu item at ($1, $2) until it lights up (at x = $3): only then does the menu
# follow the pointer, and a click reach the item rather than a menu still being set up. The
# pointer moves by a pixel each time, so that a menu that was late still sees it move.
highlight=308CC6
hover_until_lit() {
    local deadline=$((SECONDS + patience)) nudge=0
    until xdotool mousemove $(($1 + nudge)) "$2" && pixel_is "$3" "$2" "$highlight"; do
        ((SECONDS < deadline)) || fail "the menu item at $1, $2 does not light up"
        nudge=$((1 - nudge))
        sleep 0.05
    done
}

# Replaces the text of the edit at ($1, $2) with $3.
type_into() {
    click "$1" "$2"
    xdotool key ctrl+a
    xdotool type --delay 10 "$3"
}

# -noreset: without it the server starts over when its last client leaves, and turns away
# the next one meanwhile.
Xvfb -displayfd 3 -screen 0 "${screen}x24" -nolisten tcp -noreset 3>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
wait_until test -s "$work/display"
export DISPLAY=":$(head -1 "$work/display")"
export QT_QPA_PLATFORM=xcb
# The preview's engine: software drawing on Xvfb, and no sandbox, which Chromium refuses as
# root and a test machine's container does not give it.
export QT_QUICK_BACKEND=software QTWEBENGINE_DISABLE_SANDBOX=1
# What Prizmo remembers (whether the rules show) starts empty, and stays in the scratch folder.
export XDG_CONFIG_HOME="$work/config"
# And the recovery files.
export XDG_STATE_HOME="$work/state"
# In the sanitizer build the program's end is checked for leaks; not for the system's own.
export LSAN_OPTIONS="suppressions=$(cd "$(dirname "$0")" && pwd)/lsan.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}"

# As a Hungarian person runs it: Qt's own dialog texts then come in Hungarian too.
LANG=hu_HU.UTF-8 LC_ALL= LC_MESSAGES= "$prizmo" >"$out/prizmo.log" 2>&1 &
prizmo_pid=$!
wait_until xdotool search --onlyvisible --name '^Prizmo$'
main=$(windows)
eval "$(xdotool getwindowgeometry --shell "$main")"
menu_height=$((HEIGHT - 577))
((menu_height > 0)) || fail "the window's client area is not 577 pixels high"

green=008000
white=FFFFFF
fajl_x=19
css_x=53
szerkesztes_x=103
nezet_x=158
kesz=(588 $((menu_height + 41)))
edit3=(312 $((menu_height + 48)))
edit1=(107 $((menu_height + 89 + 50)))
save_button_top=(261 $((menu_height + 108)))
parent_list=(350 $((menu_height + 66)))
ok_button=(536 $((menu_height + 64)))
page_button=(357 $((menu_height + 108)))

wait_until pixel_is 300 $((menu_height + 300)) "$green"
pixel_is "${edit3[@]}" "$green" || fail "a panel shows at start"
shot 01-start

choose "$css_x" 2 2                                # CSS → Body beállítása
wait_until pixel_is "${edit3[@]}" "$white"
shot 02-body
type_into "${edit3[@]}" 16
click "${kesz[@]}"

choose "$css_x" 2 2                                # the body is set: refused with a message
known=$main
box=$(new_window)
[[ $(xdotool getwindowname "$box") == Prizmo ]] || fail "the refusal is not a message box"
shot 03-refused
xdotool key Return
wait_until gone "$box"

choose "$css_x" 1 2                                # CSS → Új Div
wait_until pixel_is "${edit1[@]}" "$white"
shot 04-div
type_into "${edit1[@]}" 250
# Nézet → Tulajdonságok: a margin and a padding in the box-model diagram, part of the edit.
choose "$nezet_x" 4 5
margin_top=(836 $((menu_height + 42)))
padding_left=(781 $((menu_height + 131)))
wait_until pixel_is $((margin_top[0] - 12)) "${margin_top[1]}" "$white"   # beside its digit
type_into "${margin_top[@]}" 4
type_into "${padding_left[@]}" 2
shot 04-dock
click "${kesz[@]}"
choose "$nezet_x" 4 5                              # and the dock away again, with its room
wait_until pixel_is_not $((margin_top[0] - 12)) "${margin_top[1]}" "$white"

choose "$fajl_x" 2 3                               # Fájl → Mentés
wait_until pixel_is "${edit1[@]}" "$green"         # the committed div's panels give way
wait_until pixel_is_not "${save_button_top[@]}" "$green"
shot 05-save-panel

# Presses the panel's Mentés and types $1 into the real save dialog.
save_as() {
    local known dialog
    known=$(windows)
    click "${save_button_top[@]}"
    dialog=$(new_window)
    [[ -z ${2:-} ]] || shot "$2"
    xdotool key ctrl+a
    xdotool type --delay 10 "$1"
    xdotool key Return
    wait_until gone "$dialog"
    wait_until test -f "$1"
}

# Presses the panel's Weboldal and types $1 into the real save dialog, which adds .html.
write_web_page() {
    local known dialog
    known=$(windows)
    click "${page_button[@]}"
    dialog=$(new_window)
    xdotool key ctrl+a
    xdotool type --delay 10 "$1"
    xdotool key Return
    wait_until gone "$dialog"
    wait_until test -s "$1.html"
}

# Új Div, its KÉSZ and Fájl → Mentés: the save panel shows.
add_div_and_open_save_panel() {
    choose "$css_x" 1 2
    wait_until pixel_is "${edit1[@]}" "$white"
    click "${kesz[@]}"
    choose "$fajl_x" 2 3
    wait_until pixel_is "${edit1[@]}" "$green"
    wait_until pixel_is_not "${save_button_top[@]}" "$green"
}

# The same, then the panel's Mentés to $1.
add_div_and_save() {
    add_div_and_open_save_panel
    save_as "$1"
}

saved="$work/saved stylesheet.css"
save_as "$saved" 06-save-dialog
shot 07-saved

expected="$work/expected.css"
printf '%s' $'\n\rbody\n\r{\n\rbackground:;\n\rfont-size:16;\n\rfont-color:;\n\r}' \
    $'\n\r#div0\n\r{\n\rwidth:250px;\n\rheight:200px;\n\rbackground:;\n\rfont-size:14px;' \
    $'\n\rfont-color:;\n\rfloat:none;\n\rposition:relative;\n\rmargin:4px 0px 0px 0px;' \
    $'\n\rpadding:0px 0px 0px 2px;\n\r}' >"$expected"
cmp "$expected" "$saved" || fail "the saved stylesheet differs: $(od -c "$saved" | head -20)"

default_div1=$'\n\r#div1\n\r{\n\rwidth:100px;\n\rheight:200px;\n\rbackground:;\n\rfont-size:14px;'$'\n\rfont-color:;\n\rfloat:none;\n\rposition:relative;\n\r}'

# Fájl → Megnyitás through the real open dialog, one more div, saved elsewhere.
known=$(windows)
choose "$fajl_x" 1 3
dialog=$(new_window)
shot 08-open-dialog
xdotool key ctrl+a
xdotool type --delay 10 "$saved"
xdotool key Return
wait_until gone "$dialog"
add_div_and_save "$work/reopened.css"
{ cat "$expected"; printf '%s' "$default_div1"; } >"$work/expected-reopened.css"
cmp "$work/expected-reopened.css" "$work/reopened.css" ||
    fail "the reopened stylesheet saved differs: $(od -c "$work/reopened.css" | head -20)"

# Fájl → Kilépés, then the file named on the command line.
choose "$fajl_x" 3 3
wait "$prizmo_pid" || fail "Prizmo did not end cleanly after Kilépés"
LANG=hu_HU.UTF-8 LC_ALL= LC_MESSAGES= "$prizmo" "$saved" >>"$out/prizmo.log" 2>&1 &
prizmo_pid=$!
known=
main=$(appears_within 20) || fail "Prizmo started with a file shows no window"
wait_until pixel_is 300 $((menu_height + 300)) "$green"
wait_until title_matches "$main" '^saved stylesheet\.css .* Prizmo$'   # opened

# One more div, nested in div 0 with Ok, and the web page through "Weboldal".
choose "$css_x" 1 2
wait_until pixel_is "${edit1[@]}" "$white"
click "${kesz[@]}"
choose "$fajl_x" 2 3
wait_until pixel_is "${edit1[@]}" "$green"
type_into "${parent_list[@]}" div0
click "${ok_button[@]}"
write_web_page "$work/oldal"
grep -qz '<div id="div0">div0.<div id="div1">div1</div>.</div>' "$work/oldal.html" ||
    fail "the web page does not nest div1 in div0: $(cat "$work/oldal.html")"
shot 09-from-command-line
save_as "$work/from-command-line.css"
cmp "$work/expected-reopened.css" "$work/from-command-line.css" ||
    fail "the stylesheet opened from the command line saved differs"

# Kilépés with an unsaved div asks first: Escape keeps Prizmo running; Enter saves, through
# the real save dialog, and then Prizmo ends.
choose "$css_x" 1 2
wait_until pixel_is "${edit1[@]}" "$white"
click "${kesz[@]}"
known=$main
choose "$fajl_x" 3 3
box=$(new_window)
shot 10-unsaved-question
xdotool key Escape
wait_until gone "$box"
kill -0 "$prizmo_pid" 2>/dev/null || fail "Prizmo ended although the question was cancelled"
choose "$fajl_x" 3 3
box=$(new_window)
known="$main"$'\n'"$box"
xdotool key Return
wait_until gone "$box"
dialog=$(new_window)
xdotool key ctrl+a
xdotool type --delay 10 "$work/saved on exit.css"
xdotool key Return
wait "$prizmo_pid" || fail "Prizmo did not end cleanly after saving on exit"
prizmo_pid=
printf '%s' $'\n\r#div0\n\r{\n\rwidth:100px;\n\rheight:200px;\n\rbackground:;\n\rfont-size:14px;' \
    $'\n\rfont-color:;\n\rfloat:none;\n\rposition:relative;\n\r}' >"$work/expected-on-exit.css"
cmp "$work/expected-on-exit.css" "$work/saved on exit.css" || fail "the stylesheet saved on exit differs"

# The preview's window covers neither the menu, the panels nor the rules: what is clicked
# there reaches the editor.
# preview_clear says why not in $why.
preview_clear() {
    local X Y WIDTH HEIGHT px py pw ph mx my mw mh
    eval "$(xdotool getwindowgeometry --shell "$1")"
    px=$X py=$Y pw=$WIDTH ph=$HEIGHT
    eval "$(xdotool getwindowgeometry --shell "$main")"
    mx=$X my=$Y mw=$WIDTH mh=$HEIGHT
    overlaps() { ((px < $1 + $3 && $1 < px + pw && py < $2 + $4 && $2 < py + ph)); }
    why="the preview ($pw x $ph at $px, $py) covers the menu or the panels"
    ! overlaps "$mx" "$my" 676 $((menu_height + 89 + 88 + 128)) || return 1
    why="the preview ($pw x $ph at $px, $py) covers the rules"
    ((mw <= 676)) || ! overlaps $((mx + 676)) "$my" $((mw - 676)) "$mh" || return 1
    why="the preview is $pw x $ph"
    ((pw >= 320 && ph >= 240)) || ((py >= my + menu_height + 305))
}
clear_of_controls() { preview_clear "$1" || fail "$why"; }
wider_than() {
    local X Y WIDTH HEIGHT SCREEN
    eval "$(xdotool getwindowgeometry --shell "$1")"
    ((WIDTH > $2))
}
as_designed() { ! wider_than "$1" 676; }

# Three divs, then div 0 changed again from the rules: Ctrl+E, its name typed, Return.
LANG=hu_HU.UTF-8 LC_ALL= LC_MESSAGES= "$prizmo" >>"$out/prizmo.log" 2>&1 &
prizmo_pid=$!
known=
main=$(appears_within 60) || fail "Prizmo shows no window for the rules' road"
wait_until pixel_is 300 $((menu_height + 300)) "$green"
for width in 600 200 300; do
    choose "$css_x" 1 2
    wait_until pixel_is "${edit1[@]}" "$white"
    type_into "${edit1[@]}" "$width"
    click "${kesz[@]}"
    wait_until pixel_is_not "${edit1[@]}" "$white"
done
xdotool key ctrl+e
wait_until pixel_is_not 800 $((menu_height + 300)) "000000"   # the window has grown by the tree
xdotool type --delay 10 div0
xdotool key Return
wait_until pixel_is "${edit1[@]}" "$white"          # div 0's edit is open again
shot 11-rules
type_into "${edit1[@]}" 500
click "${kesz[@]}"
wait_until pixel_is_not "${edit1[@]}" "$white"
# div 2's row dragged onto div 0's nests it there, as "Ok" would (the web page shows it).
xdotool mousemove 716 78 mousedown 1
for y in 74 70 66 62 58 56; do xdotool mousemove 716 "$y"; done
xdotool mouseup 1
# Nézet → Előnézet: the page, with div 0's outline, as it is being edited; turned off again.
look_at_the_preview() {
    local known preview X Y WIDTH HEIGHT SCREEN
    known=$(windows)
    choose "$nezet_x" 2 5
    preview=$(appears_within "$patience") || fail "the preview shows no window ($1)"
    wait_until title_matches "$preview" '^Előnézet – Prizmo$'
    eval "$(xdotool getwindowgeometry --shell "$preview")"
    wait_until pixel_is $((X + 8)) $((Y + 100)) "$highlight"
    clear_of_controls "$preview"
    shot "$1"
    if [[ -n ${2:-} ]]; then
        # The rules turned on beside it: the window widens, and the preview Prizmo placed
        # moves off them; off again, the window gives the room back.
        choose "$nezet_x" 1 5
        wait_until wider_than "$main" 676
        local deadline=$((SECONDS + patience))
        until preview_clear "$preview"; do
            ((SECONDS < deadline)) || fail "$why, after the rules were turned on"
            sleep 0.05
        done
        shot "$2"
        choose "$nezet_x" 1 5
        wait_until as_designed "$main"
    fi
    choose "$nezet_x" 2 5
    wait_until gone "$preview"
}
look_at_the_preview 12-preview
# Without the rules, and on a screen with no room beside the window too; then the rules
# turned on while it shows.
choose "$nezet_x" 1 5
wait_until pixel_is 800 $((menu_height + 300)) "000000"
look_at_the_preview 12-preview-without-rules 12-preview-then-rules
choose "$fajl_x" 2 3
wait_until pixel_is "${edit1[@]}" "$green"
wait_until pixel_is_not "${save_button_top[@]}" "$green"
write_web_page "$work/nested"
grep -qz '<div id="div0">div0.<div id="div2">div2</div>.</div>' "$work/nested.html" ||
    fail "the row dropped in the rules is not nested in the web page: $(cat "$work/nested.html")"
save_as "$work/changed again.css"
div_with_width() {
    printf '%s' $'\n\r#div'"$1"$'\n\r{\n\rwidth:'"$2"$'px;\n\rheight:200px;\n\rbackground:;\n\rfont-size:14px;' \
        $'\n\rfont-color:;\n\rfloat:none;\n\rposition:relative;\n\r}'
}
{ div_with_width 0 500; div_with_width 1 200; div_with_width 2 300; } >"$work/expected-changed-again.css"
cmp "$work/expected-changed-again.css" "$work/changed again.css" ||
    fail "the stylesheet changed through the rules differs: $(od -c "$work/changed again.css" | head -20)"
# Szerkesztés → Visszavonás takes the save back: the records return, unsaved, and save to
# the same bytes. (Ctrl+Z would be the nesting list's own: it has the focus.)
wait_until title_matches "$main" '^Prizmo$'
choose "$szerkesztes_x" 1 4
wait_until title_matches "$main" '^Prizmo\*$'
save_as "$work/undone save.css"
cmp "$work/expected-changed-again.css" "$work/undone save.css" || fail "the stylesheet saved again after Ctrl+Z differs"
choose "$fajl_x" 3 3
wait "$prizmo_pid" || fail "Prizmo did not end cleanly after the rules' road"
prizmo_pid=

# Killed with unsaved work: the next start offers the recovery file back ("Visszaállítás",
# the default), and the stylesheet saves to the bytes composed before the kill.
start_prizmo() {
    LANG=hu_HU.UTF-8 LC_ALL= LC_MESSAGES= "$prizmo" >>"$out/prizmo.log" 2>&1 &
    prizmo_pid=$!
    known=
    main=$(appears_within 60) || fail "Prizmo shows no window ($1)"
    wait_until pixel_is 300 $((menu_height + 300)) "$green"
}
answer_the_question() {
    local known=$main question
    question=$(new_window)
    xdotool key "$1"
    wait_until gone "$question"
}
kept() { grep -qa "$1" "$XDG_STATE_HOME"/prizmo/*.recovery; }
start_prizmo "before the kill"
choose "$css_x" 1 2
wait_until pixel_is "${edit1[@]}" "$white"
type_into "${edit1[@]}" 321
click "${kesz[@]}"
wait_until kept 'width:321px'                        # within 2 s of the change
kill -KILL "$prizmo_pid"
wait "$prizmo_pid" 2>/dev/null || true
start_prizmo "after the kill"
answer_the_question Return
wait_until title_matches "$main" '^Prizmo\*$'
choose "$fajl_x" 2 3
wait_until pixel_is_not "${save_button_top[@]}" "$green"
save_as "$work/recovered.css"
div_with_width 0 321 >"$work/expected-recovered.css"
cmp "$work/expected-recovered.css" "$work/recovered.css" ||
    fail "the recovered stylesheet differs: $(od -c "$work/recovered.css" | head -20)"
# SIGINT (Ctrl+C in its terminal) and SIGTERM (a logout, `kill`) with unsaved work: Prizmo
# ends at once, and the next start offers what it held. Neither a logout at that question
# nor Escape drops it.
choose "$css_x" 1 2
wait_until pixel_is "${edit1[@]}" "$white"
click "${kesz[@]}"
wait_until title_matches "$main" '^Prizmo\*$'
kill -INT "$prizmo_pid"
wait "$prizmo_pid" || fail "Prizmo did not end cleanly on SIGINT"
prizmo_pid=
kept '#div0' || fail "SIGINT left no recovery file"
! ls "$XDG_STATE_HOME"/prizmo/*.lock 2>/dev/null || fail "SIGINT left its lock behind"
start_prizmo "after SIGTERM"
known=$main
question=$(new_window)
kill -TERM "$prizmo_pid"
wait "$prizmo_pid" || fail "Prizmo did not end cleanly on SIGTERM at the recovery question"
kept '#div0' || fail "SIGTERM at the recovery question lost the recovery file"
# A file named on the command line opens only once the question is answered.
LANG=hu_HU.UTF-8 LC_ALL= LC_MESSAGES= "$prizmo" "$saved" >>"$out/prizmo.log" 2>&1 &
prizmo_pid=$!
known=
main=$(appears_within 60) || fail "Prizmo shows no window (a file and a recovery file)"
known=$main
question=$(new_window)
title_matches "$main" '^Prizmo$' || fail "the file opened behind the recovery question: $(xdotool getwindowname "$main")"
xdotool key Escape
wait_until gone "$question"
wait_until title_matches "$main" '^saved stylesheet\.css .* Prizmo$'
kept '#div0' || fail "Escape at the recovery question lost the recovery file"
choose "$fajl_x" 3 3
wait "$prizmo_pid" || fail "Prizmo did not end cleanly after the recovery road"
prizmo_pid=
rm -f "$XDG_STATE_HOME"/prizmo/*.recovery   # the later starts are asked nothing

# A name that is no UTF-8 (from an old archive) and holds Qt's own mark: opened from the
# command line's bytes, shown with the bad byte replaced and the mark as it is.
odd_name="$work/caf"$'\xE9'" [*].css"
cp "$saved" "$odd_name"
LANG=hu_HU.UTF-8 LC_ALL= LC_MESSAGES= "$prizmo" "$odd_name" >>"$out/prizmo.log" 2>&1 &
prizmo_pid=$!
known=
main=$(appears_within 60) || fail "Prizmo started with a name that is no UTF-8 shows no window"
wait_until title_matches "$main" '^caf.+ \[\*\]\.css .* Prizmo$'
# Saved back under the name the dialog offers (the bad byte shown replaced): kept, it means
# the file's own bytes, and the replace question comes as for any existing file (Alt+I: Igen).
add_div_and_open_save_panel
known=$(windows)
click "${save_button_top[@]}"
dialog=$(new_window)
xdotool key Return
wait_until gone "$dialog"
box=$(new_window)
xdotool key alt+i
wait_until gone "$box"
wait_until cmp -s "$work/expected-reopened.css" "$odd_name"
! compgen -G "$work/caf"$'\xEF\xBF\xBD'"*" >/dev/null || fail "the save went to the name as shown, not to its bytes"
choose "$fajl_x" 3 3                               # nothing unsaved: Kilépés ends it
wait "$prizmo_pid" || fail "Prizmo did not end cleanly after opening $odd_name"
prizmo_pid=

# The web page written above opens with its nesting: "Weboldal" writes it again byte for
# byte, and div 1, opened from the rules and copied, reaches another program as its CSS.
clipboard_is() { xclip -o -selection clipboard 2>/dev/null | cmp -s - "$1"; }
LANG=hu_HU.UTF-8 LC_ALL= LC_MESSAGES= "$prizmo" "$work/oldal.html" >>"$out/prizmo.log" 2>&1 &
prizmo_pid=$!
known=
main=$(appears_within 60) || fail "Prizmo started with a web page shows no window"
wait_until title_matches "$main" '^oldal\.html .* Prizmo$'
choose "$fajl_x" 2 3
wait_until pixel_is_not "${save_button_top[@]}" "$green"
mkdir -p "$work/again"
write_web_page "$work/again/oldal"
cmp "$work/oldal.html" "$work/again/oldal.html" ||
    fail "the web page opened and written again differs: $(diff "$work/oldal.html" "$work/again/oldal.html")"
click 300 $((menu_height + 300))                  # the window has the keys again
xdotool key ctrl+e
xdotool type --delay 10 div1
xdotool key Return
wait_until pixel_is "${edit1[@]}" "$white"          # div 1's edit is open
choose "$szerkesztes_x" 5 7                        # Szerkesztés → Másolás
sed -n '/^#div1 {$/,/^}$/p' "$work/oldal.html" >"$work/div1.css"
wait_until clipboard_is "$work/div1.css"
shot 13-web-page-opened
choose "$fajl_x" 3 3
wait "$prizmo_pid" || fail "Prizmo did not end cleanly after the web page's road"
prizmo_pid=

# The README's walk by keys alone: one click gives the window the keyboard (no window manager
# runs here), then every step is a key, every field reached by Tab or its caption's Alt letter.
LANG=hu_HU.UTF-8 LC_ALL= LC_MESSAGES= "$prizmo" >>"$out/prizmo.log" 2>&1 &
prizmo_pid=$!
known=
main=$(appears_within 60) || fail "Prizmo shows no window for the keyboard's walk"
wait_until pixel_is 300 $((menu_height + 300)) "$green"
click 300 $((menu_height + 300))
keys() { for key in "$@"; do xdotool key "$key"; done; }
retype() { xdotool key ctrl+a; xdotool type --delay 10 "$1"; }
keys alt+c Down Return                             # CSS → Body beállítása: typed into Betüméret
wait_until pixel_is "${edit3[@]}" "$white"
retype 16
keys Return                                        # KÉSZ
wait_until pixel_is_not "${edit3[@]}" "$white"
keys alt+c Return                                  # CSS → Új Div: typed into Szélesség
wait_until pixel_is "${edit1[@]}" "$white"
retype 500; keys Tab; retype 400
keys Tab Down Down                                 # Igazítás: balra
keys Tab Tab space                                 # past Pozíció to KÉSZ
wait_until pixel_is_not "${edit1[@]}" "$white"
keys alt+c Return                                  # div 1
wait_until pixel_is "${edit1[@]}" "$white"
retype 200; keys Tab; retype 100
keys Tab Down Down Down Tab Down                   # jobbra, abszolult
keys alt+b; retype 12; keys Return                 # Betüméret, then KÉSZ
wait_until pixel_is_not "${edit1[@]}" "$white"
shot 14-keyboard-div1
keys ctrl+s                                        # Fájl → Mentés: the save panel
wait_until pixel_is_not "${save_button_top[@]}" "$green"
keys alt+d; retype div1; keys Tab; retype div0      # div 1 in div 0
keys Tab space                                     # Ok
known=$(windows)
keys Tab space                                     # Mentés
dialog=$(new_window)
retype "$work/keyboard.css"
keys Return
wait_until gone "$dialog"
wait_until test -f "$work/keyboard.css"
xdotool windowfocus "$main"                        # a window manager's part: no key does it
printf '%s' $'\n\rbody\n\r{\n\rbackground:;\n\rfont-size:16;\n\rfont-color:;\n\r}' \
    $'\n\r#div0\n\r{\n\rwidth:500px;\n\rheight:400px;\n\rbackground:;\n\rfont-size:14px;\n\rfont-color:;' \
    $'\n\rfloat:left;\n\rposition:relative;\n\r}' \
    $'\n\r#div1\n\r{\n\rwidth:200px;\n\rheight:100px;\n\rbackground:;\n\rfont-size:12px;\n\rfont-color:;' \
    $'\n\rfloat:right;\n\rposition:absolute;\n\r}' >"$work/expected-keyboard.css"
cmp "$work/expected-keyboard.css" "$work/keyboard.css" ||
    fail "the stylesheet made by keys alone differs: $(od -c "$work/keyboard.css" | head -20)"
known=$(windows)
keys ctrl+o                                        # Fájl → Megnyitás
dialog=$(new_window)
retype "$work/keyboard.css"
keys Return
wait_until gone "$dialog"
wait_until title_matches "$main" '^keyboard\.css .* Prizmo$'
xdotool windowfocus "$main"
# Div 1, an absolute box (at the top level: the stylesheet keeps no nesting), opened from the
# rules and moved in the preview: its right edge snaps to div 0's with a guide; with Shift
# held it goes where the pointer takes it, 100 px to the right of where the browser put it,
# inside the body's 8 px margin. Its "Balra" takes 108, "KÉSZ" stores it, and the save
# writes it; its top, which the drag left alone, stays unset.
keys ctrl+e
xdotool type --delay 10 div1
keys Return
wait_until pixel_is "${edit1[@]}" "$white"
known=$(windows)
choose "$nezet_x" 2 5
preview=$(appears_within "$patience") || fail "the preview shows no window for the move"
eval "$(xdotool getwindowgeometry --shell "$preview")"
div1_left=$((X + 8)) div1_middle=$((Y + 75))
wait_until pixel_is "$div1_left" "$div1_middle" "$highlight"
xdotool mousemove $((div1_left + 92)) "$div1_middle" mousedown 1
for dx in 50 150 250 298; do xdotool mousemove $((div1_left + 92 + dx)) "$div1_middle"; done
wait_until pixel_is $((X + 508)) $((Y + 4)) "$highlight"   # the guide at div 0's right edge
shot 15-move
xdotool keydown shift
for dx in 200 100; do xdotool mousemove $((div1_left + 92 + dx)) "$div1_middle"; done
xdotool mouseup 1 keyup shift
wait_until pixel_is $((div1_left + 100)) "$div1_middle" "$highlight"
click "${kesz[@]}"
wait_until pixel_is_not "${edit1[@]}" "$white"
choose "$fajl_x" 2 3
wait_until pixel_is_not "${save_button_top[@]}" "$green"
save_as "$work/moved.css"
sed 's/position:absolute;/&\n\rleft:108px;/' "$work/expected-keyboard.css" >"$work/expected-moved.css"
cmp "$work/expected-moved.css" "$work/moved.css" ||
    fail "the stylesheet with div 1 moved in the preview differs: $(od -c "$work/moved.css" | head -20)"
choose "$nezet_x" 2 5
wait_until gone "$preview"
xdotool windowfocus "$main"
keys ctrl+q
wait "$prizmo_pid" || fail "Prizmo did not end cleanly after the keyboard's walk"
prizmo_pid=

# What the command line answers without a window.
"$prizmo" --version | grep -qx 'Prizmo 0\.[0-9.]*' || fail "--version: $("$prizmo" --version)"
"$prizmo" --help | grep -q -- '--version' || fail "--help does not list the options"
"$prizmo" --help-all | grep -q -- '-platform' || fail "--help-all does not list Qt's options"
status=0
"$prizmo" a.css b.css 2>"$work/two-names.txt" || status=$?
((status == 2)) && [[ -s $work/two-names.txt ]] || fail "two file names: exit $status, '$(cat "$work/two-names.txt")'"
