#!/usr/bin/env bash
# Times sifter32-cli against grep -n -F and ripgrep (rg -n -F --no-ignore, its own number of
# threads) in one run, the commands taking turns, on the Pascal sources of Debian's
# fpc-source-3.2.2 copied flat (bench/pascal_corpus.sh; kept in the build directory), when the
# package is there, once with CR LF line ends and once with LF as they come, the two forms
# taking turns row by row; on the whole fpc-source tree with subdirectories and three masks
# (grep -r and rg with the same masks), also with two lines of context around each match and
# with directories left out, and with Pascal's options against the same search without them;
# and on a generated corpus.
#   bench/compare.sh BUILD_DIR [ROUNDS] [FILES] [BYTES_PER_FILE]
# With BEFORE=path/to/another/sifter32-cli, that program takes its turn too (an older build,
# for before-and-after figures). Prints the median wall time of each command and the ratios.
set -euo pipefail
build=$(cd "${1:?build directory}" && pwd)
rounds=${2:-11}
files=${3:-2000}
bytes=${4:-50000}
before=${BEFORE:-}
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d /tmp/sifter32-bench-XXXXXX)
trap 'rm -rf "$work"' EXIT
export LC_ALL=C
have_rg=$(command -v rg || true)

echo "machine: $(nproc) cores, $(uname -m), load average $(cut -d' ' -f1-3 /proc/loadavg)"
[[ -n $have_rg ]] || echo "rg not found: no ripgrep column"

# Wall time of one run in microseconds, read from the shell's own clock (starting a `date`
# inside the timed span would add its own start to every figure); the output goes to a file
# (grep stops early when it writes to /dev/null).
run_us() {
  local start end
  start=$EPOCHREALTIME
  "$@" >"$work/out.txt" 2>/dev/null || true
  end=$EPOCHREALTIME
  echo $((${end/./} - ${start/./}))
}

median_ms() {
  sort -n | awk '{a[NR]=$1} END {printf "%.1f", a[int((NR+1)/2)]/1000}'
}

ratio() {
  awk -v a="$1" -v b="$2" 'BEGIN {printf "%.2f", a / b}'
}

# The commands take turns, so that a machine that speeds up or slows down during the run weighs
# on all alike. Before a call, `cli`, `grep_cmd` and `rg_cmd` hold the three commands; `before`
# runs with the arguments of `cli`.
time_row() {
  local label=$1
  local ours=() old=() greps=() rgs=()
  for ((i = 0; i < rounds; i++)); do
    ours+=("$(run_us "$build/sifter32-cli" "${cli[@]}")")
    [[ -n $before ]] && old+=("$(run_us "$before" "${cli[@]}")")
    greps+=("$(run_us "${grep_cmd[@]}")")
    [[ -n $have_rg ]] && rgs+=("$(run_us "${rg_cmd[@]}")")
  done
  local ours_ms grep_ms line
  ours_ms=$(printf '%s\n' "${ours[@]}" | median_ms)
  grep_ms=$(printf '%s\n' "${greps[@]}" | median_ms)
  line=$(printf '%-40s sifter32-cli %6s ms | grep %6s ms %s' "$label" "$ours_ms" "$grep_ms" \
    "$(ratio "$ours_ms" "$grep_ms")")
  if [[ -n $have_rg ]]; then
    local rg_ms
    rg_ms=$(printf '%s\n' "${rgs[@]}" | median_ms)
    line+=$(printf ' | rg %6s ms %s' "$rg_ms" "$(ratio "$ours_ms" "$rg_ms")")
  fi
  if [[ -n $before ]]; then
    local old_ms
    old_ms=$(printf '%s\n' "${old[@]}" | median_ms)
    line+=$(printf ' | before %6s ms, / grep %s' "$old_ms" "$(ratio "$old_ms" "$grep_ms")")
    [[ -n $have_rg ]] && line+=$(printf ', / rg %s' "$(ratio "$old_ms" "$rg_ms")")
  fi
  "$build/sifter32-cli" "${cli[@]}" 2>"$work/summary.txt" >/dev/null || true
  [[ -s $work/summary.txt ]] && line+="   ($(sed 's/^ *Sifter32 //' "$work/summary.txt"))"
  echo "$line"
}

# One directory's *.pas files. `case` is "sensitive" or "ignore".
compare() {
  local label=$1 text=$2 case=$3
  local cli_flags=() grep_flags=() rg_flags=()
  if [[ $case == sensitive ]]; then cli_flags=(--case-sensitive); else grep_flags=(-i); rg_flags=(-i); fi
  cat ./*.pas >/dev/null  # all start from a warm page cache
  cli=("${cli_flags[@]}" -- . "$text")
  grep_cmd=(grep -n -F "${grep_flags[@]}" -- "$text" ./*.pas)
  rg_cmd=(rg -n -F --no-ignore "${rg_flags[@]}" -- "$text")
  time_row "$label '$text'"
}

# A whole tree with its subdirectories and the masks of `masks`; with WORD, whole words only.
masks=('*.pas' '*.pp' '*.inc')
compare_tree() {
  local label=$1 text=$2 case=$3 word=${4:-}
  local cli_flags=(-r --mask "$(IFS=';' && echo "${masks[*]}")") grep_flags=(-r) rg_flags=()
  local m
  for m in "${masks[@]}"; do grep_flags+=("--include=$m") && rg_flags+=(-g "$m"); done
  if [[ $case == sensitive ]]; then cli_flags+=(--case-sensitive); else grep_flags+=(-i) && rg_flags+=(-i); fi
  if [[ -n $word ]]; then cli_flags+=(-w) && grep_flags+=(-w) && rg_flags+=(-w); fi
  grep -F "${grep_flags[@]}" -- "$text" . >/dev/null || true  # a warm page cache
  cli=("${cli_flags[@]}" -- . "$text")
  grep_cmd=(grep -n -F "${grep_flags[@]}" -- "$text" .)
  rg_cmd=(rg -n -F --no-ignore "${rg_flags[@]}" -- "$text")
  time_row "$label '$text'"
}

# The grep form with two lines around each match, on the whole tree with the three masks, and
# the same with the test and example directories left out (grep --exclude-dir, rg's glob that
# leaves out a path's part of that name); letter case ignored, as sifter32-cli ignores it.
leave_out=(tests examples)
compare_context() {
  local label=$1 text=$2 leave=${3:-}
  local cli_flags=(-r -C 2 --format=grep --mask "$(IFS=';' && echo "${masks[*]}")")
  local grep_flags=(-rn -i -F -C 2) rg_flags=(-n -i -F -C 2 --no-ignore) m
  for m in "${masks[@]}"; do grep_flags+=("--include=$m") && rg_flags+=(-g "$m"); done
  if [[ -n $leave ]]; then
    for m in "${leave_out[@]}"; do
      cli_flags+=("--exclude-dir=$m") && grep_flags+=("--exclude-dir=$m") && rg_flags+=(-g "!$m")
    done
  fi
  cli=("${cli_flags[@]}" -- . "$text")
  grep_cmd=(grep "${grep_flags[@]}" -- "$text" .)
  rg_cmd=(rg "${rg_flags[@]}" -- "$text")
  time_row "$label '$text'"
  echo "    $("$build/sifter32-cli" "${cli[@]}" 2>/dev/null | wc -l) lines of sifter32-cli"
}

pascal=$build/bench-corpus/fpc-source
pascal_lf=$build/bench-corpus/fpc-source-lf
if bash "$here/pascal_corpus.sh" "$pascal" && bash "$here/pascal_corpus.sh" "$pascal_lf" "" lf; then
  echo "corpus: $(find "$pascal" -name '*.pas' | wc -l) Pascal sources of fpc-source-3.2.2, $(du -sm "$pascal" | cut -f1) MB with CR LF, $(du -sm "$pascal_lf" | cut -f1) MB with LF"
  for row in "case-sensitive|Result|sensitive" "ignore case|begin|ignore" \
             "case-sensitive, rare|ExceptAddr|sensitive" "ignore case, no match|Zzqx|ignore"; do
    IFS='|' read -r label text case <<<"$row"
    (cd "$pascal" && compare "CR LF, $label" "$text" "$case")
    (cd "$pascal_lf" && compare "LF, $label" "$text" "$case")
  done
else
  echo "corpus: fpc-source-3.2.2 is not installed; only the generated corpus"
fi

# A whole project tree as it is (LF line ends, subdirectories, three masks), with a whole-word
# row beside the plain one of the same text.
tree=/usr/share/fpcsrc/3.2.2
if [[ -d $tree ]]; then
  echo "tree: fpc-source-3.2.2 as installed, $(find "$tree" -type d | wc -l) directories, $(find "$tree" -type f \( -name '*.pas' -o -name '*.pp' -o -name '*.inc' \) | wc -l) files of ${masks[*]}"
  (cd "$tree" &&
    compare_tree "tree, ignore case" begin ignore &&
    compare_tree "tree, case-sensitive" Result sensitive &&
    compare_tree "tree, case-sensitive, whole word" Result sensitive word &&
    compare_tree "tree, ignore case, whole word" begin ignore word &&
    compare_tree "tree, ignore case, no match" Zzqx ignore)
  echo "context lines, -C 2 (--format=grep), the same tree and masks:"
  (cd "$tree" &&
    compare_context "tree, -C 2" begin &&
    compare_context "tree, -C 2" Result &&
    compare_context "tree, -C 2" FreeAndNil &&
    compare_context "tree, -C 2, tests and examples left out" begin leave &&
    compare_context "tree, -C 2, tests and examples left out" FreeAndNil leave)
fi

# Pascal's own options against the same search without them, on the whole tree with the three
# masks, the two commands taking turns: the routine rows (--routines) and code only (--in=code).
# Each row gives both medians, their ratio and each one's peak memory (GNU time -v).
peak_kb() {
  /usr/bin/time -v "$build/sifter32-cli" "$@" 2>&1 >/dev/null |
    awk -F': ' '/Maximum resident set size/ {print $2}'
}
compare_option() {
  local label=$1 option=$2 text=$3 case=$4
  local base=(-r --format=grep --mask "$(IFS=';' && echo "${masks[*]}")")
  [[ $case == sensitive ]] && base+=(--case-sensitive)
  local plain=() with=()
  for ((i = 0; i < rounds; i++)); do
    plain+=("$(run_us "$build/sifter32-cli" "${base[@]}" -- . "$text")")
    with+=("$(run_us "$build/sifter32-cli" "${base[@]}" "$option" -- . "$text")")
  done
  local plain_ms with_ms
  plain_ms=$(printf '%s\n' "${plain[@]}" | median_ms)
  with_ms=$(printf '%s\n' "${with[@]}" | median_ms)
  local line
  line=$(printf '%-40s %s %6s ms | without %6s ms | ratio %s' "$label '$text'" "$option" \
    "$with_ms" "$plain_ms" "$(ratio "$with_ms" "$plain_ms")")
  if [[ -x /usr/bin/time ]]; then
    line+=" | peak $(peak_kb "${base[@]}" "$option" -- . "$text") KB, without"
    line+=" $(peak_kb "${base[@]}" -- . "$text") KB"
  fi
  echo "$line"
}
if [[ -d $tree ]]; then
  echo "Pascal's options, the same tree and masks, against the same search without the option:"
  (cd "$tree" &&
    compare_option "tree, case-sensitive" --routines Result sensitive &&
    compare_option "tree, ignore case" --routines begin ignore &&
    compare_option "tree, ignore case" --in=code FreeAndNil ignore)
fi

mkdir "$work/corpus"
"$build/bench/make_corpus" "$work/corpus" "$files" "$bytes"
echo "corpus: $files generated files, $(du -sm "$work/corpus" | cut -f1) MB"
cd "$work/corpus"
compare "case-sensitive" begin sensitive
compare "ignore case" begin ignore
compare "case-sensitive, no match" Overflow sensitive
compare "ignore case, no match" overflow ignore
# An accented word, which sifter32-cli also finds in the Windows-1252 files (grep and rg, in
# bytes, only in the UTF-8 ones), against an ASCII word of the same byte length planted as often.
compare "case-sensitive, accented" $'na\xc3\xafve' sensitive
compare "case-sensitive, ASCII twin" native sensitive
compare "ignore case, accented" $'NA\xc3\xafVE' ignore
compare "ignore case, ASCII twin" NATIVE ignore

# Regular expressions: sifter32-cli --regexp against rg -n --no-ignore and grep -rn -E, each
# asked for the *.pas files only, on the Free Pascal tree as it is installed (--recursive) and
# on the flat copy of its sources. The first three patterns hold a literal that every match
# holds; the last holds none, so every line is handed to PCRE2.
compare_regexp() {
  local label=$1 pattern=$2 case=$3 recursive=$4
  local cli_flags=(--regexp --format=grep) grep_flags=() rg_flags=()
  [[ $case == sensitive ]] && cli_flags+=(--case-sensitive) || { grep_flags=(-i); rg_flags=(-i); }
  [[ $recursive == yes ]] && cli_flags+=(--recursive)
  cli=("${cli_flags[@]}" -- . "$pattern")
  grep_cmd=(grep -rn -E --include='*.pas' "${grep_flags[@]}" -- "$pattern" .)
  rg_cmd=(rg -n --no-ignore -g '*.pas' "${rg_flags[@]}" -- "$pattern")
  time_row "$label '$pattern'"
  # The peak memory by GNU time (Debian's package time), where it is installed.
  if [[ -x /usr/bin/time ]]; then
    /usr/bin/time -f '%M' -o "$work/peak" "$build/sifter32-cli" "${cli[@]}" >"$work/out.txt" 2>/dev/null || true
    echo "    $(wc -l <"$work/out.txt") lines, peak $(tail -1 "$work/peak") KB"
  fi
}

regexp_rows=("Result\\s*:=|sensitive" "\\bbegin\\b|ignore"
             "procedure\\s+T\\w+\\.Create|sensitive" "[0-9]{6,}|sensitive")
fpc_tree=/usr/share/fpcsrc/3.2.2
if [[ -d $fpc_tree ]]; then
  echo "regular expressions, the Free Pascal tree ($fpc_tree, --recursive):"
  for row in "${regexp_rows[@]}"; do
    IFS='|' read -r pattern case <<<"$row"
    (cd "$fpc_tree" && compare_regexp "tree, $case" "$pattern" "$case" yes)
  done
fi
if [[ -d $pascal ]]; then
  echo "regular expressions, the flat copy ($(du -sm "$pascal" | cut -f1) MB, one directory):"
  for row in "${regexp_rows[@]}"; do
    IFS='|' read -r pattern case <<<"$row"
    (cd "$pascal" && compare_regexp "flat, $case" "$pattern" "$case" no)
  done
fi
