#!/usr/bin/env bash
# End-to-end runs of sifter32-cli on generated directories: exact output bytes, messages and
# exit codes. Usage: cli_test.sh PATH-TO-sifter32-cli
set -u
source "$(dirname "$0")/common.sh"

expect_stdout() {  # PRINTF-FORMAT WHAT -- the format's escapes give the exact bytes expected
    printf "$1" >"$WORK/expected"
    if ! cmp -s "$WORK/expected" "$WORK/out"; then
        fail "$2: stdout differs"
        echo "--- expected" >&2; od -c "$WORK/expected" | head -20 >&2
        echo "--- actual" >&2; od -c "$WORK/out" | head -20 >&2
    fi
}

expect_empty_stdout() {  # WHAT
    [ ! -s "$WORK/out" ] || fail "$1: stdout is not empty: $(head -c 200 "$WORK/out")"
}

make_file() {  # PATH PRINTF-FORMAT
    mkdir -p "$(dirname "$1")"
    printf "$2" >"$1"
}

banner='Sifter32 Search Results \r\n'

# --- a small two-file search, the first file without a match
two="$WORK/two"
make_file "$two/a.pas" 'nothing\r\n'
make_file "$two/b.pas" 'x\r\nfind me\r\nFIND ME TOO\r\n'
make_file "$two/c.sc" 'find\r\n'
two_out="$banner"'   Search Path: '"$two"'\r\n   Search String: "find"\r\n'
two_out+=' \r\n a.pas - 1 of 2\r\n \r\n \r\n b.pas - 2 of 2\r\n \r\n[2] find me\r\n[3] FIND ME TOO\r\n'
run "$two" find
expect_status 0 "matches"
expect_stdout "$two_out" "matches"
expect_stderr ' Sifter32 Found 2 instances of "find" in 2 files' "matches"

# --- the same directory given relatively and with a trailing separator
(cd "$WORK" && "$CLI" two/ find >"$WORK/out" 2>"$WORK/err")
status=$?
expect_status 0 "relative directory"
expect_stdout "$two_out" "relative directory"
(cd "$two" && "$CLI" . find >"$WORK/out" 2>"$WORK/err")
status=$?
expect_status 0 "dot directory"
expect_stdout "$two_out" "dot directory"

# --- letter case
run --case-sensitive "$two" find
expect_status 0 "case-sensitive"
expect_stdout "$banner"'   Search Path: '"$two"'\r\n   Search String: "find"\r\n \r\n a.pas - 1 of 2\r\n \r\n \r\n b.pas - 2 of 2\r\n \r\n[2] find me\r\n' "case-sensitive"
expect_stderr ' Sifter32 Found 1 instances of "find" in 2 files' "case-sensitive"

# --- no match, and an empty text, list the headings and exit 1
run "$two" absent
expect_status 1 "no match"
expect_stdout "$banner"'   Search Path: '"$two"'\r\n   Search String: "absent"\r\n \r\n a.pas - 1 of 2\r\n \r\n \r\n b.pas - 2 of 2\r\n \r\n' "no match"
expect_stderr ' Sifter32 Found 0 instances of "absent" in 2 files' "no match"
run "$two" ""
expect_status 1 "empty text"
expect_stderr ' Sifter32 Found 0 instances of "" in 2 files' "empty text"

# --- files written on Linux: the first line end decides, so an LF file is read line by line
# (its CR before an LF belongs to the line end, any other CR is data) and a CR file as ever
lf="$WORK/lf"
make_file "$lf/a.pas" 'begin\nx := 1;\r\n  begin\rend;\nBEGIN'
make_file "$lf/b.pas" 'begin\r\nx\nbegin\r\n'
run "$lf" begin
expect_status 0 "LF files"
expect_stdout "$banner"'   Search Path: '"$lf"'\r\n   Search String: "begin"\r\n \r\n a.pas - 1 of 2\r\n \r\n[1] begin\r\n[3]   begin\rend;\r\n[4] BEGIN\r\n \r\n b.pas - 2 of 2\r\n \r\n[1] begin\r\n[2] x\nbegin\r\n' "LF files"
expect_stderr ' Sifter32 Found 5 instances of "begin" in 2 files' "LF files"

# --- typed text finds its lines in UTF-8 and in Windows-1252 files; the rows keep their bytes
legacy="$WORK/legacy"
make_file "$legacy/u.pas" 'un caf\303\251 noir\r\nCAF\303\211\r\n'
make_file "$legacy/w.pas" 'le caf\351\r\nCAF\311\r\nCaF\351 x\r\n'
legacy_top="$banner"'   Search Path: '"$legacy"'\r\n   Search String: "'
run "$legacy" $'caf\xc3\xa9'
expect_status 0 "UTF-8 text"
expect_stdout "$legacy_top"'caf\303\251"\r\n \r\n u.pas - 1 of 2\r\n \r\n[1] un caf\303\251 noir\r\n \r\n w.pas - 2 of 2\r\n \r\n[1] le caf\351\r\n[3] CaF\351 x\r\n' "UTF-8 text"
expect_stderr $' Sifter32 Found 3 instances of "caf\xc3\xa9" in 2 files' "UTF-8 text"
run "$legacy" $'caf\xe9'
expect_status 0 "Windows-1252 text"
expect_stdout "$legacy_top"'caf\351"\r\n \r\n u.pas - 1 of 2\r\n \r\n \r\n w.pas - 2 of 2\r\n \r\n[1] le caf\351\r\n[3] CaF\351 x\r\n' "Windows-1252 text"
expect_stderr $' Sifter32 Found 2 instances of "caf\xe9" in 2 files' "Windows-1252 text"
run --case-sensitive "$legacy" $'CAF\xc3\x89'
expect_status 0 "capital E acute"
expect_stdout "$legacy_top"'CAF\303\211"\r\n \r\n u.pas - 1 of 2\r\n \r\n[2] CAF\303\211\r\n \r\n w.pas - 2 of 2\r\n \r\n[2] CAF\311\r\n' "capital E acute"

# --- scripts with procedure rows
procs="$WORK/procs"
make_file "$procs/p.sc" 'proc Foo(x)\r\n  Foo(1)\r\nendproc\r\nprocedure Foo(y)\r\n'
run --scripts --procs "$procs" foo
expect_status 0 "procs"
expect_stdout "$banner"'   Search Path: '"$procs"'\r\n   Search String: "foo"\r\n \r\n p.sc - 1 of 1\r\n \r\n proc Foo(x)\r\n[1] proc Foo(x)\r\n[2]   Foo(1)\r\n[4] procedure Foo(y)\r\n' "procs"
expect_stderr ' Sifter32 Found 3 instances of "foo" in 1 files' "procs"

# --- a TEXT that starts with '-'
make_file "$WORK/dash/d.pas" 'a -x b\r\n'
run -- "$WORK/dash" -x
expect_status 0 "dash text"
expect_stdout "$banner"'   Search Path: '"$WORK/dash"'\r\n   Search String: "-x"\r\n \r\n d.pas - 1 of 1\r\n \r\n[1] a -x b\r\n' "dash text"

# --- a project: subdirectories depth first, hidden ones and links to directories left out, a
# file two masks match searched once, whole words, and the row that names the options
proj="$WORK/proj"
make_file "$proj/main.pas" 'Result := 1;\r\nResults\r\n'
make_file "$proj/rtl/b.inc" '{Result}\n'
make_file "$proj/rtl/unix/sysutils.pp" 'ResultCode\nx:=Result\n'
make_file "$proj/rtl/c.txt" 'Result\r\n'
make_file "$proj/.git/x.pas" 'Result\r\n'
ln -s .. "$proj/rtl/up"
proj_top="$banner"'   Search Path: '"$proj"'\r\n   Search String: "Result"\r\n'
run -r -w --case-sensitive --mask '*.pas;*.pp;*.inc;m*' "$proj" Result
expect_status 0 "project"
expect_stdout "$proj_top"'   Options: Subdirectories, Whole Words, Masks *.pas;*.pp;*.inc;m*\r\n \r\n main.pas - 1 of 3\r\n \r\n[1] Result := 1;\r\n \r\n rtl/b.inc - 2 of 3\r\n \r\n[1] {Result}\r\n \r\n rtl/unix/sysutils.pp - 3 of 3\r\n \r\n[2] x:=Result\r\n' "project"
expect_stderr ' Sifter32 Found 3 instances of "Result" in 3 files' "project"
run --recursive "$proj" result
expect_status 0 "project, defaults but subdirectories"
expect_stdout "$banner"'   Search Path: '"$proj"'\r\n   Search String: "result"\r\n   Options: Subdirectories\r\n \r\n main.pas - 1 of 1\r\n \r\n[1] Result := 1;\r\n[2] Results\r\n' "project, defaults but subdirectories"
# Only the files with a match row: the others' rows go, the headings kept number the whole set
run -r --hide-files-without-match --mask '*.pas;*.pp;*.inc' "$proj" Results
expect_status 0 "project, only files with matches"
expect_stdout "$banner"'   Search Path: '"$proj"'\r\n   Search String: "Results"\r\n   Options: Subdirectories, Masks *.pas;*.pp;*.inc, Only Files with Matches\r\n \r\n main.pas - 1 of 3\r\n \r\n[2] Results\r\n' "project, only files with matches"
expect_stderr ' Sifter32 Found 1 instances of "Results" in 3 files' "project, only files with matches"
run -r --hide-files-without-match --mask '*.pas;*.pp;*.inc' "$proj" x:=
expect_stdout "$banner"'   Search Path: '"$proj"'\r\n   Search String: "x:="\r\n   Options: Subdirectories, Masks *.pas;*.pp;*.inc, Only Files with Matches\r\n \r\n rtl/unix/sysutils.pp - 3 of 3\r\n \r\n[2] x:=Result\r\n' "project, only files with matches, the last"
run --hide-files-without-match "$proj" absent
expect_status 1 "only files with matches, none"
expect_stdout "$banner"'   Search Path: '"$proj"'\r\n   Search String: "absent"\r\n   Options: Only Files with Matches\r\n' "only files with matches, none"
run --mask '*.inc' "$proj" Result
expect_status 1 "project, a mask that finds nothing here"
expect_empty_stdout "project, a mask that finds nothing here"
expect_stderr " No *.inc files in $proj." "project, a mask that finds nothing here"

# --- a subdirectory that cannot be read (here: its path is longer than the system lists) gives
# one row at its place and a line on stderr; the search goes on and ends with status 2
deep="$WORK/deep"
make_file "$deep/a.pas" 'hit\r\n'
make_file "$deep/z/z.pas" 'hit\r\n'
long=$(printf 'd%.0s' $(seq 200))
too_long=m
while ((${#deep} + 1 + ${#too_long} <= 4095)); do too_long+=/$long; done
mkdir -p "$deep/$too_long"
run -r "$deep" hit
expect_status 2 "unreadable subdirectory"
expect_stdout "$banner"'   Search Path: '"$deep"'\r\n   Search String: "hit"\r\n   Options: Subdirectories\r\n \r\n a.pas - 1 of 2\r\n \r\n[1] hit\r\n '"$too_long"' - directory not read: path too long\r\n \r\n z/z.pas - 2 of 2\r\n \r\n[1] hit\r\n' "unreadable subdirectory"
expect_stderr "sifter32-cli: $deep/$too_long: directory not read: path too long"$'\n'' Sifter32 Found 2 instances of "hit" in 2 files' "unreadable subdirectory"

# --- an empty set
run "$procs" foo
expect_status 1 "empty set"
expect_empty_stdout "empty set"
expect_stderr " No .pas files in $procs." "empty set"

# --- help and version go to stdout
run --help
expect_status 0 "--help"
head -n1 "$WORK/out" | grep -q '^Usage: sifter32-cli ' || fail "--help: no usage on stdout"
run --version
expect_status 0 "--version"
grep -qx 'sifter32-cli [0-9][0-9.]*' "$WORK/out" || fail "--version: '$(cat "$WORK/out")'"

# --- names with blanks, a newline and invalid UTF-8, and a FIFO that must not be opened
odd="$WORK/odd"
make_file "$odd/my file.pas" 'hit\r\n'
make_file "$odd/new"$'\n'"line.pas" 'hit\r\n'
make_file "$odd/bad"$'\xff'".pas" 'hit\r\n'
mkfifo "$odd/x.pas"
timeout 10 "$CLI" "$odd" hit >"$WORK/out" 2>"$WORK/err"
status=$?
[ "$status" -ne 124 ] || fail "a FIFO named x.pas made the search hang"
expect_status 0 "odd names"
expect_stdout "$banner"'   Search Path: '"$odd"'\r\n   Search String: "hit"\r\n \r\n bad\377.pas - 1 of 3\r\n \r\n[1] hit\r\n \r\n my file.pas - 2 of 3\r\n \r\n[1] hit\r\n \r\n new\nline.pas - 3 of 3\r\n \r\n[1] hit\r\n' "odd names"

# --- output that cannot be written
big="$WORK/big"
mkdir -p "$big"
awk 'BEGIN { for (i = 0; i < 40000; i++) printf "match line %d of a file large enough to fill a pipe\r\n", i }' >"$big/big.pas"
if [ -w /dev/full ]; then
    "$CLI" "$big" match >/dev/full 2>"$WORK/err"
    status=$?
    expect_status 2 "/dev/full"
    expect_stderr 'sifter32-cli: cannot write the results: No space left on device' "/dev/full"
fi

# --- The table: a command line, its exact standard output (a printf format, or PIPE: a pipe
# whose reader takes one byte and goes), its standard error (without its last newline; empty:
# nothing at all) and its exit status.
row() {  # WHAT STATUS STDOUT STDERR ARGS...
    local what=$1 want_status=$2 want_out=$3 want_err=$4
    shift 4
    if [ "$want_out" = PIPE ]; then
        timeout 120 "$CLI" "$@" 2>"$WORK/err" | head -c1 >/dev/null
        status=${PIPESTATUS[0]}
    else
        run "$@"
        expect_stdout "$want_out" "$what"
    fi
    expect_status "$want_status" "$what"
    if [ -n "$want_err" ]; then
        expect_stderr "$want_err" "$what"
    else
        [ ! -s "$WORK/err" ] || fail "$what: stderr is '$(cat "$WORK/err")', expected nothing"
    fi
}

# A file that cannot be read (no permission, or a read that fails: a process's own memory at
# address 0 gives EIO, to root too) keeps its heading; the search goes on.
unread="$WORK/unread"
make_file "$unread/a.pas" 'hit\r\n'
ln -s /proc/self/mem "$unread/m m.pas"
make_file "$unread/z.pas" 'x\r\nhit\r\n'
unread_err="sifter32-cli: $unread/m m.pas: I/O error 1005."
names="$WORK/names"
make_file "$names/my file.pas" 'hit\r\n'
make_file "$names/bad"$'\xff'".pas" 'x\r\nhit\r\n'
try=$'\nTry \'sifter32-cli --help\'.'

#   WHAT                          STATUS STDOUT                  STDERR                      ARGS
row "grep form"                   0 'b.pas:2:find me\nb.pas:3:FIND ME TOO\n' ''      --format=grep "$two" find
row "grep form, no match"         1 ''                           ''                          --format=grep "$two" absent
row "count"                       0 'b.pas:2\n'                  ''                          --count "$two" find
row "count, case-sensitive"       0 'b.pas:1\n'                  ''                          --case-sensitive --count "$two" find
row "files with matches"          0 'b.pas\n'                    ''                          -l "$two" find
row "files with matches, long"    1 ''                           ''                          --files-with-matches "$two" absent
row "grep form, procedure rows"   0 'p.sc:1-proc Foo(x)\np.sc:1:proc Foo(x)\np.sc:2:  Foo(1)\np.sc:4:procedure Foo(y)\n' '' --scripts --procs --format=grep "$procs" foo
row "grep form, bytes unchanged"  0 'a.pas:1:begin\na.pas:3:  begin\rend;\na.pas:4:BEGIN\nb.pas:1:begin\nb.pas:2:x\nbegin\n' '' --format=grep "$lf" begin
row "grep form, Windows-1252"     0 'u.pas:1:un caf\303\251 noir\nw.pas:1:le caf\351\nw.pas:3:CaF\351 x\n' '' --format=grep "$legacy" $'caf\xc3\xa9'
row "grep form, odd names"        0 'bad\377.pas:2:hit\nmy file.pas:1:hit\n' ''     --format=grep "$names" hit
row "count, odd names"            0 'bad\377.pas:1\nmy file.pas:1\n' ''              --count "$names" hit
row "grep form, empty set"        1 ''                           ''                          --format=grep "$procs" foo
row "unread file, rows"           2 "$banner"'   Search Path: '"$unread"'\r\n   Search String: "hit"\r\n \r\n a.pas - 1 of 3\r\n \r\n[1] hit\r\n \r\n m m.pas - 2 of 3\r\n \r\n \r\n z.pas - 3 of 3\r\n \r\n[2] hit\r\n' "$unread_err"$'\n Sifter32 Found 2 instances of "hit" in 3 files' "$unread" hit
row "unread file, grep form"      2 'a.pas:1:hit\nz.pas:2:hit\n' "$unread_err"           --format=grep "$unread" hit
row "unread file, count"          2 'a.pas:1\nz.pas:1\n'         "$unread_err"           --count "$unread" hit
row "unread file, only matched" 2 "$banner"'   Search Path: '"$unread"'\r\n   Search String: "hit"\r\n   Options: Only Files with Matches\r\n \r\n a.pas - 1 of 3\r\n \r\n[1] hit\r\n \r\n z.pas - 3 of 3\r\n \r\n[2] hit\r\n' "$unread_err"$'\n Sifter32 Found 2 instances of "hit" in 3 files' --hide-files-without-match "$unread" hit
row "procs, only matched, grep"   0 'p.sc:1-proc Foo(x)\np.sc:1:proc Foo(x)\np.sc:2:  Foo(1)\np.sc:4:procedure Foo(y)\n' '' --scripts --procs --hide-files-without-match --format=grep "$procs" foo
row "procs, only matched, none"   1 ''                           ''                          --scripts --procs --hide-files-without-match --format=grep "$procs" absent
row "unread file, no match"       2 ''                           "$unread_err"               -l "$unread" absent
row "not a directory"             2 ''                           "sifter32-cli: $two/a.pas: not a directory" "$two/a.pas" find
row "a file, as a directory"      2 ''                           "sifter32-cli: $two/a.pas/: not a directory" "$two/a.pas/" find
row "a device"                    2 ''                           'sifter32-cli: /dev/null: not a directory' --format=grep /dev/null find
row "missing directory"           2 ''                           "sifter32-cli: $WORK/missing: File not found." "$WORK/missing" x
row "missing, grep form"          2 ''                           "sifter32-cli: $WORK/missing: File not found." --count "$WORK/missing" x
row "no arguments"                2 ''                           "sifter32-cli: expected DIRECTORY and TEXT$try"
row "no TEXT"                     2 ''                           "sifter32-cli: expected DIRECTORY and TEXT$try" "$two"
row "two TEXTs"                   2 ''                           "sifter32-cli: expected DIRECTORY and TEXT$try" "$two" a b
row "procs without scripts"       2 ''                           "sifter32-cli: --procs needs --scripts (Pascal sources list no procedure lines)$try" --procs "$two" x
row "both file types"             2 ''                           "sifter32-cli: --scripts and --pascal exclude each other$try" --scripts --pascal "$two" x
row "unknown option"              2 ''                           "sifter32-cli: unknown option '--bogus' (put -- before a TEXT that starts with -)$try" --bogus "$two" x
row "unknown format"              2 ''                           "sifter32-cli: unknown format in '--format=xml' (--format=rows or --format=grep)$try" --format=xml "$two" x
row "count and files"             2 ''                           "sifter32-cli: --count and --files-with-matches exclude each other$try" --count -l "$two" x
row "project, grep form"          0 'main.pas:1:Result := 1;\nrtl/b.inc:1:{Result}\nrtl/unix/sysutils.pp:2:x:=Result\n' '' -r -w --format=grep --mask '*.pas;*.pp;*.inc' "$proj" Result
row "project, count"              0 'main.pas:1\nrtl/b.inc:1\nrtl/unix/sysutils.pp:1\n' '' --count -r -w --mask='*.pas;*.pp;*.inc' "$proj" Result
row "unreadable subdirectory, -l" 2 'a.pas\nz/z.pas\n'            "sifter32-cli: $deep/$too_long: directory not read: path too long" -r -l "$deep" hit
row "mask with a path"            2 ''                           "sifter32-cli: --mask: The mask \"src/*.pas\" holds a path separator: a mask names the files of a directory, such as *.pas, without a path.$try" --mask 'src/*.pas' "$two" x
row "empty mask list"             2 ''                           "sifter32-cli: --mask: The list of file masks is empty: give at least one, such as *.pas.$try" --mask '' "$two" x
row "mask without a list"         2 ''                           "sifter32-cli: --mask needs a LIST$try" "$two" x --mask
row "closed pipe"                 141 PIPE                       ''                          "$big" match
row "closed pipe, grep form"      141 PIPE                       ''                          --format=grep "$big" match
# Regular expressions: the same forms, a bad pattern refused before anything is read, and a
# line too complex for the pattern told on standard error.
complex="$WORK/complex"
mkdir -p "$complex"
{ printf 'aaa\r\n'; head -c 100000 /dev/zero | tr '\0' a; printf 'b\r\n'; } >"$complex/c.pas"
row "pattern, grep form"          0 'b.pas:2:find me\n'          ''                          -E --format=grep "$two" 'f.nd me$'
row "pattern, count"              0 'b.pas:2\n'                  ''                          --regexp --count "$two" '^f'
row "pattern, whole words"        1 ''                           ''                          -E -w -l "$two" 'fin'
row "pattern, rows"               0 "$banner"'   Search Path: '"$two"'\r\n   Search String: "^x$"\r\n   Options: Regular Expression\r\n \r\n a.pas - 1 of 2\r\n \r\n \r\n b.pas - 2 of 2\r\n \r\n[1] x\r\n' ' Sifter32 Found 1 instances of "^x$" in 2 files' -E "$two" '^x$'
row "pattern, both forms"         0 'u.pas:1:un caf\303\251 noir\nu.pas:2:CAF\303\211\nw.pas:1:le caf\351\nw.pas:3:CaF\351 x\n' '' -E --format=grep "$legacy" $'caf[\xc3\xa9e]'
row "bad pattern"                 2 ''                           'sifter32-cli: missing closing parenthesis at position 5' -E "$two" 'find('
row "bad pattern, whole words"    2 ''                           'sifter32-cli: missing closing parenthesis at position 17' -w -E --case-sensitive -- "$two" '(?x)Result # note'
row "bad pattern, missing dir"    2 ''                           'sifter32-cli: quantifier does not follow a repeatable item at position 0' -E "$WORK/missing" '*x'
row "pattern too complex"         0 'c.pas:1:aaa\n'              'sifter32-cli: Pattern too complex for 1 lines; first at c.pas:2' -E --format=grep "$complex" '(a+)+$'
row "pattern too complex, rows"   0 "$banner"'   Search Path: '"$complex"'\r\n   Search String: "(a+)+$"\r\n   Options: Regular Expression\r\n \r\n c.pas - 1 of 1\r\n \r\n[1] aaa\r\n Pattern too complex for 1 lines; first at c.pas:2\r\n' 'sifter32-cli: Pattern too complex for 1 lines; first at c.pas:2'$'\n Sifter32 Found 1 instances of "(a+)+$" in 1 files' -E "$complex" '(a+)+$'
# A directory that can be entered but not listed says so, instead of reading as empty.
shut="$WORK/shut"
make_file "$shut/a.pas" 'hit\r\n'
chmod 311 "$shut"
prepare_nobody
[ "$(id -u)" -ne 0 ] || as_nobody=1
row "directory not listed"        2 ''                           "sifter32-cli: $shut: directory not read: access denied" -- "$shut" hit
row "directory not listed, -r"    2 ''                           "sifter32-cli: $shut: directory not read: access denied" -r --format=grep "$shut" hit
as_nobody=
chmod 700 "$shut"
if [ "$(id -u)" -ne 0 ]; then
    make_file "$WORK/locked/a.pas" 'hit\r\n'
    make_file "$WORK/locked/b.pas" 'hit\r\n'
    chmod 000 "$WORK/locked/a.pas"
    row "file without permission" 2 'b.pas:1:hit\n'           "sifter32-cli: $WORK/locked/a.pas: File access denied." --format=grep "$WORK/locked" hit
    chmod 600 "$WORK/locked/a.pas"
else
    echo "note: the file without permission is skipped as root" >&2
fi

finish
