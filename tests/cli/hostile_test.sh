#!/usr/bin/env bash
# sifter32-cli on directories that try to break it: 100,000 files, a 200 MB line, binary
# files, odd names, links that loop, a FIFO with a silent writer, a socket, a device. Every
# run must end (a generous timeout catches a hang) with the rows, message and exit code below.
# Usage: hostile_test.sh PATH-TO-sifter32-cli
set -u
source "$(dirname "$0")/common.sh"

expect_stdout_file() {  # EXPECTED-FILE WHAT
    if ! cmp -s "$1" "$WORK/out"; then
        fail "$2: stdout differs"
        cmp "$1" "$WORK/out" | head -3 >&2
    fi
}

heading() {  # DIRECTORY TEXT -- the three rows every result starts with
    printf 'Sifter32 Search Results \r\n   Search Path: %s\r\n   Search String: "%s"\r\n' "$1" "$2"
}

file_rows() {  # NAME NUMBER COUNT
    printf ' \r\n %s - %s of %s\r\n \r\n' "$1" "$2" "$3"
}

sanitized=no
grep -qa -e __asan_init -e __msan_init -e __tsan_init "$CLI" && sanitized=yes

# --- 100,000 files: every one is listed in order and the search ends
many="$WORK/many"
mkdir "$many"
(cd "$many" && seq -f 'f%06g.pas' 0 99999 | xargs touch)
printf 'a needle\r\n' >"$many/f000000.pas"
printf 'needle\r\n' >"$many/f099999.pas"
run "$many" needle
expect_status 0 "100,000 files"
expect_stderr ' Sifter32 Found 2 instances of "needle" in 100000 files' "100,000 files"
awk 'BEGIN { for (i = 0; i < 100000; i++) printf " f%06d.pas - %d of 100000\r\n", i, i + 1 }' >"$WORK/expected"
grep -a '^ f[0-9]*\.pas - ' "$WORK/out" | cmp -s - "$WORK/expected" || fail "100,000 files: not every heading, or not in order"
{ heading "$many" needle; file_rows f000000.pas 1 100000; printf '[1] a needle\r\n'; } >"$WORK/expected"
head -c "$(stat -c %s "$WORK/expected")" "$WORK/out" | cmp -s - "$WORK/expected" || fail "100,000 files: first rows"
{ file_rows f099999.pas 100000 100000; printf '[1] needle\r\n'; } >"$WORK/expected"
tail -c "$(stat -c %s "$WORK/expected")" "$WORK/out" | cmp -s - "$WORK/expected" || fail "100,000 files: last rows"
[ "$(grep -ac '' "$WORK/out")" -eq 300005 ] || fail "100,000 files: $(grep -ac '' "$WORK/out") rows"
rm -rf "$many"

# --- a 200 MB line without a CR: memory stays within a few times the line, and a line that
# cannot fit at all ends the run with a message instead of an abort
long="$WORK/long"
mkdir "$long"
size=200000000
head -c "$size" /dev/zero | tr '\0' a >"$long/long.pas"
printf needle >>"$long/long.pas"
if [ "$sanitized" = no ]; then
    (ulimit -v $((4 * size / 1024)) && exec timeout 120 "$CLI" "$long" needle) >"$WORK/out" 2>"$WORK/err"
    status=$?
    expect_status 0 "200 MB line within four times its size"
    expect_stderr ' Sifter32 Found 1 instances of "needle" in 1 files' "200 MB line"
    { heading "$long" needle; file_rows long.pas 1 1; printf '[1] '; cat "$long/long.pas"; printf '\r\n'; } |
        cmp -s - "$WORK/out" || fail "200 MB line: the row is not the whole line"
    (ulimit -v $((size / 2 / 1024)) && exec timeout 120 "$CLI" "$long" needle) >"$WORK/out" 2>"$WORK/err"
    status=$?
    expect_status 2 "200 MB line within half its size"
    expect_stderr 'sifter32-cli: Out of memory.' "200 MB line within half its size"
else
    echo "note: memory limits skipped for a sanitizer build" >&2
fi
rm -rf "$long" "$WORK/out"

# --- binary files: NUL bytes are line bytes, the first Ctrl-Z ends the data
bin="$WORK/bin"
mkdir "$bin"
all=$(printf '\\%03o' $(seq 0 255))
for _ in 1 2 3 4; do printf "$all"; done >"$bin/all.pas"
{ printf 'hit before\r\n\032hit after\r\n'; head -c 1000 /dev/zero; } >"$bin/ctrlz.pas"
{ head -c 4096 /dev/zero; printf hit; head -c 10 /dev/zero; printf '\r\nhit2\r\n'; } >"$bin/nul.pas"
{ head -c 1000000 /dev/zero | tr '\0' '\032'; printf 'hit\r\n'; } >"$bin/zz.pas"
run "$bin" hit
expect_status 0 "binary files"
{
    heading "$bin" hit; file_rows all.pas 1 4; file_rows ctrlz.pas 2 4; printf '[1] hit before\r\n'
    file_rows nul.pas 3 4; printf '[1] '; head -c 4096 /dev/zero; printf hit; head -c 10 /dev/zero
    printf '\r\n[2] hit2\r\n'; file_rows zz.pas 4 4
} >"$WORK/expected"
expect_stdout_file "$WORK/expected" "binary files"
expect_stderr ' Sifter32 Found 3 instances of "hit" in 4 files' "binary files"
run --case-sensitive "$bin" $'\016\017'
expect_status 0 "control bytes as the text"
{
    # all.pas has its LF (byte 10) before its CR (13): an LF file, whose CR is data.
    heading "$bin" $'\016\017'; file_rows all.pas 1 4
    printf '[2] \013\014\015\016\017\020\021\022\023\024\025\026\027\030\031\r\n'
    file_rows ctrlz.pas 2 4; file_rows nul.pas 3 4; file_rows zz.pas 4 4
} >"$WORK/expected"
expect_stdout_file "$WORK/expected" "control bytes as the text"

# --- names with blanks, quotes, dashes, a newline, invalid UTF-8, 255 bytes, in a directory
# whose own name starts with a dash
names="$WORK/-names"
mkdir "$names"
long_name=$(printf 'l%.0s' $(seq 251)).pas
sorted=(" lead.pas" '"quoted".pas' "'single'.pas" "--help.pas" "-n.pas" "$long_name" "my file.pas"
        $'new\nline.pas' "semi;colon.pas" $'\xff\xfe.pas')
for name in "${sorted[@]}"; do printf 'hit\r\n' >"$names/$name"; done
(cd "$WORK" && timeout 120 "$CLI" -- -names hit >"$WORK/out" 2>"$WORK/err")
status=$?
expect_status 0 "odd names"
{
    heading "$names" hit
    for i in "${!sorted[@]}"; do file_rows "${sorted[$i]}" $((i + 1)) 10; printf '[1] hit\r\n'; done
} >"$WORK/expected"
expect_stdout_file "$WORK/expected" "odd names"
expect_stderr ' Sifter32 Found 10 instances of "hit" in 10 files' "odd names"

# --- links, a FIFO whose writer never writes, a socket, a device and a directory named like
# files: only the regular file and the link to it are searched
kinds="$WORK/kinds"
mkdir "$kinds" "$kinds/sub.pas"
printf 'hit\r\n' >"$kinds/real.pas"
ln -s real.pas "$kinds/link.pas"
ln -s loop.pas "$kinds/loop.pas"
ln -s b.pas "$kinds/a.pas"
ln -s a.pas "$kinds/b.pas"
ln -s . "$kinds/dir.pas"
ln -s nowhere "$kinds/gone.pas"
ln -s /dev/zero "$kinds/zero.pas"
mkfifo "$kinds/x.pas"
exec 3<>"$kinds/x.pas"  # a writer that stays: reading the FIFO would wait for ever
perl -MIO::Socket::UNIX -e 'IO::Socket::UNIX->new(Type => SOCK_STREAM(), Local => $ARGV[0]) or die "$!\n"' \
    "$kinds/y.pas" || fail "cannot make a socket"
limit=20 run "$kinds" hit
expect_status 0 "other kinds of file"
{ heading "$kinds" hit; file_rows link.pas 1 2; printf '[1] hit\r\n'; file_rows real.pas 2 2; printf '[1] hit\r\n'; } >"$WORK/expected"
expect_stdout_file "$WORK/expected" "other kinds of file"
expect_stderr ' Sifter32 Found 2 instances of "hit" in 2 files' "other kinds of file"
exec 3>&-

# --- what only a user without every permission meets
if [ "$(id -u)" -ne 0 ]; then
    printf 'hit\r\n' >"$kinds/locked.pas"
    chmod 000 "$kinds/locked.pas"
    run "$kinds" hit
    expect_status 2 "unreadable file"
    grep -qa '^ locked.pas - 2 of 3' "$WORK/out" || fail "unreadable file: no heading"
    [ "$(grep -ac '^\[1\] hit' "$WORK/out")" -eq 2 ] || fail "unreadable file: it gave lines"
    expect_stderr "sifter32-cli: $kinds/locked.pas: File access denied."$'\n'' Sifter32 Found 2 instances of "hit" in 3 files' "unreadable file"
    mkdir "$WORK/shut"
    chmod 000 "$WORK/shut"
    run "$WORK/shut" hit
    expect_status 2 "unreadable directory"
    expect_stderr "sifter32-cli: $WORK/shut: File access denied." "unreadable directory"
    chmod 700 "$WORK/shut"
else
    echo "note: permission cases skipped as root" >&2
fi

finish
