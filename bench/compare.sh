#!/usr/bin/env bash
# Times sifter32-cli against grep -n -F on one generated corpus, in one run.
#   bench/compare.sh BUILD_DIR [FILES] [BYTES_PER_FILE] [ROUNDS]
# Prints the median wall time of each command and the ratio sifter32-cli / grep.
set -euo pipefail
build=$(cd "${1:?build directory}" && pwd)
files=${2:-2000}
bytes=${3:-50000}
rounds=${4:-7}
work=$(mktemp -d /tmp/sifter32-bench-XXXXXX)
trap 'rm -rf "$work"' EXIT
mkdir "$work/corpus"
"$build/bench/make_corpus" "$work/corpus" "$files" "$bytes"
echo "corpus: $files files, $(du -sm "$work/corpus" | cut -f1) MB"
cd "$work/corpus"
export LC_ALL=C

# Median of ROUNDS wall times, in milliseconds; the output goes to a file (grep stops early
# when it writes to /dev/null).
median_ms() {
  local times=() start end
  for ((i = 0; i < rounds; i++)); do
    start=$(date +%s%N)
    "$@" >"$work/out.txt" 2>/dev/null || true
    end=$(date +%s%N)
    times+=($(((end - start) / 1000)))
  done
  printf '%s\n' "${times[@]}" | sort -n | awk '{a[NR]=$1} END {printf "%.1f", a[int((NR+1)/2)]/1000}'
}

compare() {
  local label=$1 text=$2 cli_flags=$3 grep_flags=$4
  cat ./*.pas >/dev/null  # both runs start from a warm page cache
  local ours theirs
  ours=$(median_ms "$build/sifter32-cli" $cli_flags -- . "$text")
  theirs=$(median_ms grep -n -F $grep_flags -- "$text" ./*.pas)
  "$build/sifter32-cli" $cli_flags -- . "$text" 2>"$work/summary.txt" >/dev/null || true
  printf '%-28s sifter32-cli %8s ms   grep %8s ms   ratio %s   (%s)\n' "$label '$text'" \
    "$ours" "$theirs" "$(awk -v a="$ours" -v b="$theirs" 'BEGIN {printf "%.2f", a / b}')" \
    "$(sed 's/^ *//' "$work/summary.txt")"
}

compare "case-sensitive" begin "--case-sensitive" ""
compare "ignore case" begin "" "-i"
compare "case-sensitive, rare" Overflow "--case-sensitive" ""
compare "ignore case, rare" overflow "" "-i"
