#!/usr/bin/env bash
# The window program as a Windows user gets it: the zip unpacked into an empty directory, and
# sifter32.exe started from there under Wine on a virtual X server with Qt's real "windows"
# platform: `sifter32.exe "Z:\...\dir with blanks" begin /A`. Checked: the title, the rows that
# Alt+V saves (the Linux program's, but for the "Search Path" row in the Windows form), the
# directory chooser's title, that the program ends on Escape, that every DLL it loads beyond
# Wine's own comes from the unpacked folder and every DLL there is loaded, and that nothing
# but the saved file and the program's own settings file in %APPDATA% is written, in the registry
# neither. Screenshots of the window with its rows and of the chooser
# go to SHOTS.
#   end_to_end.sh PATH-TO-LINUX-sifter32-cli PACKAGE.zip SHOTS-DIRECTORY
# The environment gives WINE, WINESERVER and the WINEPREFIX to run in; no server may be running.
set -u
source "$(dirname "$0")/../cli/common.sh"
ZIP=$(realpath "$2")
SHOTS=$(realpath -m "$3")
WINE=${WINE:-wine}
WINESERVER=${WINESERVER:-wineserver}
mkdir -p "$SHOTS"

xvfb_pid=
cleanup() {
    "$WINESERVER" --kill 2>/dev/null
    [[ -n $xvfb_pid ]] && kill "$xvfb_pid" 2>/dev/null
    wait 2>/dev/null
    exec 3>&- 2>/dev/null
    rm -rf "$WORK"
}
trap cleanup EXIT

# The zip alone, in an empty directory: nothing can be found from the build or the Qt cache.
mkdir "$WORK/unpacked"
unzip -q "$ZIP" -d "$WORK/unpacked" || { fail "cannot unpack $ZIP"; finish; }
program_dir=$(echo "$WORK"/unpacked/*/)
program_dir=${program_dir%/}
[[ -f $program_dir/sifter32.exe ]] || { fail "no sifter32.exe in $ZIP"; finish; }

# A window program: Windows opens no console for it.
x86_64-w64-mingw32-objdump -p "$program_dir/sifter32.exe" | grep -q '^Subsystem.*(Windows GUI)' ||
    fail "sifter32.exe is not a Windows GUI program"

dir="$WORK/dir with blanks"
mkdir -p "$dir" "$WORK/out"
printf 'program one;\r\nbegin\r\n  writeln(1)\r\nend.\r\n' >"$dir/one.pas"
printf 'unit two;\r\n{ BEGIN here }\r\nbegin end.\r\nbeginning\r\n' >"$dir/two.pas"
printf 'begin\r\n' >"$dir/script.sc"
"$CLI" --pascal "$dir" begin >"$WORK/linux.out" 2>/dev/null
windows_rows "$WORK/linux.out" >"$WORK/expected"

for n in $(seq 140 240); do
    [[ -e /tmp/.X11-unix/X$n || -e /tmp/.X$n-lock ]] && continue
    display=:$n
    break
done
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
export DISPLAY=$display
for _ in $(seq 50); do xdotool getmouselocation >/dev/null 2>&1 && break; sleep 0.1; done

# wait_window PATTERN: the id of the first window whose name matches, within 60 seconds.
wait_window() {
    local id
    for _ in $(seq 600); do
        id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1)
        [[ -n $id ]] && { echo "$id"; return 0; }
        sleep 0.1
    done
    return 1
}
key() {  # WINDOW KEYS...
    local window=$1
    shift
    xdotool windowfocus --sync "$window" 2>/dev/null
    xdotool key --delay 50 "$@"
}
snap() { import -window root "$SHOTS/$1" || fail "no screenshot $1"; }

# Settings that an older build or a test may have left, so that the check below sees this
# run's alone.
"$WINE" reg delete 'HKCU\Software\QtProject' /f >/dev/null 2>&1

windows_dir=$(windows_path "$dir")
(cd "$program_dir" && WINEDEBUG=-all,+loaddll exec "$WINE" sifter32.exe "$windows_dir" begin /A \
    >"$WORK/stdout" 2>"$WORK/loaded") &
program=$!

title="Sifter32 - Search Path: $windows_dir"
if ! main=$(wait_window '^Sifter32 - Search Path'); then
    fail "no main window"
    finish
fi
sleep 3  # the search at start, its progress window and the 200 ms it stays
[[ $(xdotool getwindowname "$main") == "$title" ]] ||
    fail "title is '$(xdotool getwindowname "$main")', expected '$title'"
snap window.png

key "$main" alt+v
if save=$(wait_window '^Save As$'); then
    key "$save" ctrl+a
    xdotool type --delay 20 "$(windows_path "$WORK/out/saved.txt")"
    key "$save" Return
    for _ in $(seq 100); do
        [[ -f $WORK/out/saved.txt ]] && ! xdotool search --onlyvisible --name '^Save As$' >/dev/null &&
            break
        sleep 0.1
    done
    sleep 1
    if ! cmp -s "$WORK/expected" "$WORK/out/saved.txt"; then
        fail "the saved rows differ from the Linux program's"
        diff <(od -c "$WORK/expected") <(od -c "$WORK/out/saved.txt" 2>&1) | head -10 >&2
    fi
else
    fail "Alt+V opened no save dialog"
fi

key "$main" alt+d
if chooser=$(wait_window '^Working Dir: '); then
    sleep 1
    [[ $(xdotool getwindowname "$chooser") == "Working Dir: $windows_dir" ]] ||
        fail "chooser title is '$(xdotool getwindowname "$chooser")'"
    snap chooser.png
    key "$chooser" Escape
else
    fail "Alt+D opened no directory chooser"
fi

key "$main" Escape
for _ in $(seq 100); do kill -0 "$program" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$program" 2>/dev/null; then
    fail "the program did not end on Escape"
    kill "$program" 2>/dev/null
fi
wait "$program" 2>/dev/null

# What the program loaded that is not Wine's own (Wine reports those as "builtin").
sed -n 's/.*Loaded L"\([^"]*\.dll\)".*: native$/\1/p' "$WORK/loaded" | sed 's|\\\\|/|g; s|^[Zz]:||' |
    sort -u >"$WORK/native"
(cd "$program_dir" && find . -iname '*.dll' | sed "s|^\.|$program_dir|" | sort -u) >"$WORK/shipped"
while read -r dll; do
    fail "loaded from outside the unpacked folder: $dll"
done < <(grep -v "^$program_dir/" "$WORK/native")
while read -r dll; do
    fail "shipped but never loaded: ${dll#"$program_dir"/}"
done < <(comm -13 "$WORK/native" "$WORK/shipped")
[[ -s $WORK/native ]] || fail "no DLL load was reported"
# Qt's file dialog keeps its history in the user's settings, the registry here; the program
# writes none there (Qt's reading them leaves the empty key HKCU\Software\QtProject\
# OrganizationDefaults), and no file but the one saved and its own settings (below).
kept=$(awk '/^\[/ { qt = tolower($0) ~ /qtproject/ } qt && /^"/' "$WINEPREFIX/user.reg")
[[ -z $kept ]] || fail "Qt settings were written to the registry: $kept"
[[ $(cd "$dir" && ls -A | tr '\n' ' ') == "one.pas script.sc two.pas " ]] ||
    fail "the searched directory holds $(ls -A "$dir" | tr '\n' ' ')"
[[ $(ls -A "$WORK/out") == saved.txt ]] || fail "the save's directory holds $(ls -A "$WORK/out")"
# The search /A ran is kept in the program's one settings file, %APPDATA%\Sifter32\sifter32.ini.
ini=$(find "$WINEPREFIX/drive_c/users" -ipath '*/Sifter32/sifter32.ini' 2>/dev/null)
{ [[ $(wc -l <<<"$ini") == 1 && -n $ini ]] && grep -q '^text=begin' "$ini"; } ||
    fail "no one settings file in %APPDATA%\\Sifter32 holds the search: ${ini:-none}"

echo "screenshots: $SHOTS/window.png $SHOTS/chooser.png"
finish
