# Shared by the end-to-end scripts, which source it with the program's path as their first
# argument: the program by its full path (the runs change directory), a scratch directory
# removed at exit, failure counting, the checks on one run, and the verdict at the end.

if [ $# -lt 1 ] || [ ! -x "$1" ]; then
    echo "usage: $0 PATH-TO-sifter32-cli" >&2
    exit 2
fi
CLI=$(cd "$(dirname "$1")" && pwd -P)/$(basename "$1")
WORK=$(mktemp -d "${TMPDIR:-/tmp}/sifter32-$(basename "$0" .sh).XXXXXX")
WORK=$(cd "$WORK" && pwd -P)
trap 'exec 3>&- 2>/dev/null; rm -rf "$WORK"' EXIT
export LC_ALL=C

failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

# run ARGS...: the program under a timeout ($limit seconds, 120 unless set), so that a hang
# fails instead of stalling the suite; its output lands in $WORK/out and $WORK/err, its exit
# code in $status. With $as_nobody set, the run is made as the user nobody (see as_nobody);
# with $at set, in that directory.
run() {
    (cd "${at:-.}" &&
        timeout "${limit:-120}" ${as_nobody:+setpriv --reuid=nobody --regid=nogroup --clear-groups} \
            "$CLI" "$@" >"$WORK/out" 2>"$WORK/err")
    status=$?
    [ "$status" -ne 124 ] || fail "the run [$*] did not end"
}

# as_nobody: root reads every directory, so a run that needs a permission denied is made as
# nobody, with a copy of the program nobody can reach; the caller sets as_nobody=1 around it.
# Without root the runs are the user's own already.
prepare_nobody() {
    [ "$(id -u)" -eq 0 ] || return 0
    chmod 711 "$WORK"
    cp "$CLI" "$WORK/sifter32-cli"
    chmod 755 "$WORK/sifter32-cli"
    CLI="$WORK/sifter32-cli"
}

expect_status() {  # CODE WHAT
    [ "$status" -eq "$1" ] || fail "$2: exit code $status, expected $1 (stderr: $(head -c 300 "$WORK/err"))"
}

expect_stderr() {  # TEXT WHAT -- the whole of stderr, without its final newline
    local actual
    actual=$(cat "$WORK/err"; echo x)
    actual=${actual%x}
    [ "$actual" = "$1"$'\n' ] || fail "$2: stderr is '$actual', expected '$1'"
}

# Wine shows the Linux root as drive Z:. /tmp/x/two -> Z:\tmp\x\two
windows_path() {
    local path=${1//\//\\}
    printf 'Z:%s' "$path"
}

# The Linux program's rows with the "Search Path" row in the Windows form, and the paths of
# files below the searched directory in their headings with Windows' separator (every output
# of the program ends with a line end, so awk's line ends change nothing).
windows_rows() {
    awk '/^   Search Path: \// { gsub("/", "\\"); sub(/: \\/, ": Z:\\") }
         /^ [^ ].* - [0-9]+ of [0-9]+\r$/ { gsub("/", "\\") }
         { print }' "$1"
}

# The Linux program's grep forms with each PATH in its Windows form: the part before
# ":LINE:", "-LINE-" or ":COUNT" (the whole line for -l) with Windows' separator, an absolute
# one on drive Z:; the lines "--" between groups stay.
windows_grep() {
    awk '$0 == "--" { print; next }
         {
             if (match($0, /[:-][0-9]+[:-]/) || match($0, /:[0-9]+$/)) {
                 path = substr($0, 1, RSTART - 1); rest = substr($0, RSTART)
             } else {
                 path = $0; rest = ""
             }
             gsub("/", "\\", path)
             if (path ~ /^\\/) path = "Z:" path
             print path rest
         }' "$1"
}

finish() {
    if [ "$failures" -ne 0 ]; then
        echo "$failures check(s) failed" >&2
        exit 1
    fi
    echo "all checks passed"
}
