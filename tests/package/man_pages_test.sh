#!/usr/bin/env bash
# The manual pages: formatted by man without a single warning, a whatis line that man-db can
# index, the programs' version, and for sifter32-cli exactly the options and exit codes that
# the program itself names in --help.
#   man_pages_test.sh PATH-TO-sifter32-cli DIRECTORY-OF-THE-PAGES
set -u
if [ $# -ne 2 ] || [ ! -x "$1" ] || [ ! -d "$2" ]; then
    echo "usage: $0 PATH-TO-sifter32-cli DIRECTORY-OF-THE-PAGES" >&2
    exit 2
fi
CLI=$1
PAGES=$2
export LC_ALL=C.UTF-8
failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

version=$("$CLI" --version | sed -n 's/^sifter32-cli //p')
[ -n "$version" ] || fail "sifter32-cli --version names no version"

for name in sifter32 sifter32-cli; do
    page=$PAGES/$name.1
    [ -f "$page" ] || { fail "$page is missing"; continue; }
    # What lintian runs: any message from groff or man is a fault in the page.
    messages=$(MANROFFSEQ='' MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z "$page" 2>&1 >/dev/null)
    [ -z "$messages" ] || fail "$name.1: man reports: $messages"
    whatis=$(lexgrog "$page" 2>&1)
    [[ $whatis == *"\"$name - "* ]] || fail "$name.1: no whatis line for $name: $whatis"
    header=$(grep -m1 '^\.TH ' "$page")
    [[ $header == *"\"sifter32 $version\""* ]] || fail "$name.1: header '$header' does not name version $version"
done

# Long options: each one the program's help lists has its own entry under OPTIONS, and the
# page mentions no other anywhere.
help=$("$CLI" --help)
long_options() { grep -o -- '\\-\\-[a-z][a-z\\-]*' | sed 's/\\//g' | sort -u; }
help_options=$(echo "$help" | grep -o -- '--[a-z][a-z-]*' | sort -u)
entries=$(sed -n '/^\.SH OPTIONS/,/^\.SH /p' "$PAGES/sifter32-cli.1" |
    awk 'previous == ".TP" { print } { previous = $1 }' | long_options)
mentioned=$(long_options <"$PAGES/sifter32-cli.1")
[ -n "$help_options" ] || fail "sifter32-cli --help lists no option"
missing=$(comm -23 <(echo "$help_options") <(echo "$entries"))
extra=$(comm -13 <(echo "$help_options") <(echo "$mentioned"))
[ -z "$missing" ] || fail "sifter32-cli.1 has no entry for:" $missing
[ -z "$extra" ] || fail "sifter32-cli.1 mentions options the program does not have:" $extra

# Exit codes: the digits of the help's "Exit status:" line, each a tagged paragraph of the
# page's EXIT STATUS section, and no other.
help_codes=$(echo "$help" | sed -n 's/^Exit status: //p' | grep -o '\b[0-9]\b' | sort -u)
page_codes=$(sed -n '/^\.SH EXIT STATUS/,/^\.SH /p' "$PAGES/sifter32-cli.1" |
    awk 'previous == ".TP" && $1 == ".B" { print $2 } { previous = $1 }' | sort -u)
[ -n "$help_codes" ] || fail "sifter32-cli --help names no exit status"
[ "$help_codes" = "$page_codes" ] ||
    fail "exit codes: --help names $(echo $help_codes), sifter32-cli.1 documents $(echo $page_codes)"

if [ "$failures" -ne 0 ]; then
    echo "$failures check(s) failed" >&2
    exit 1
fi
echo "all checks passed"
