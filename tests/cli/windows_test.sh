#!/usr/bin/env bash
# sifter32-cli.exe under Wine against the Linux program, on the directories cli_test.sh makes:
# the same rows byte for byte, except the "Search Path" row, which names the directory in its
# Windows form (Wine shows the Linux root as drive Z:); the same exit codes; the same messages.
# Usage: windows_test.sh PATH-TO-sifter32-cli PATH-TO-sifter32-cli.exe
# The environment gives WINE (the wine program) and the WINEPREFIX to run in.
set -u
source "$(dirname "$0")/common.sh"
EXE=$(cd "$(dirname "$2")" && pwd -P)/$(basename "$2")
WINE=${WINE:-wine}

# compare WHAT DIRECTORY ARGS...: both programs in DIRECTORY with ARGS; an argument that is an
# absolute Linux path goes to the Windows program in its Windows form. With grep_paths set, the
# output is a grep form, whose paths the Windows program writes in its own form.
compare() {
    local what=$1 cwd=$2
    shift 2
    local windows_args=() arg
    for arg in "$@"; do
        [[ $arg == /* ]] && arg=$(windows_path "$arg")
        windows_args+=("$arg")
    done
    (cd "$cwd" && timeout 120 "$CLI" "$@" >"$WORK/linux.out" 2>"$WORK/linux.err")
    linux_status=$?
    (cd "$cwd" && timeout 120 "$WINE" "$EXE" "${windows_args[@]}" >"$WORK/out" 2>"$WORK/err")
    status=$?
    [ "$status" -ne 124 ] || fail "$what: the Windows program did not end"
    expect_status "$linux_status" "$what"
    if [ -n "${grep_paths:-}" ]; then
        windows_grep "$WORK/linux.out" >"$WORK/expected"
    else
        windows_rows "$WORK/linux.out" >"$WORK/expected"
    fi
    if ! cmp -s "$WORK/expected" "$WORK/out"; then
        fail "$what: rows differ"
        diff <(od -c "$WORK/expected") <(od -c "$WORK/out") | head -10 >&2
    fi
    # Messages go to a text stream, which ends lines with CR LF on Windows.
    tr -d '\r' <"$WORK/err" >"$WORK/err.lf" && mv "$WORK/err.lf" "$WORK/err"
    [ -n "${expected_err+x}" ] || expected_err=$(cat "$WORK/linux.err")
    if [ -n "$expected_err" ]; then
        expect_stderr "$expected_err" "$what"
    else
        [ ! -s "$WORK/err" ] || fail "$what: stderr is '$(cat "$WORK/err")', expected nothing"
    fi
    unset expected_err
    runs=$((runs + 1))
}
runs=0

make_file() {  # PATH PRINTF-FORMAT
    mkdir -p "$(dirname "$1")"
    printf "$2" >"$1"
}

two="$WORK/two"
make_file "$two/a.pas" 'nothing\r\n'
make_file "$two/b.pas" 'x\r\nfind me\r\nFIND ME TOO\r\n'
make_file "$two/c.sc" 'find\r\n'
compare "matches" "$WORK" "$two" find
cp "$WORK/expected" "$WORK/two.expected"
compare "relative directory" "$WORK" two/ find
compare "dot directory" "$two" . find
compare "case-sensitive" "$WORK" --case-sensitive "$two" find
compare "no match" "$WORK" "$two" absent

# Typed text in UTF-8 and Windows-1252 files. Wine hands the program its parameters in the
# system's code page, so a UTF-8 word typed in a UTF-8 terminal arrives as Windows-1252 bytes:
# the rows are the Linux program's for those bytes.
legacy="$WORK/legacy"
make_file "$legacy/u.pas" 'un caf\303\251 noir\r\nCAF\303\211\r\n'
make_file "$legacy/w.pas" 'le caf\351\r\nCAF\311\r\nCaF\351 x\r\n'
compare "ASCII text in legacy files" "$WORK" "$legacy" caf
"$CLI" "$legacy" $'caf\xe9' >"$WORK/linux.out" 2>/dev/null
windows_rows "$WORK/linux.out" >"$WORK/expected"
(cd "$WORK" && LC_ALL=C.UTF-8 timeout 120 "$WINE" "$EXE" "$(windows_path "$legacy")" $'caf\xc3\xa9' \
    >"$WORK/out" 2>"$WORK/err")
status=$?
runs=$((runs + 1))
expect_status 0 "UTF-8 word typed"
cmp -s "$WORK/expected" "$WORK/out" || fail "UTF-8 word typed: rows differ from the Windows-1252 text's"

# Files written on Linux, and one whose first line end comes after the first 64 KiB read.
lf="$WORK/lf"
make_file "$lf/a.pas" 'begin\nx := 1;\r\n  begin\rend;\nBEGIN'
make_file "$lf/b.pas" 'begin\r\nx\nbegin\r\n'
{ head -c 70000 /dev/zero | tr '\0' x; printf '\nbegin\r\nend\rbegin\n'; } >"$lf/c.pas"
compare "LF files" "$WORK" "$lf" begin

procs="$WORK/procs"
make_file "$procs/p.sc" 'proc Foo(x)\r\n  Foo(1)\r\nendproc\r\nprocedure Foo(y)\r\n'
compare "procs" "$WORK" --scripts --procs "$procs" foo
expected_err=" No .pas files in $(windows_path "$procs")."
compare "empty set" "$WORK" "$procs" foo

# The grep forms: the paths as given, in the system's form, LF line ends, nothing else.
grep_paths=1
compare "grep form" "$WORK" --format=grep "$two" find
compare "grep form, procedure rows" "$WORK" --scripts --procs --format=grep "$procs" foo
compare "grep form, LF files" "$WORK" --format=grep "$lf" begin
compare "count" "$WORK" --count "$two" find
compare "files with matches" "$WORK" -l "$two" find
compare "grep form, empty set" "$WORK" --format=grep "$procs" foo
# Paths as grep writes them: relative, with separators at the end, the current directory, an
# absolute one with its separator, a file, none at all.
compare "path, relative" "$WORK" --format=grep two find
compare "path, trailing separators" "$WORK" -c two// find
compare "path, dot" "$two" -l . find
compare "path, absolute with separator" "$WORK" --format=grep "$two/" find
compare "path, a file" "$WORK" --format=grep "$two/b.pas" find
compare "path, none" "$WORK" -h --format=grep two find
compare "context lines" "$WORK" --format=grep -C 1 lf begin
unset grep_paths
compare "a file, rows" "$WORK" two/b.pas find

# A project: the same walk, hidden directories left out as Wine marks names that begin with a
# full stop hidden, links to directories (reparse points to the Windows program) not followed,
# so the link back up ends nothing; the headings name the files below with Windows' separator.
proj="$WORK/proj"
make_file "$proj/main.pas" 'Result := 1;\r\nResults\r\n'
make_file "$proj/rtl/b.inc" '{Result}\n'
make_file "$proj/rtl/unix/sysutils.pp" 'ResultCode\nx:=Result\n'
make_file "$proj/.git/x.pas" 'Result\r\n'
ln -s .. "$proj/rtl/up"
ln -s rtl "$proj/link"
compare "project" "$WORK" -r -w --case-sensitive --mask '*.pas;*.pp;*.inc' "$proj" Result
compare "project, relative" "$proj" --recursive . result
grep_paths=1 compare "project, left out" "$WORK" -r -l --exclude-dir=UNIX --mask '*.pas;*.pp;*.inc' proj result

# A directory with the system attribute is left out like a hidden one; Linux has no such mark,
# so the Windows program is checked against itself, before and after the attribute is set.
make_file "$proj/sys/s.pas" 'Result\r\n'
files_found() {
    (cd "$proj" && timeout 120 "$WINE" "$EXE" -r -l . Result 2>&1 | tr -d '\r')
}
[ "$(files_found)" = $'.\\main.pas\n.\\sys\\s.pas' ] || fail "system directory: not searched before the attribute"
(cd "$proj" && "$WINE" cmd /c "attrib +s sys") || fail "system directory: attrib failed"
[ "$(files_found)" = '.\main.pas' ] || fail "system directory: searched: $(files_found)"
rm -r "$proj/sys"

make_file "$WORK/dash/d.pas" 'a -x b\r\n'
compare "dash text" "$WORK" -- "$WORK/dash" -x

for args in "--procs|$two|x" "--scripts|--pascal|$two|x" "$two" "$two|a|b" "--bogus|$two|x"; do
    IFS='|' read -r -a argv <<<"$args"
    compare "usage error [$args]" "$WORK" "${argv[@]}"
done
expected_err="sifter32-cli: $(windows_path "$WORK/missing"): File not found."
compare "missing directory" "$WORK" "$WORK/missing" x
compare "a file, absolute" "$WORK" "$two/b.pas" find
compare "--help" "$WORK" --help
compare "--version" "$WORK" --version

# Blanks in a name and in a directory: the command line Wine hands over quotes them, and the
# program splits it itself.
blanks="$WORK/dir with blanks"
make_file "$blanks/my file.pas" 'begin\r\n'
make_file "$blanks/other.pas" 'x\r\nBegin end\r\n'
compare "blanks" "$WORK" --pascal "$blanks" begin

# What only the Windows program takes: its own separator, and a drive's letter in either case.
run_windows() {
    (cd "$WORK" && timeout 120 "$WINE" "$EXE" "$@" >"$WORK/out" 2>"$WORK/err")
    status=$?
    runs=$((runs + 1))
}
for directory in 'two\' "$(windows_path "$two")\\" "z:${two//\//\\}"; do
    run_windows "$directory" find
    expect_status 0 "directory $directory"
    [[ $directory == z* ]] && sed -i '2s/Z:/z:/' "$WORK/two.expected"
    cmp -s "$WORK/two.expected" "$WORK/out" || fail "directory $directory: rows differ"
done

# An empty parameter is no parameter on Windows: the text is missing.
run_windows "$(windows_path "$two")" ""
expect_status 2 "empty text"
grep -q 'expected DIRECTORY and TEXT' "$WORK/err" || fail "empty text: $(cat "$WORK/err")"

# A name beyond ASCII is shown in the system's code page (Windows-1252 here).
make_file "$WORK/accent/caf"$'\xc3\xa9'".pas" 'hit\r\n'
LC_ALL=C.UTF-8 run_windows "$(windows_path "$WORK/accent")" hit
expect_status 0 "accented name"
grep -aq $'^ caf\xe9\\.pas - 1 of 1\r$' "$WORK/out" || fail "accented name: $(od -c "$WORK/out" | head)"

# Output that cannot be written.
big="$WORK/big"
mkdir -p "$big"
awk 'BEGIN { for (i = 0; i < 40000; i++) printf "match line %d of a file large enough to fill a pipe\r\n", i }' >"$big/big.pas"
# Windows has no signal for a closed pipe: the program ends at once, silently, with status 2.
for form in rows grep; do
    timeout 120 "$WINE" "$EXE" --format=$form "$(windows_path "$big")" match 2>"$WORK/err" |
        head -c1 >/dev/null
    status=${PIPESTATUS[0]}
    expect_status 2 "closed pipe, $form"
    [ ! -s "$WORK/err" ] || fail "closed pipe, $form: stderr is '$(cat "$WORK/err")'"
    runs=$((runs + 1))
done

# A file that cannot be opened: the same rows and status, the message naming it in its
# Windows form. (Root reads every file, so only another user can try it.)
if [ "$(id -u)" -ne 0 ]; then
    make_file "$WORK/locked/a.pas" 'hit\r\n'
    make_file "$WORK/locked/b.pas" 'hit\r\n'
    chmod 000 "$WORK/locked/a.pas"
    expected_err="sifter32-cli: $(windows_path "$WORK/locked/a.pas"): File access denied."
    expected_err+=$'\n'' Sifter32 Found 1 instances of "hit" in 2 files'
    compare "file without permission" "$WORK" "$WORK/locked" hit
    expected_err="sifter32-cli: $(windows_path "$WORK/locked/a.pas"): File access denied."
    grep_paths=1 compare "file without permission, grep form" "$WORK" --format=grep "$WORK/locked" hit
    chmod 600 "$WORK/locked/a.pas"
fi

echo "$runs runs of the Windows program"
finish
