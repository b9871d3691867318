#!/usr/bin/env bash
# How a search of a whole tree grows with the tree: sifter32-cli -r against ripgrep (rg -n, its
# own number of threads) and grep -rn, each with the masks *.pas, *.pp and *.inc, on the Free
# Pascal sources as installed (one copy), on ten copies of them side by side (hard links: the
# walk sees ten times the directories, files and bytes, the page cache holds one copy) and on a
# deep tree (a chain of 200 directories, each with a few of those sources). Warm: the median of
# ROUNDS runs, the commands taking turns. Cold, where the page cache can be dropped (root on
# Linux): one run of each, the cache dropped before every run, beside cat reading the same
# files eight at a time. Also the peak resident size of sifter32-cli in each output form, and
# the time of the ten copies against the one copy's.
#   bench/tree_scale.sh BUILD_DIR [ROUNDS]
# With BEFORE=path/to/another/sifter32-cli, that program takes its turn too (before and after
# in one run). The trees are kept in BUILD_DIR/bench-corpus.
set -euo pipefail
build=$(cd "${1:?build directory}" && pwd)
rounds=${2:-7}
before=${BEFORE:-}
source_tree=${SOURCE:-/usr/share/fpcsrc/3.2.2}
corpus=$build/bench-corpus
export LC_ALL=C
[[ -d $source_tree ]] || { echo "tree_scale: $source_tree is missing (package fpc-source)" >&2; exit 3; }
command -v rg >/dev/null || { echo "tree_scale: rg is missing (package ripgrep)" >&2; exit 3; }
out=$(mktemp /tmp/sifter32-scale-XXXXXX)
trap 'rm -f "$out"' EXIT

# Ten copies, linked rather than copied where the corpus is on the source's file system.
ten=$corpus/fpc-ten
if [[ ! -f $ten/.complete ]]; then
  rm -rf "$ten" && mkdir -p "$ten"
  for i in 0 1 2 3 4 5 6 7 8 9; do
    cp -al "$source_tree" "$ten/copy$i" 2>/dev/null || cp -a "$source_tree" "$ten/copy$i"
  done
  touch "$ten/.complete"
fi
# A chain of 200 directories, each holding four sources of the tree.
deep=$corpus/fpc-deep
if [[ ! -f $deep/.complete ]]; then
  rm -rf "$deep" && mkdir -p "$deep"
  mapfile -t sources < <(find "$source_tree/rtl/objpas" -maxdepth 1 -name '*.pp' | sort | head -n 4)
  level=$deep
  for ((d = 0; d < 200; d++)); do
    level=$level/d
    mkdir "$level"
    for f in "${sources[@]}"; do ln "$f" "$level/" 2>/dev/null || cp "$f" "$level/"; done
  done
  touch "$deep/.complete"
fi

masks=('*.pas' '*.pp' '*.inc')
cli_masks=(--mask "$(IFS=';' && echo "${masks[*]}")")
rg_masks=() grep_masks=()
for m in "${masks[@]}"; do rg_masks+=(-g "$m") && grep_masks+=("--include=$m"); done
can_drop=no
[[ -w /proc/sys/vm/drop_caches ]] && can_drop=yes

run_us() {
  local start end
  start=$EPOCHREALTIME
  "$@" >"$out" 2>/dev/null || true
  end=$EPOCHREALTIME
  echo $((${end/./} - ${start/./}))
}
cold_us() {
  sync && echo 3 >/proc/sys/vm/drop_caches
  run_us "$@"
}
median_ms() { sort -n | awk '{a[NR]=$1} END {printf "%.1f", a[int((NR+1)/2)]/1000}'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN {printf "%.2f", a / b}'; }

echo "machine: $(nproc) cores, load average $(cut -d' ' -f1-3 /proc/loadavg); cold runs: $can_drop"
declare -A one_ms=()
row() {
  local label=$1 dir=$2 text=$3
  local ours=() rgs=() greps=() olds=() i b
  local cmd_ours=("$build/sifter32-cli" -r "${cli_masks[@]}" -- "$dir" "$text")
  local cmd_old=("$before" -r "${cli_masks[@]}" -- "$dir" "$text")
  local cmd_rg=(rg -n --no-ignore "${rg_masks[@]}" -- "$text" "$dir")
  local cmd_grep=(grep -rn "${grep_masks[@]}" -- "$text" "$dir")
  grep -r "${grep_masks[@]}" -- "$text" "$dir" >/dev/null || true  # a warm page cache
  for ((i = 0; i < rounds; i++)); do
    ours+=("$(run_us "${cmd_ours[@]}")")
    [[ -n $before ]] && olds+=("$(run_us "${cmd_old[@]}")")
    rgs+=("$(run_us "${cmd_rg[@]}")")
    greps+=("$(run_us "${cmd_grep[@]}")")
  done
  local o r g line
  o=$(printf '%s\n' "${ours[@]}" | median_ms)
  r=$(printf '%s\n' "${rgs[@]}" | median_ms)
  g=$(printf '%s\n' "${greps[@]}" | median_ms)
  line=$(printf '%-22s %-7s warm: ours %7s ms | rg %7s ms %s | grep %7s ms %s' "$label" "$text" \
    "$o" "$r" "$(ratio "$o" "$r")" "$g" "$(ratio "$o" "$g")")
  if [[ -n $before ]]; then
    local b
    b=$(printf '%s\n' "${olds[@]}" | median_ms)
    line+=$(printf ' | before %7s ms, / rg %s' "$b" "$(ratio "$b" "$r")")
  fi
  [[ $label == "ten copies" ]] && line+=$(printf ' | x%s of one copy' "$(ratio "$o" "${one_ms[$text]}")")
  [[ $label == "one copy" ]] && one_ms[$text]=$o
  echo "$line"
  if [[ $can_drop == yes ]]; then
    # What the disk gives: the same files read by cat, eight at a time.
    local cat_us
    cat_us=$(cold_us bash -c 'find "$1" \( -name "*.pas" -o -name "*.pp" -o -name "*.inc" \) -print0 |
      xargs -0 -P 8 -n 64 cat' cat "$dir")
    o=$(cold_us "${cmd_ours[@]}") && r=$(cold_us "${cmd_rg[@]}") && g=$(cold_us "${cmd_grep[@]}")
    line=$(printf '%-30s cold: ours %7.1f ms | rg %7.1f ms %s | grep %7.1f ms | cat x8 %7.1f ms %s' \
      "" "$(ratio "$o" 1000)" "$(ratio "$r" 1000)" "$(ratio "$o" "$r")" "$(ratio "$g" 1000)" \
      "$(ratio "$cat_us" 1000)" "$(ratio "$o" "$cat_us")")
    if [[ -n $before ]]; then
      b=$(cold_us "${cmd_old[@]}")
      line+=$(printf ' | before %7.1f ms' "$(ratio "$b" 1000)")
    fi
    echo "$line"
  fi
  # The peak resident size of each form, in MiB.
  local form peaks=""
  for form in "" --format=grep -c -l; do
    /usr/bin/time -f '%M' -o "$out.rss" "$build/sifter32-cli" $form -r "${cli_masks[@]}" -- \
      "$dir" "$text" >/dev/null 2>&1 || true
    peaks+=" ${form:-rows} $(awk '{printf "%.1f", $1 / 1024}' <(tail -n 1 "$out.rss"))"
  done
  rm -f "$out.rss"
  echo "$(printf '%-30s' '') peak MiB:$peaks"
}

for text in Result Zzqx; do
  row "one copy" "$source_tree" "$text"
  row "ten copies" "$ten" "$text"
  row "deep, 200 levels" "$deep" "$text"
done
echo "trees: one copy $(find "$source_tree" -type d | wc -l) directories; ten $(find "$ten" -type d | wc -l) directories, $(find "$ten" -type f \( -name '*.pas' -o -name '*.pp' -o -name '*.inc' \) | wc -l) files; deep $(find "$deep" -type f | wc -l) files"
