#!/usr/bin/env bash
# The memory a search takes, whatever the corpus: the peak resident size of sifter32-cli (which
# holds no rows) searching the real Pascal sources (when bench/compare.sh laid them out) and a
# generated corpus of about 1 GB, against its peak on a directory of one small file. The
# difference is what reading ahead costs: the files read ahead and the rows held for them.
#   bench/memory.sh BUILD_DIR [MEGABYTES]
set -euo pipefail
build=$(cd "${1:?build directory}" && pwd)
megabytes=${2:-1024}
work=$(mktemp -d /tmp/sifter32-memory-XXXXXX)
trap 'rm -rf "$work"' EXIT
export LC_ALL=C
command -v /usr/bin/time >/dev/null || { echo "memory: /usr/bin/time is missing (package time)" >&2; exit 1; }

# Peak resident size in KiB of one search of TEXT in DIRECTORY; FLAGS before the two. With
# SLOW set, its output is taken by a reader that starts a second late, so that the search
# stops at its first full pipe and the files behind it are read ahead as far as they may be.
peak_kib() {
  local dir=$1 text=$2
  shift 2
  if [[ -n ${SLOW:-} ]]; then
    /usr/bin/time -f '%M' -o "$work/rss" "$build/sifter32-cli" "$@" -- "$dir" "$text" 2>/dev/null |
      { sleep 1; cat >/dev/null; } || true
  else
    /usr/bin/time -f '%M' -o "$work/rss" "$build/sifter32-cli" "$@" -- "$dir" "$text" >/dev/null 2>&1 || true
  fi
  tail -n 1 "$work/rss"
}

mib() { awk -v k="$1" 'BEGIN {printf "%.1f", k / 1024}'; }

report() {
  local label=$1 dir=$2 text=$3
  shift 3
  local peak
  peak=$(peak_kib "$dir" "$text" "$@")
  printf '%-44s peak %7s MiB, %6s MiB beyond one small file\n' "$label '$text'" "$(mib "$peak")" \
    "$(mib $((peak - base)))"
}

mkdir "$work/small"
printf 'begin\r\nend.\r\n' >"$work/small/one.pas"
base=$(peak_kib "$work/small" begin)
echo "memory: sifter32-cli on one small file: peak $(mib "$base") MiB"

pascal=$build/bench-corpus/fpc-source
if [[ -f $pascal/.complete ]]; then
  echo "corpus: Pascal sources of fpc-source-3.2.2, $(du -sm "$pascal" | cut -f1) MB"
  report "ignore case, every begin" "$pascal" begin
  report "case-sensitive" "$pascal" Result --case-sensitive
  report "no match" "$pascal" Zzqx
  SLOW=1 report "every begin, output read late" "$pascal" begin
fi

# A whole project tree, walked with three masks.
tree=/usr/share/fpcsrc/3.2.2
if [[ -d $tree ]]; then
  echo "tree: fpc-source-3.2.2 as installed, $(du -sm "$tree" | cut -f1) MB"
  report "tree, ignore case, every begin" "$tree" begin -r --mask '*.pas;*.pp;*.inc'
  report "tree, whole word, case-sensitive" "$tree" Result -r -w --case-sensitive --mask '*.pas;*.pp;*.inc'
  SLOW=1 report "tree, every begin, output read late" "$tree" begin -r --mask '*.pas;*.pp;*.inc'
fi

# About MEGABYTES of generated sources in files of 100 kB, and one file of about 64 MB whose
# every line matches: while its turn lasts, rows pile up for the files read ahead behind it.
files=$((megabytes * 10))
mkdir "$work/big"
"$build/bench/make_corpus" "$work/big" "$files" 100000 >/dev/null
awk 'BEGIN {for (i = 0; i < 2000000; i++) printf "begin total := total + %d;\r\n", i}' \
  >"$work/big/0000-first.pas"
echo "corpus: $files generated files and one of $(du -m "$work/big/0000-first.pas" | cut -f1) MB, $(du -sm "$work/big" | cut -f1) MB"
report "ignore case, every begin" "$work/big" begin
report "case-sensitive, no match" "$work/big" Overflow --case-sensitive
SLOW=1 report "every begin, output read late" "$work/big" begin
