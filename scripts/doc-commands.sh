#!/usr/bin/env bash
# Runs the command blocks of README.md and docs/*.md as they are written, so that a documented build or
# run that stops working fails the test command.
#
#   bash scripts/doc-commands.sh [FILE.md ...]       default: README.md and docs/*.md
#
# A block is run when the line before its opening fence is exactly `<!-- ci: run -->` (the marker does
# not show when the page is rendered). Each block runs whole, with bash (-e -u -o pipefail), from the
# repository's root; in a transcript, a block whose lines start with "$ ", only those lines run and the
# rest is output shown. The blocks run one by one in file order, so a later block may use what an earlier
# one of the same file built or installed. A block must leave the repository as it found it: what it
# writes goes under the ignored build/, out/ and dist/ folders, and a file it leaves anywhere else fails
# the run.
#
# The run command (scripts/run.sh) builds in KVT_RUN_BUILD when it is set: the test command points it at
# its own build/test, so that the documented runs reuse that build instead of making build/release.
set -euo pipefail
cd "$(dirname "$0")/.."

files=("$@")
((${#files[@]})) || files=(README.md docs/*.md)

untracked() { git status --porcelain --untracked-files=all; }
before=$(untracked)
start=$SECONDS
count=0
for f in "${files[@]}"; do
  # Each block as "@@ FILE:LINE", its command lines and a NUL; the file is read whole first, so that a
  # transcript is known as one before its first line.
  while IFS= read -r -d '' block; do
    where=${block%%$'\n'*}
    where=${where#@@ }
    body=${block#*$'\n'}
    t0=$SECONDS
    printf '== %s\n%s\n' "$where" "$body"
    bash -euo pipefail -c "$body" || { echo "doc-commands.sh: the block at $where failed" >&2; exit 1; }
    echo "-- $where: $((SECONDS - t0)) s"
    count=$((count + 1))
  done < <(awk -v file="$f" '
      { text[NR] = $0 }
      END {
        for (n = 1; n <= NR; n++) {
          if (text[n] != "<!-- ci: run -->" || text[n + 1] !~ /^```/) continue
          transcript = 0
          for (i = n + 2; i <= NR && text[i] !~ /^```/; i++) if (text[i] ~ /^\$ /) transcript = 1
          printf "@@ %s:%d\n", file, n + 1
          for (i = n + 2; i <= NR && text[i] !~ /^```/; i++)
            if (!transcript) print text[i]; else if (sub(/^\$ /, "", text[i])) print text[i]
          printf "%c", 0
        }
      }' "$f")
done
after=$(untracked)
if [ "$before" != "$after" ]; then
  echo "doc-commands.sh: the blocks left files in the repository:" >&2
  diff <(echo "$before") <(echo "$after") | grep '^>' >&2 || true
  exit 1
fi
echo "doc-commands.sh: $count blocks ran in $((SECONDS - start)) s"
