#!/usr/bin/env bash
# Times sifter32-cli against grep -n -F on one generated corpus, in one run.
#   bench/compare.sh BUILD_DIR [FILES] [BYTES_PER_FILE] [ROUNDS]
# Prints the median wall time of each command and the ratio sifter32-cli / grep.
set -euo pipefail
build=$(cd "${1:?build directory}" && pwd)
files=${2:-2000}
bytes=${3:-50000}
rounds=${4:-11}
work=$(mktemp -d /tmp/sifter32-bench-XXXXXX)
trap 'rm -rf "$work"' EXIT
mkdir "$work/corpus"
"$build/bench/make_corpus" "$work/corpus" "$files" "$bytes"
echo "corpus: $files files, $(du -sm "$work/corpus" | cut -f1) MB"
cd "$work/corpus"
export LC_ALL=C

# Wall time of one run in microseconds; the output goes to a file (grep stops early when it
# writes to /dev/null).
run_us() {
  local start end
  start=$(date +%s%N)
  "$@" >"$work/out.txt" 2>/dev/null || true
  end=$(date +%s%N)
  echo $(((end - start) / 1000))
}

median_ms() {
  sort -n | awk '{a[NR]=$1} END {printf "%.1f", a[int((NR+1)/2)]/1000}'
}

# The two commands take turns, so that a machine that speeds up or slows down during the run
# weighs on both alike.
compare() {
  local label=$1 text=$2 cli_flags=$3 grep_flags=$4
  cat ./*.pas >/dev/null  # both start from a warm page cache
  local ours=() theirs=()
  for ((i = 0; i < rounds; i++)); do
    ours+=("$(run_us "$build/sifter32-cli" $cli_flags -- . "$text")")
    theirs+=("$(run_us grep -n -F $grep_flags -- "$text" ./*.pas)")
  done
  local ours_ms theirs_ms
  ours_ms=$(printf '%s\n' "${ours[@]}" | median_ms)
  theirs_ms=$(printf '%s\n' "${theirs[@]}" | median_ms)
  "$build/sifter32-cli" $cli_flags -- . "$text" 2>"$work/summary.txt" >/dev/null || true
  printf '%-38s sifter32-cli %7s ms   grep %7s ms   ratio %s   (%s)\n' "$label '$text'" \
    "$ours_ms" "$theirs_ms" "$(awk -v a="$ours_ms" -v b="$theirs_ms" 'BEGIN {printf "%.2f", a / b}')" \
    "$(sed 's/^ *//' "$work/summary.txt")"
}

compare "case-sensitive" begin "--case-sensitive" ""
compare "ignore case" begin "" "-i"
compare "case-sensitive, rare" Overflow "--case-sensitive" ""
compare "ignore case, rare" overflow "" "-i"
# An accented word, which sifter32-cli also finds in the Windows-1252 files (grep, in bytes, only
# in the UTF-8 ones), against an ASCII word of the same byte length planted as often.
compare "case-sensitive, accented" $'na\xc3\xafve' "--case-sensitive" ""
compare "case-sensitive, ASCII twin" native "--case-sensitive" ""
compare "ignore case, accented" $'NA\xc3\xafVE' "" "-i"
compare "ignore case, ASCII twin" NATIVE "" "-i"
