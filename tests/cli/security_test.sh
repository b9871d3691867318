#!/usr/bin/env bash
# What the program asks of the system, watched with strace: a search opens every file
# read-only and creates, renames, removes and truncates nothing, starts no other program and
# opens no socket; a save opens only the file it was given for writing.
# Usage: security_test.sh PATH-TO-sifter32-cli PATH-TO-save_trace_test
# Exits 77 (skipped) when strace is missing or cannot trace here.
set -u

if [ $# -ne 2 ] || [ ! -x "$1" ] || [ ! -x "$2" ]; then
    echo "usage: $0 PATH-TO-sifter32-cli PATH-TO-save_trace_test" >&2
    exit 2
fi
CLI=$(cd "$(dirname "$1")" && pwd -P)/$(basename "$1")
DRIVER=$(cd "$(dirname "$2")" && pwd -P)/$(basename "$2")
if ! command -v strace >/dev/null || ! strace -f -qq -o /dev/null true 2>/dev/null; then
    echo "strace is missing or cannot trace here: skipped" >&2
    exit 77
fi
WORK=$(mktemp -d "${TMPDIR:-/tmp}/sifter32-security.XXXXXX")
WORK=$(cd "$WORK" && pwd -P)
trap 'rm -rf "$WORK"' EXIT
export LC_ALL=C
# The leak checker of a sanitizer build stops the program with ptrace, which strace holds.
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"

failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

# Every call that could change the file system, start a program or reach the network; a "?"
# lets strace pass over a call that this architecture does not have.
CALLS='?open,openat,?creat,?rename,renameat,?renameat2,?unlink,unlinkat,?mkdir,mkdirat,truncate,ftruncate'
CALLS+=',?link,linkat,?symlink,symlinkat,?mknod,mknodat,execve,execveat,socket,connect'
CHANGES='creat|rename|renameat|renameat2|unlink|unlinkat|mkdir|mkdirat|truncate|ftruncate|link|linkat|symlink|symlinkat|mknod|mknodat'
WRITE_FLAGS='O_WRONLY|O_RDWR|O_CREAT|O_TRUNC'

traced() {  # TRACE-FILE COMMAND...: runs the command under strace, following every thread
    local trace=$1
    shift
    timeout 120 strace -f -qq -o "$trace" -e trace="$CALLS" "$@"
}

calls() {  # TRACE-FILE NAMES-REGEX: the trace lines of those calls (never the resumed halves)
    grep -E "^[0-9]+ +($2)\(" "$1"
}

# The opens of a trace that ask for more than reading, as "path flags" lines.
write_opens() {  # TRACE-FILE
    calls "$1" 'open|openat' | grep -E "$WRITE_FLAGS" |
        sed -E 's/^[0-9]+ +openat?\((AT_FDCWD, )?"([^"]*)", ([A-Z_|]*).*/\2 \3/'
}

# --- a whole search from the command line
dir="$WORK/search"
mkdir -p "$dir/sub.pas"
printf 'begin hit\r\n' >"$dir/a.pas"
printf 'end\r\nhit\r\n' >"$dir/b.pas"
printf 'nothing\r\n' >"$dir/c.pas"
printf 'hit\r\n' >"$dir/notes.txt"
ln -s a.pas "$dir/link.pas"
mkfifo "$dir/x.pas"
snapshot() { (cd "$dir" && find . -printf '%p %y %s %m %T@\n' | sort); }
before=$(snapshot)
(cd "$dir" && traced "$WORK/cli.trace" "$CLI" . hit >"$WORK/out" 2>"$WORK/err")
status=$?
[ "$status" -eq 0 ] || fail "the traced search ended with $status: $(cat "$WORK/err")"
grep -q 'Found 3 instances of "hit" in 4 files' "$WORK/err" || fail "the traced search: $(cat "$WORK/err")"
[ "$(snapshot)" = "$before" ] || fail "the search changed its directory"

[ "$(calls "$WORK/cli.trace" 'execve|execveat' | wc -l)" -eq 1 ] || fail "the search started another program"
head -n1 "$WORK/cli.trace" | grep -qF "execve(\"$CLI\"" || fail "the trace does not start with the program"
calls "$WORK/cli.trace" "$CHANGES" | sed 's/^/changes: /' | grep . >&2 && fail "the search changed the file system"
calls "$WORK/cli.trace" 'socket|connect' | sed 's/^/network: /' | grep . >&2 && fail "the search opened a socket"
write_opens "$WORK/cli.trace" | sed 's/^/opened for writing: /' | grep . >&2 && fail "the search opened a file for writing"
calls "$WORK/cli.trace" 'open|openat' | grep -v 'O_RDONLY' | sed 's/^/not read-only: /' | grep . >&2 &&
    fail "the search opened a file without O_RDONLY"
for name in a.pas b.pas c.pas link.pas; do
    calls "$WORK/cli.trace" openat | grep -qF "\"$name\", O_RDONLY" || fail "$name was not opened read-only"
done
calls "$WORK/cli.trace" 'open|openat' | grep -E '"(x\.pas|sub\.pas|notes\.txt)"' | sed 's/^/opened: /' | grep . >&2 &&
    fail "the search opened a file outside its set"

# --- saves through the engine and through the window: the only file opened for writing is
# the named one, and between the marks around each save nothing else changes
mkdir -p "$WORK/tmp" "$WORK/run"
chmod 700 "$WORK/run"
TMPDIR="$WORK/tmp" XDG_RUNTIME_DIR="$WORK/run" QT_QPA_PLATFORM=offscreen \
    traced "$WORK/save.trace" "$DRIVER" >"$WORK/out" 2>&1
status=$?
[ "$status" -eq 0 ] || { fail "the traced saves ended with $status"; tail -20 "$WORK/out" >&2; }

[ "$(calls "$WORK/save.trace" 'execve|execveat' | wc -l)" -eq 1 ] || fail "the saves started another program"
calls "$WORK/save.trace" socket | grep -v 'socket(AF_UNIX,' | sed 's/^/network: /' | grep . >&2 &&
    fail "the saves opened a network socket"
write_opens "$WORK/save.trace" | grep -qvE ' O_WRONLY\|O_CREAT(\|O_NOCTTY)?\|O_TRUNC' &&
    fail "a file was opened for writing other than write-only, created and emptied"
# Only the lines between a begin mark and its end mark: the saves themselves.
awk '/\.trace-mark-save-begins"/ { inside = 1; next } /\.trace-mark-save-ends"/ { inside = 0; saves++; next }
     inside { print } END { if (saves != 2) print "marks: " saves " saves" > "/dev/stderr" }' \
    "$WORK/save.trace" >"$WORK/saves.trace"
written=$(write_opens "$WORK/saves.trace" | cut -d' ' -f1 | sed -E "s|^$WORK/tmp/sifter32-test-[^/]+/||")
[ "$written" = $'engine.txt\nwindow.txt' ] || fail "files opened for writing by the saves: $written"
# Outside the saves only the test itself writes: the two files it searches.
written=$(awk '/\.trace-mark-save-begins"/ { inside = 1 } !inside { print } /\.trace-mark-save-ends"/ { inside = 0 }' \
    "$WORK/save.trace" >"$WORK/others.trace"; write_opens "$WORK/others.trace" | cut -d' ' -f1 | sort -u)
[ "$written" = $'a.pas\nb.pas' ] || fail "files opened for writing around the saves: $written"
calls "$WORK/saves.trace" "$CHANGES|socket|connect|execve|execveat" | sed 's/^/during a save: /' | grep . >&2 &&
    fail "a save did more than write its file"

if [ "$failures" -ne 0 ]; then
    echo "$failures check(s) failed" >&2
    exit 1
fi
echo "all checks passed"
