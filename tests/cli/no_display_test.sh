#!/usr/bin/env bash
# The window program without a display to open its window on: one line on standard error and
# exit status 1, never Qt's abort; with a platform that needs no display it comes up as usual.
#   no_display_test.sh PATH-TO-sifter32
set -u
if [ $# -ne 1 ] || [ ! -x "$1" ]; then
    echo "usage: $0 PATH-TO-sifter32" >&2
    exit 2
fi
PROGRAM=$(cd "$(dirname "$1")" && pwd -P)/$(basename "$1")
WORK=$(mktemp -d "${TMPDIR:-/tmp}/sifter32-no-display.XXXXXX")
trap 'rm -rf "$WORK"' EXIT
failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}
prefix='sifter32: cannot open the window: '

# ENVIRONMENT|STATUS|STDERR: the run's only variables besides PATH, HOME and the sanitizers'
# (blank-separated), its exit status (124: still running when stopped after 3 seconds), and
# the whole of stderr ('*' first: a part of it).
cases=(
    "|1|${prefix}no display (neither DISPLAY nor WAYLAND_DISPLAY is set)"
    "DISPLAY=|1|${prefix}no display (neither DISPLAY nor WAYLAND_DISPLAY is set)"
    "QT_QPA_PLATFORM=xcb|1|${prefix}no display for QT_QPA_PLATFORM=xcb (DISPLAY is not set)"
    "QT_QPA_PLATFORM=wayland;xcb|1|${prefix}no display for QT_QPA_PLATFORM=wayland;xcb (neither DISPLAY nor WAYLAND_DISPLAY is set)"
    "QT_QPA_PLATFORM=wayland-egl|1|${prefix}no display for QT_QPA_PLATFORM=wayland-egl (neither WAYLAND_DISPLAY nor XDG_RUNTIME_DIR is set)"
    "DISPLAY=:nowhere|1|${prefix}could not connect to display :nowhere"
    "QT_QPA_PLATFORM=offscreen|124|*"
    "QT_QPA_PLATFORM=xcb;offscreen:fontengine=freetype|124|*could not connect to display"
)
pids=()
for i in "${!cases[@]}"; do
    IFS='|' read -r variables _ _ <<<"${cases[$i]}"
    read -r -a assignments <<<"$variables"
    env -i PATH="$PATH" HOME="$WORK" LC_ALL=C ${ASAN_OPTIONS+ASAN_OPTIONS="$ASAN_OPTIONS"} \
        ${UBSAN_OPTIONS+UBSAN_OPTIONS="$UBSAN_OPTIONS"} "${assignments[@]}" \
        timeout 3 "$PROGRAM" "$WORK" >"$WORK/out.$i" 2>"$WORK/err.$i" &
    pids[$i]=$!
done
for i in "${!cases[@]}"; do
    wait "${pids[$i]}"
    status=$?
    IFS='|' read -r variables expected_status expected_err <<<"${cases[$i]}"
    what="[${variables:-no display variable}]"
    err=$(cat "$WORK/err.$i")
    [ "$status" -eq "$expected_status" ] || fail "$what: exit status $status, expected $expected_status (stderr: $err)"
    [ ! -s "$WORK/out.$i" ] || fail "$what: wrote to stdout: $(head -c 200 "$WORK/out.$i")"
    case $expected_err in
        \**) [[ $err == *"${expected_err#\*}"* ]] || fail "$what: stderr '$err' lacks '${expected_err#\*}'" ;;
        *) [ "$err" = "$expected_err" ] || fail "$what: stderr is '$err', expected '$expected_err'" ;;
    esac
    [[ $err != *"$prefix"* || $expected_status -eq 1 ]] || fail "$what: came up, yet said it could not"
done

if [ "$failures" -ne 0 ]; then
    echo "$failures check(s) failed" >&2
    exit 1
fi
echo "all checks passed"
