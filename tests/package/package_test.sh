#!/usr/bin/env bash
# The Debian package, as a user gets it: lintian's verdict, its contents and dependencies, then
# installed with apt-get, the installed sifter32-cli against the build's on a generated
# directory, the manual pages found by man, and a purge that leaves nothing of it behind.
# Installing needs root (or sudo); whatever happens, the machine is left with the package
# purged, as it was found.
#   package_test.sh PACKAGE.deb PATH-TO-BUILT-sifter32-cli
set -u
if [ $# -ne 2 ] || [ ! -f "$1" ] || [ ! -x "$2" ]; then
    echo "usage: $0 PACKAGE.deb PATH-TO-BUILT-sifter32-cli" >&2
    exit 2
fi
DEB=$(cd "$(dirname "$1")" && pwd -P)/$(basename "$1")
BUILT_CLI=$(cd "$(dirname "$2")" && pwd -P)/$(basename "$2")
HERE=$(cd "$(dirname "$0")" && pwd)
WORK=$(mktemp -d "${TMPDIR:-/tmp}/sifter32-package.XXXXXX")
export LC_ALL=C
SUDO=()
[ "$(id -u)" -eq 0 ] || SUDO=(sudo)
installed_here=0

cleanup() {
    if [ "$installed_here" -eq 1 ]; then
        "${SUDO[@]}" env DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq sifter32 \
            >"$WORK/cleanup.log" 2>&1 ||
            { echo "package: could not purge sifter32, remove it by hand:" >&2; cat "$WORK/cleanup.log" >&2; }
    fi
    rm -rf "$WORK"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}
started=$SECONDS

# --- The package file itself.
if ! lintian --fail-on error,warning --info "$DEB" >"$WORK/lintian" 2>&1; then
    fail "lintian reports errors or warnings:"
    grep -v '^running with root privileges' "$WORK/lintian" >&2
fi

field() { dpkg-deb -f "$DEB" "$1"; }
version=$("$BUILT_CLI" --version | sed -n 's/^sifter32-cli //p')
[ "$(field Package)" = sifter32 ] || fail "package name '$(field Package)'"
[[ $(field Version) =~ ^${version//./\\.}-[0-9]+$ ]] || fail "package version '$(field Version)', the programs are $version"
[ "$(field Architecture)" = "$(dpkg --print-architecture)" ] || fail "architecture '$(field Architecture)'"

# Every path with its mode and owner; directories are checked by lintian and dpkg.
dpkg-deb -c "$DEB" | awk '$1 !~ /^d/ { sub(/^\./, "", $6); print $1, $2, $6 }' | sort >"$WORK/contents"
sort "$HERE/expected_contents.txt" | grep -v '^#' >"$WORK/expected"
diff -u "$WORK/expected" "$WORK/contents" >&2 || fail "the package's files differ from expected_contents.txt (above)"

mkdir "$WORK/tree"
dpkg-deb -x "$DEB" "$WORK/tree"
desktop-file-validate "$WORK/tree/usr/share/applications/sifter32.desktop" >&2 ||
    fail "desktop-file-validate rejects sifter32.desktop"
appstreamcli validate --no-net "$WORK"/tree/usr/share/metainfo/*.metainfo.xml >"$WORK/appstream" 2>&1 ||
    { fail "appstreamcli rejects the metainfo:"; cat "$WORK/appstream" >&2; }
# Each icon is the program's 32x32 picture, every pixel blown up to a square block.
for png in "$WORK"/tree/usr/share/icons/hicolor/*/apps/sifter32.png; do
    size=$(basename "$(dirname "$(dirname "$png")")")
    [ "$(identify -format '%wx%h' "$png")" = "$size" ] || fail "$size icon is $(identify -format '%wx%h' "$png")"
    differing=$(convert "$png" -sample 32x32 png:- | compare -metric AE "$HERE/../../resources/sifter32.xpm" - null: 2>&1)
    [ "$differing" = 0 ] || fail "$size icon: $differing pixels differ from the program's picture"
done

# --- Installed, run, and purged again. Refuse to touch a copy someone installed already.
if dpkg-query -W -f='${Status}' sifter32 2>/dev/null | grep -q 'installed$'; then
    fail "sifter32 is already installed on this machine; purge it (apt-get purge sifter32) and run again"
    exit 1
fi
if [ "${#SUDO[@]}" -ne 0 ] && ! command -v sudo >/dev/null; then
    fail "installing the package needs root or sudo"
    exit 1
fi

# Minimal images tell dpkg to leave out manual pages and documentation; the package's own are
# let in, so that what is checked is the package and not the machine's trimming.
dpkg_options=()
if grep -hs '^path-exclude' /etc/dpkg/dpkg.cfg /etc/dpkg/dpkg.cfg.d/* >"$WORK/excluded"; then
    echo "package: this machine's dpkg leaves out $(tr '\n' ' ' <"$WORK/excluded"); the package's own files are let in" >&2
    for path in '/usr/share/man/man1/sifter32*' /usr/share/doc/sifter32 '/usr/share/doc/sifter32/*'; do
        dpkg_options+=(-o "Dpkg::Options::=--path-include=$path")
    done
fi

# Which of the package's directories are there before it is installed: after the purge,
# exactly those may remain. A file in the package's place would be overwritten, then purged.
dpkg-deb -c "$DEB" | awk '{ sub(/^\./, "", $6); sub(/\/$/, "", $6); if ($6 != "") print $6 }' >"$WORK/paths"
: >"$WORK/existing"
while read -r path; do
    if [ -d "$path" ]; then
        echo "$path" >>"$WORK/existing"
    elif [ -e "$path" ] || [ -L "$path" ]; then
        echo "$path" >>"$WORK/clashes"
    fi
done <"$WORK/paths"
if [ -s "$WORK/clashes" ]; then
    fail "files of the package exist before it is installed, so it is not: $(tr '\n' ' ' <"$WORK/clashes")"
    exit 1
fi

installed_here=1
if ! "${SUDO[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
        "${dpkg_options[@]}" "$DEB" >"$WORK/install.log" 2>&1; then
    cat "$WORK/install.log" >&2
    fail "apt-get install $DEB failed"
    exit 1
fi

dpkg -L sifter32 | grep -vx '/\.' >"$WORK/listed"
diff <(sort "$WORK/paths") <(sort "$WORK/listed") >&2 || fail "dpkg -L sifter32 differs from the package's contents"
while read -r path; do [ -e "$path" ] || fail "$path is missing after the install"; done <"$WORK/listed"

# Each library the programs are linked against must come from a package it depends on.
for program in /usr/bin/sifter32 /usr/bin/sifter32-cli; do
    ldd "$program" >"$WORK/ldd"
    ! grep 'not found' "$WORK/ldd" >&2 || fail "$program: libraries not found (above)"
    for soname in $(objdump -p "$program" | awk '$1 == "NEEDED" { print $2 }'); do
        # "libc.so.6 => /lib/...", or the dynamic loader under its own path alone.
        path=$(awk -v soname="$soname" '($1 == soname && $2 == "=>") { print $3 }
            $1 ~ "/" && substr($1, length($1) - length(soname)) == "/" soname { print $1 }' "$WORK/ldd")
        [ -n "$path" ] || { fail "$program: ldd shows no path for $soname"; continue; }
        owner=$(dpkg -S "$path" 2>/dev/null || dpkg -S "${path#/usr}" 2>/dev/null || dpkg -S "/usr$path" 2>/dev/null)
        owner=${owner%%:*}
        [ -n "$owner" ] || { fail "$program: no package owns $soname ($path)"; continue; }
        field Depends | tr ',' '\n' | awk '{ print $1 }' | grep -qxF "$owner" ||
            fail "$program needs $soname from $owner, which Depends ($(field Depends)) does not name"
    done
done

# The installed program gives the same rows, summary and exit code as the build's.
corpus=$WORK/corpus
mkdir "$corpus"
printf 'program One;\r\nbegin\r\n  Total := 0;\r\nEND.\r\n' >"$corpus/one.pas"
printf 'unit Two;\r\nprocedure Begin_It(x);\r\nbegin\r\n  caf\351 total\r\nend;\r\n\032tail begin\r\n' >"$corpus/Two.pas"
printf 'proc Totals(x)\r\n  total = x\r\nendproc\r\nproc Other()\r\n  return TOTAL\r\nendproc\r\n' >"$corpus/a.sc"
printf 'no match here\r\n' >"$corpus/b.sc"
printf 'begin\r\n' >"$corpus/.hidden.pas"
cases=("--scripts|--procs|$corpus|total" "$corpus|begin" "--case-sensitive|$corpus|Begin"
       "$corpus|"$'caf\xc3\xa9' "--scripts|$corpus|absent" "$corpus/missing|x" "--bogus")
for args in "${cases[@]}"; do
    IFS='|' read -r -a argv <<<"$args"
    for which in built installed; do
        if [ "$which" = built ]; then cli=$BUILT_CLI; else cli=/usr/bin/sifter32-cli; fi
        "$cli" "${argv[@]}" >"$WORK/$which.out" 2>"$WORK/$which.err"
        echo $? >"$WORK/$which.status"
    done
    for stream in out err status; do
        cmp -s "$WORK/built.$stream" "$WORK/installed.$stream" ||
            fail "[$args]: the installed sifter32-cli's $stream differs from the build's"
    done
done
# The comparison means something only if the rows are there.
[ "$(/usr/bin/sifter32-cli "$corpus" begin 2>/dev/null | grep -c '^\[[0-9]*\] ')" -eq 3 ] ||
    fail "the installed sifter32-cli does not find the 3 lines that hold 'begin'"

# The installed window program comes up and runs its start-up search; it is still running,
# waiting for the user, when it is stopped.
QT_QPA_PLATFORM=offscreen timeout 5 /usr/bin/sifter32 "$corpus" begin /A >"$WORK/window.log" 2>&1
status=$?
[ "$status" -eq 124 ] || fail "the installed sifter32 ended with status $status: $(head -c 500 "$WORK/window.log")"

for page in sifter32 sifter32-cli; do
    found=$(man -w "$page" 2>&1)
    [ "$found" = "/usr/share/man/man1/$page.1.gz" ] || fail "man -w $page: '$found'"
done

# --- Purged: every file of the package gone, and every directory that it brought.
installed_here=0
if ! "${SUDO[@]}" env DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq sifter32 >"$WORK/purge.log" 2>&1; then
    cat "$WORK/purge.log" >&2
    fail "apt-get purge sifter32 failed"
fi
while read -r path; do
    if [ -e "$path" ] || [ -L "$path" ]; then
        grep -qxF "$path" "$WORK/existing" || fail "$path is left after the purge"
    fi
done <"$WORK/listed"
# dpkg keeps no record of a purged package.
if dpkg-query -W -f='${Status}' sifter32 >/dev/null 2>&1; then
    fail "dpkg still knows sifter32: $(dpkg-query -W -f='${Status}' sifter32)"
fi

if [ "$failures" -ne 0 ]; then
    echo "package: $failures check(s) failed" >&2
    exit 1
fi
echo "package: $(basename "$DEB") passes lintian, installs, runs, and purges cleanly ($((SECONDS - started)) s)"
