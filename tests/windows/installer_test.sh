#!/usr/bin/env bash
# The installer, as a Windows user's machine gets it, under Wine: a silent install puts every
# file of the package folder and the uninstaller under Program Files\Sifter32, the Start-menu
# entry and the uninstall key for Add or Remove Programs in place; the installed
# sifter32-cli.exe answers --version as the build's does; a silent uninstall leaves nothing of
# it. Whatever happens, the installation is taken away again.
#   installer_test.sh SETUP.exe PACKAGE-FOLDER
# The environment gives WINE and the WINEPREFIX to run in.
set -u
if [[ $# -ne 2 || ! -f $1 || ! -d $2 ]]; then
    echo "usage: $0 SETUP.exe PACKAGE-FOLDER" >&2
    exit 2
fi
SETUP=$(realpath "$1")
PACKAGE=$(realpath "$2")
WINE=${WINE:-wine}
installed="$WINEPREFIX/drive_c/Program Files/Sifter32"
menu_entry="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Sifter32.lnk"
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Sifter32'
failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

# The uninstaller copies itself elsewhere and starts the copy, which ends after the command
# that started it: the files are waited for.
uninstall() {
    [[ -f $installed/uninstall.exe ]] || return 0
    timeout 120 "$WINE" 'C:\Program Files\Sifter32\uninstall.exe' /S >/dev/null 2>&1
    for _ in $(seq 300); do
        [[ -e $installed ]] || return 0
        sleep 0.1
    done
}
expected=$(mktemp)
trap 'uninstall; rm -f "$expected"' EXIT

[[ ! -e $installed ]] || { fail "Sifter32 is installed already: $installed"; exit 1; }
timeout 120 "$WINE" "$SETUP" /S >/dev/null 2>&1 || fail "the silent install ended with status $?"

# Exactly the package's files, and the uninstaller.
(cd "$PACKAGE" && find . -type f && echo ./uninstall.exe) | sort >"$expected"
if ! diff <(cd "$installed" 2>/dev/null && find . -type f | sort) "$expected" >&2; then
    fail "the installed files are not the package's"
fi
while read -r file; do
    cmp -s "$PACKAGE/$file" "$installed/$file" || fail "installed $file differs from the package's"
done < <(cd "$PACKAGE" && find . -type f)
[[ -f $menu_entry ]] || fail "no Start-menu entry"
uninstall_entry=$("$WINE" reg query "$key" 2>/dev/null | tr -d '\r')
grep -q 'DisplayName.*REG_SZ.*Sifter32$' <<<"$uninstall_entry" || fail "no uninstall key: $uninstall_entry"
grep -q 'UninstallString.*REG_SZ.*"C:\\Program Files\\Sifter32\\uninstall.exe"$' <<<"$uninstall_entry" ||
    fail "the uninstall key names no uninstaller: $uninstall_entry"

version=$(timeout 60 "$WINE" 'C:\Program Files\Sifter32\sifter32-cli.exe' --version 2>&1 | tr -d '\r')
built=$(timeout 60 "$WINE" "$PACKAGE/sifter32-cli.exe" --version 2>&1 | tr -d '\r')
[[ -n $version && $version == "$built" ]] ||
    fail "the installed sifter32-cli.exe --version says '$version', expected '$built'"

uninstall
[[ ! -e $installed ]] || fail "left after uninstalling: $(cd "$installed" && find . | head -5)"
[[ ! -e $menu_entry ]] || fail "the Start-menu entry is left after uninstalling"
"$WINE" reg query "$key" >/dev/null 2>&1 && fail "the uninstall key is left after uninstalling"

if ((failures)); then
    echo "$failures check(s) failed" >&2
    exit 1
fi
echo "installer: installed, run and uninstalled"
