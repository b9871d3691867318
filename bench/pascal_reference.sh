#!/usr/bin/env bash
# Compares the routine rows of a search with --routines against Free Pascal's own parser
# (fcl-passrc, Debian's fp-units-fcl) on a sample of the units of the Free Pascal tree: which
# routines with a body each file has, and which routine each line with an assignment (:=)
# lies in. Slow (one parser run per file); not run by ctest.
#   bench/pascal_reference.sh BUILD_DIR [EVERY_NTH]   (BUILD_DIR with SIFTER32_BUILD_BENCH=ON)
# Prints the counts, the differences by kind and a few of each kind.
set -euo pipefail
build=$(cd "${1:?build directory}" && pwd)
every=${2:-4}
here=$(cd "$(dirname "$0")" && pwd)
tree=/usr/share/fpcsrc/3.2.2
work=$(mktemp -d /tmp/sifter32-reference-XXXXXX)
trap 'rm -rf "$work"' EXIT
command -v fpc >/dev/null || { echo "fpc is not installed (Debian: fp-compiler, fp-units-fcl)"; exit 77; }
[[ -d $tree ]] || { echo "$tree is not installed (Debian: fpc-source-3.2.2)"; exit 77; }
cmake --build "$build" --target pascal_routines >/dev/null
fpc -O1 -FU"$work" -o"$work/pascal_reference" "$here/pascal_reference.pas" >/dev/null

# Units of the packages: every nth, in name order.
find "$tree/packages" -path '*/src/*' \( -name '*.pp' -o -name '*.pas' \) |
  LC_ALL=C sort | awk -v n="$every" 'NR % n == 0' >"$work/sample"
: >"$work/parsed"
while read -r file; do
  if "$work/pascal_reference" "$file" "-Fi$(dirname "$file")" >"$work/ref.$(wc -l <"$work/parsed")" 2>/dev/null; then
    echo "$file" >>"$work/parsed"
  fi
done <"$work/sample"
"$build/bench/pascal_routines" $(cat "$work/parsed") >"$work/ours"

python3 - "$work" <<'PYTHON'
import collections, re, sys
work = sys.argv[1]
files = open(f"{work}/parsed").read().split()
ours, current = {}, None
for row in open(f"{work}/ours"):
    a, b = row.rstrip("\n").split("\t")
    if a == "FILE":
        current = b
        ours[current] = {}
    else:
        ours[current][int(a)] = int(b)
sample = sum(1 for _ in open(f"{work}/sample"))
kinds, examples = collections.Counter(), collections.defaultdict(list)
routines = lines = 0
directive = re.compile(r"[{(]\*?\$(ifdef|ifndef|ifopt|if|elseif|else|endif|ifend)\b", re.I)
def branches(text):
    """For each line: 'first' inside the first branch of {$if...} code, 'later' inside a later
    branch ({$else}), '' outside; a line that holds a directive counts as inside."""
    depth, later, out = 0, 0, [""]
    for line in text:
        inside = depth > 0
        for m in directive.finditer(line):
            word = m.group(1).lower()
            inside = True
            if word.startswith("if") and word != "ifend": depth += 1
            elif word in ("else", "elseif") and depth and not later: later = depth
            elif depth:
                if later == depth: later = 0
                depth -= 1
        out.append("later" if later else "first" if inside or depth else "")
    return out
where = {"first": ", in the first branch of conditional code",
         "later": ", in a later branch of conditional code", "": ", outside conditional code"}
def note(kind, text):
    kinds[kind] += 1
    if len(examples[kind]) < int(__import__("os").environ.get("EXAMPLES", "3")): examples[kind].append(text)
for i, path in enumerate(files):
    ref = [tuple(map(int, r.split("\t"))) for r in open(f"{work}/ref.{i}") if r.strip()]
    text = open(path, encoding="latin-1").read().split("\n")
    mine = ours[path]
    branch = branches(text)
    # Routines: the reference's first lines against ours (a header line of ours).
    ref_starts = {s for s, _ in ref}
    our_starts = set(v for v in mine.values() if v)
    routines += len(ref_starts)
    for s in sorted(ref_starts - our_starts):
        note("routine of the reference not ours" + where[branch[s]], f"{path}:{s}: {text[s-1].strip()[:70]}")
    for s in sorted(our_starts - ref_starts):
        note("routine of ours not the reference's" + where[branch[s]], f"{path}:{s}: {text[s-1].strip()[:70]}")
    # Lines with an assignment in code: the innermost routine of each.
    for n, line in enumerate(text, 1):
        if ":=" not in line or n not in mine: continue
        lines += 1
        inner = max((s for s, e in ref if s <= n <= e), default=0)
        if inner != mine[n]:
            note("line placed otherwise" + where[branch[n]], f"{path}:{n}: ours {mine[n]}, reference {inner}: {line.strip()[:60]}")
print(f"files: {sample} in the sample, {len(files)} parsed by fcl-passrc")
print(f"routines with a body (reference): {routines}; lines with := compared: {lines}")
for kind, count in kinds.most_common():
    print(f"  {kind}: {count}")
    for e in examples[kind]: print(f"    {e}")
PYTHON
