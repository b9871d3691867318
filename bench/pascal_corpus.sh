#!/usr/bin/env bash
# Lays out a corpus of real Pascal sources: every *.pas file of Debian's fpc-source-3.2.2, copied
# flat into one directory, with LF turned into CR LF as the legacy sources a user searches hold
# them (crlf, the default), or as they come, with the LF line ends of files written on Linux
# (lf). A name taken by an earlier file (in path order) gets -2, -3 and so on before its
# extension. The corpus is kept: a later call with the same directory does nothing.
#   bench/pascal_corpus.sh DIRECTORY [SOURCE [crlf|lf]]
# Exits 3 when the source tree is missing.
set -euo pipefail
dest=${1:?directory}
source_tree=${2:-/usr/share/fpcsrc/3.2.2}
line_ends=${3:-crlf}
[[ $line_ends == crlf || $line_ends == lf ]] || { echo "pascal_corpus.sh: crlf or lf, not $line_ends" >&2; exit 2; }
[[ -f $dest/.complete ]] && exit 0
[[ -d $source_tree ]] || exit 3

rm -rf "$dest"
mkdir -p "$dest"
declare -A taken=()
while IFS= read -r -d '' path; do
  name=${path##*/}
  base=${name%.*}
  ext=${name##*.}
  key=$name
  n=1
  while [[ -n ${taken[$key]:-} ]]; do key=$base-$((++n)).$ext; done
  taken[$key]=1
  if [[ $line_ends == lf ]]; then
    cp "$path" "$dest/$key"
  else
    # Only LF becomes CR LF: a last line without a line end stays without one.
    perl -pe 's/\n/\r\n/' "$path" >"$dest/$key"
  fi
done < <(find "$source_tree" -type f -name '*.pas' -print0 | LC_ALL=C sort -z)
touch "$dest/.complete"
