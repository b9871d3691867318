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

# --- Pascal's routine rows and code only: the outer routine's row, then the nested one's, in
# both forms; a match in a comment left out
pas="$WORK/pas"
make_file "$pas/u.pas" 'uses Hit;\r\nprocedure TFoo.Outer;\r\n  function Inner: Integer;\r\n  begin\r\n    Result := Hit;\r\n  end;\r\nbegin { hit }\r\nend;\r\n'
run -p --in=code "$pas" hit
expect_status 0 "routines"
expect_stdout "$banner"'   Search Path: '"$pas"'\r\n   Search String: "hit"\r\n   Options: Routines, Search In Code\r\n \r\n u.pas - 1 of 1\r\n \r\n[1] uses Hit;\r\n procedure TFoo.Outer;\r\n   function Inner: Integer;\r\n[5]     Result := Hit;\r\n' "routines"

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
try=$'\nsifter32-cli: Try \'sifter32-cli --help\'.'

#   WHAT                          STATUS STDOUT                  STDERR                      ARGS
row "grep form"                   0 "$two/b.pas:2:find me\n$two/b.pas:3:FIND ME TOO\n" ''      --format=grep "$two" find
row "grep form, no match"         1 ''                           ''                          --format=grep "$two" absent
row "count"                       0 "$two/b.pas:2\n"                  ''                          --count "$two" find
row "count, case-sensitive"       0 "$two/b.pas:1\n"                  ''                          --case-sensitive --count "$two" find
row "files with matches"          0 "$two/b.pas\n"                    ''                          -l "$two" find
row "files with matches, long"    1 ''                           ''                          --files-with-matches "$two" absent
row "grep form, procedure rows"   0 "$procs/p.sc:1-proc Foo(x)\n$procs/p.sc:1:proc Foo(x)\n$procs/p.sc:2:  Foo(1)\n$procs/p.sc:4:procedure Foo(y)\n" '' --scripts --procs --format=grep "$procs" foo
# One record per line: the lone LF that a CR file's line holds is written as a blank.
row "grep form, routine rows"   0 "$pas/u.pas:2-procedure TFoo.Outer;\n$pas/u.pas:7:begin { hit }\n" '' --format=grep --routines --in=comments "$pas" hit
row "grep form, bytes unchanged"  0 "$lf/a.pas:1:begin\n$lf/a.pas:3:  begin\rend;\n$lf/a.pas:4:BEGIN\n$lf/b.pas:1:begin\n$lf/b.pas:2:x begin\n" '' --format=grep "$lf" begin
row "grep form, Windows-1252"     0 "$legacy/u.pas:1:un caf\303\251 noir\n$legacy/w.pas:1:le caf\351\n$legacy/w.pas:3:CaF\351 x\n" '' --format=grep "$legacy" $'caf\xc3\xa9'
row "grep form, odd names"        0 "$names/bad\377.pas:2:hit\n$names/my file.pas:1:hit\n" ''     --format=grep "$names" hit
row "count, odd names"            0 "$names/bad\377.pas:1\n$names/my file.pas:1\n" ''              --count "$names" hit
row "grep form, empty set"        1 ''                           ''                          --format=grep "$procs" foo
row "unread file, rows"           2 "$banner"'   Search Path: '"$unread"'\r\n   Search String: "hit"\r\n \r\n a.pas - 1 of 3\r\n \r\n[1] hit\r\n \r\n m m.pas - 2 of 3\r\n \r\n \r\n z.pas - 3 of 3\r\n \r\n[2] hit\r\n' "$unread_err"$'\n Sifter32 Found 2 instances of "hit" in 3 files' "$unread" hit
row "unread file, grep form"      2 "$unread/a.pas:1:hit\n$unread/z.pas:2:hit\n" "$unread_err"           --format=grep "$unread" hit
row "unread file, count"          2 "$unread/a.pas:1\n$unread/z.pas:1\n" "$unread_err"           --count "$unread" hit
row "unread file, only matched" 2 "$banner"'   Search Path: '"$unread"'\r\n   Search String: "hit"\r\n   Options: Only Files with Matches\r\n \r\n a.pas - 1 of 3\r\n \r\n[1] hit\r\n \r\n z.pas - 3 of 3\r\n \r\n[2] hit\r\n' "$unread_err"$'\n Sifter32 Found 2 instances of "hit" in 3 files' --hide-files-without-match "$unread" hit
row "procs, only matched, grep"   0 "$procs/p.sc:1-proc Foo(x)\n$procs/p.sc:1:proc Foo(x)\n$procs/p.sc:2:  Foo(1)\n$procs/p.sc:4:procedure Foo(y)\n" '' --scripts --procs --hide-files-without-match --format=grep "$procs" foo
row "procs, only matched, none"   1 ''                           ''                          --scripts --procs --hide-files-without-match --format=grep "$procs" absent
row "unread file, no match"       2 ''                           "$unread_err"               -l "$unread" absent
row "a file, searched alone"       1 "$banner"'   Search Path: '"$two"'\r\n   Search String: "find"\r\n \r\n a.pas - 1 of 1\r\n \r\n' ' Sifter32 Found 0 instances of "find" in 1 files' "$two/a.pas" find
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
row "project, grep form"          0 "$proj/main.pas:1:Result := 1;\n$proj/rtl/b.inc:1:{Result}\n$proj/rtl/unix/sysutils.pp:2:x:=Result\n" '' -r -w --format=grep --mask '*.pas;*.pp;*.inc' "$proj" Result
row "project, count"              0 "$proj/main.pas:1\n$proj/rtl/b.inc:1\n$proj/rtl/unix/sysutils.pp:1\n" '' --count -r -w --mask='*.pas;*.pp;*.inc' "$proj" Result
row "unreadable subdirectory, -l" 2 "$deep/a.pas\n$deep/z/z.pas\n"            "sifter32-cli: $deep/$too_long: directory not read: path too long" -r -l "$deep" hit
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
row "pattern, grep form"          0 "$two/b.pas:2:find me\n"          ''                          -E --format=grep "$two" 'f.nd me$'
row "pattern, count"              0 "$two/b.pas:2\n"                  ''                          --regexp --count "$two" '^f'
row "pattern, whole words"        1 ''                           ''                          -E -w -l "$two" 'fin'
row "pattern, rows"               0 "$banner"'   Search Path: '"$two"'\r\n   Search String: "^x$"\r\n   Options: Regular Expression\r\n \r\n a.pas - 1 of 2\r\n \r\n \r\n b.pas - 2 of 2\r\n \r\n[1] x\r\n' ' Sifter32 Found 1 instances of "^x$" in 2 files' -E "$two" '^x$'
row "pattern, both forms"         0 "$legacy/u.pas:1:un caf\303\251 noir\n$legacy/u.pas:2:CAF\303\211\n$legacy/w.pas:1:le caf\351\n$legacy/w.pas:3:CaF\351 x\n" '' -E --format=grep "$legacy" $'caf[\xc3\xa9e]'
row "bad pattern"                 2 ''                           'sifter32-cli: missing closing parenthesis at position 5' -E "$two" 'find('
row "bad pattern, whole words"    2 ''                           'sifter32-cli: missing closing parenthesis at position 17' -w -E --case-sensitive -- "$two" '(?x)Result # note'
row "bad pattern, missing dir"    2 ''                           'sifter32-cli: quantifier does not follow a repeatable item at position 0' -E "$WORK/missing" '*x'
row "pattern too complex"         0 "$complex/c.pas:1:aaa\n"              'sifter32-cli: Pattern too complex for 1 lines; first at c.pas:2' -E --format=grep "$complex" '(a+)+$'
row "pattern too complex, rows"   0 "$banner"'   Search Path: '"$complex"'\r\n   Search String: "(a+)+$"\r\n   Options: Regular Expression\r\n \r\n c.pas - 1 of 1\r\n \r\n[1] aaa\r\n Pattern too complex for 1 lines; first at c.pas:2\r\n' 'sifter32-cli: Pattern too complex for 1 lines; first at c.pas:2'$'\n Sifter32 Found 1 instances of "(a+)+$" in 1 files' -E "$complex" '(a+)+$'
# Paths as grep writes them: DIRECTORY as given, joined with the file's path below it; a FILE
# as given.
paths="$WORK/paths"
make_file "$paths/a.pas" 'hit\r\n'
make_file "$paths/sub/b.pas" 'x\nhit\n'
at=$WORK
row "path, relative"              0 'paths/a.pas:1:hit\npaths/sub/b.pas:2:hit\n' ''    -r --format=grep paths hit
row "path, trailing separators"   0 'paths/a.pas:1:hit\npaths/sub/b.pas:2:hit\n' ''    -r --format=grep paths// hit
row "path, ./ in front"           0 './paths/a.pas:1\n./paths/sub/b.pas:1\n' ''        -rc ./paths hit
row "path, a file"                0 'paths/sub/b.pas:2:hit\n'   ''                      --format=grep paths/sub/b.pas hit
row "path, a file with -r"        0 'paths/sub/b.pas\n'         ''                      -rl paths/sub/b.pas hit
row "path, a file, rows"          0 "$banner"'   Search Path: '"$paths/sub"'\r\n   Search String: "hit"\r\n   Options: Subdirectories\r\n \r\n b.pas - 1 of 1\r\n \r\n[2] hit\r\n' ' Sifter32 Found 1 instances of "hit" in 1 files' -r paths/sub/b.pas hit
at=$paths
row "path, dot"                   0 './a.pas:1:hit\n./sub/b.pas:2:hit\n' ''            -r --format=grep . hit
row "path, dot and separator"     0 './a.pas\n./sub/b.pas\n'   ''                      -rl ./ hit
row "path, a file here"           0 'a.pas:1:hit\n'             ''                      --format=grep a.pas hit
row "path, left out"              0 '1:hit\n2:hit\n'           ''                      -rh --format=grep . hit
row "path, left out of counts"    0 '1\n1\n'                   ''                      -rhc . hit
row "path, kept by -l"            0 './a.pas\n./sub/b.pas\n'   ''                      -rlh . hit
at=
row "path, absolute"              0 "$paths/a.pas:1:hit\n$paths/sub/b.pas:2:hit\n" ''   -r --format=grep "$paths" hit
row "path, absolute, separator"   0 "$paths/a.pas:1:hit\n$paths/sub/b.pas:2:hit\n" ''   -r --format=grep "$paths/" hit
row "path, a FIFO"                2 ''                           "sifter32-cli: $odd/x.pas: not a directory" "$odd/x.pas" hit

# grep's short options, with grep's meaning, alone and combined.
row "-i -n -F, the defaults"      0 "$two/b.pas:2:find me\n$two/b.pas:3:FIND ME TOO\n" '' -inF --format=grep "$two" find
row "-i after --case-sensitive"   0 "$two/b.pas:2\n"            ''                      --case-sensitive -i --count "$two" find
row "-c"                          0 "$two/b.pas:2\n"            ''                      -c "$two" find
row "-rc"                         0 "$proj/main.pas:1\n"        ''                      -rc "$proj" 'Result :='
row "-rwE"                        0 "$proj/main.pas:1:Result := 1;\n" ''                -rwE --format=grep "$proj" 'Res[a-z]+t'
row "-e, a TEXT with a dash"      0 "$WORK/dash/d.pas:1:a -x b\n" ''                    --format=grep -e -x "$WORK/dash"
row "-q, a match"                 0 ''                           ''                      -q "$two" find
row "-q, none"                    1 ''                           ''                      -q "$two" absent
row "-q, stops at the first"      0 ''                           ''                      -q "$unread" hit
row "-q, a match after trouble"   0 ''                           "$unread_err"           -q "$unread" x
row "-qs"                         0 ''                           ''                      -qs "$unread" x
row "-s, a file not read"         2 "$unread/a.pas:1:hit\n$unread/z.pas:2:hit\n" ''     -s --format=grep "$unread" hit
row "-s, a missing directory"     2 ''                           ''                      -s "$WORK/missing" x
row "-s, a subdirectory not read" 2 "$deep/a.pas\n$deep/z/z.pas\n" ''                  -rls "$deep" hit
row "-h is no help"               2 ''                           "sifter32-cli: --no-filename needs --format=grep or --count$try" -h "$two" find
row "two forms, grep and count"   2 ''                           "sifter32-cli: --count and --format=grep exclude each other$try" --count --format=grep "$two" find
row "two forms, -l -c"            2 ''                           "sifter32-cli: --files-with-matches and --count exclude each other$try" -l -c "$two" find
row "two forms, -q and rows"      2 ''                           "sifter32-cli: --format=rows and --quiet exclude each other$try" --format=rows -q "$two" find
row "-E and -F"                   2 ''                           "sifter32-cli: --fixed-strings and --regexp exclude each other$try" -EF "$two" find
row "an unknown letter"           2 ''                           "sifter32-cli: unknown option '-k' in '-rkw' (put -- before a TEXT that starts with -)$try" -rkw "$two" find

# Context lines: groups apart by "--", each line once, across the line rules; a procedure line
# within the context keeps its own row.
ctx="$WORK/ctx"
make_file "$ctx/cr.pas" 'a\r\nb\r\nhit 1\r\nc\r\nd\r\ne\r\nf\r\nhit 2\r\ng\r\nhit 3\r\nh\r\n'
make_file "$ctx/lf.pas" 'hit\nx\ny\nz\nhit\032 after\nhit\n'
make_file "$ctx/mixed.pas" 'one\rtwo\nthree\rhit\rfour\r'
make_file "$ctx/p.sc" 'x\r\nproc Foo()\r\ncall\r\ny\r\nz\r\nw\r\nproc Bar()\r\nv\r\n'
at=$WORK
row "context, CR LF lines"        0 'ctx/cr.pas-2-b\nctx/cr.pas:3:hit 1\nctx/cr.pas-4-c\n--\nctx/cr.pas-7-f\nctx/cr.pas:8:hit 2\nctx/cr.pas-9-g\nctx/cr.pas:10:hit 3\nctx/cr.pas-11-h\n' '' --format=grep -C 1 ctx/cr.pas hit
row "context, before only"        0 'ctx/cr.pas-1-a\nctx/cr.pas-2-b\nctx/cr.pas:3:hit 1\n--\nctx/cr.pas-6-e\nctx/cr.pas-7-f\nctx/cr.pas:8:hit 2\nctx/cr.pas-9-g\nctx/cr.pas:10:hit 3\n' '' --format=grep -B2 ctx/cr.pas hit
row "context, only matched"       0 'ctx/cr.pas-1-a\nctx/cr.pas-2-b\nctx/cr.pas:3:hit 1\n' '' --hide-files-without-match --format=grep -B2 --mask 'cr.pas;p.sc' ctx 'hit 1'
row "context, none either way"    0 'ctx/cr.pas:3:hit 1\n--\nctx/cr.pas:8:hit 2\n--\nctx/cr.pas:10:hit 3\n' '' --format=grep -C0 ctx/cr.pas hit
row "context, an LF file, Ctrl-Z" 0 'ctx/lf.pas:1:hit\nctx/lf.pas-2-x\n--\nctx/lf.pas-4-z\nctx/lf.pas:5:hit\n' '' --format=grep -A 1 -B1 ctx/lf.pas hit
row "context, a lone LF"          0 'ctx/mixed.pas-2-two three\nctx/mixed.pas:3:hit\n' '' --format=grep -B 1 ctx/mixed.pas hit
row "context, across files"       0 'ctx/cr.pas:10:hit 3\nctx/cr.pas-11-h\n--\nctx/lf.pas:1:hit\nctx/lf.pas-2-x\n--\nctx/lf.pas:5:hit\n' '' -E --format=grep -A1 --mask 'cr.pas;lf.pas' ctx 'hit 3|^hit$'
row "context, procedure lines"    0 'ctx/p.sc-1-x\nctx/p.sc:2-proc Foo()\nctx/p.sc:3:call\n--\nctx/p.sc:7-proc Bar()\n' '' --scripts --procs --format=grep -B 2 ctx call
row "context, a procedure after"  0 'ctx/p.sc:2-proc Foo()\n--\nctx/p.sc:6:w\nctx/p.sc:7-proc Bar()\n' '' --scripts --procs --format=grep -A 1 ctx w
row "context in the rows"         2 ''                           "sifter32-cli: --context needs --format=grep$try" -C 2 ctx hit
row "context with a count"        2 ''                           "sifter32-cli: --after-context needs --format=grep$try" -c -A2 ctx hit
row "context, not a number"       2 ''                           "sifter32-cli: --before-context: 'two' is not a number of lines$try" --format=grep -B two ctx hit
at=

# Directories left out by their names, letter case ignored, the searched one never.
row "exclude-dir"                 0 "$proj/main.pas:1:Result := 1;\n$proj/rtl/b.inc:1:{Result}\n" '' -rw --format=grep --mask '*.pas;*.pp;*.inc' --exclude-dir=UNIX "$proj" Result
row "exclude-dir, two"            0 "$proj/main.pas:1\n"        ''                      -rwc --mask '*.pas;*.pp;*.inc' --exclude-dir x --exclude-dir 'r?l' "$proj" Result
row "exclude-dir, not the top"    0 "$proj/main.pas\n"          ''                      -rl --exclude-dir=proj "$proj" Result
row "exclude-dir, the banner"     0 "$proj_top"'   Options: Subdirectories, Masks *.pas;*.inc, Leave Out unix;*.bak\r\n \r\n main.pas - 1 of 2\r\n \r\n[1] Result := 1;\r\n[2] Results\r\n \r\n rtl/b.inc - 2 of 2\r\n \r\n[1] {Result}\r\n' ' Sifter32 Found 3 instances of "Result" in 2 files' -r --mask '*.pas;*.inc' --exclude-dir 'unix; *.bak' "$proj" Result
row "exclude-dir without -r"      0 "$proj_top"' \r\n main.pas - 1 of 1\r\n \r\n[1] Result := 1;\r\n[2] Results\r\n' ' Sifter32 Found 2 instances of "Result" in 1 files' --exclude-dir rtl "$proj" Result
row "exclude-dir with a path"     2 ''                           "sifter32-cli: --exclude-dir: The mask \"rtl/unix\" holds a path separator: a directory to leave out is named by its own name, such as backup or *.old, without a path.$try" -r --exclude-dir rtl/unix "$proj" Result

# The context lines of an LF file are grep's own, byte for byte, for any lines either way.
if command -v grep >/dev/null; then
    awk 'BEGIN { for (i = 1; i <= 60; i++) print (i % 7 == 0 || i % 11 == 3 || i == 60 ? "hit " i : "line " i) }' >"$ctx/many.pas"
    for around in "-C 0" "-C 1" "-C 2" "-A 3" "-B 4" "-A 1 -B 5" "-C 3 -A 0" "-A 9"; do
        # One file: grep names none, and -h leaves the companion's out.
        LC_ALL=C grep -n $around hit "$ctx/many.pas" >"$WORK/grep.out"
        run --format=grep -h $around "$ctx/many.pas" hit
        cmp -s "$WORK/grep.out" "$WORK/out" || fail "context $around: not grep's lines"
    done
fi

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
    row "file without permission" 2 "$WORK/locked/b.pas:1:hit\n"           "sifter32-cli: $WORK/locked/a.pas: File access denied." --format=grep "$WORK/locked" hit
    chmod 600 "$WORK/locked/a.pas"
else
    echo "note: the file without permission is skipped as root" >&2
fi

finish
