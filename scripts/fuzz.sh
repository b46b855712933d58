#!/usr/bin/env bash
# Build the libFuzzer harnesses (fuzz/) with clang 14 and run each for a bounded time.
#
#   scripts/fuzz.sh [SECONDS] [extra libFuzzer flags...]     default 120 seconds per target
#   KVT_FUZZ_TARGETS="case_file_fuzz" scripts/fuzz.sh 600    only the targets named
#
# The targets: kvt_fuzz (the library's routines), case_file_fuzz (hxprops's case files),
# databank_fuzz (the reference host's databank) and trace_fuzz (kvt-trace's reader, a small one: at
# most 15 s however long the others run). Each reads its committed corpus (fuzz/corpus,
# fuzz/case_file_corpus, fuzz/databank_corpus, fuzz/trace_corpus: read, never written) and, for the
# two file readers, seeds made afresh from the documented cases and the databank (fuzz/seeds.py), for
# the trace reader the golden trace transcript (tests/trace/transcript.txt); new inputs go to
# build/fuzz/run/TARGET/corpus. Every target runs even after another's finding; the exit status is
# non-zero when any found something, leaving the input as build/fuzz/run/TARGET/crash-* (or leak-,
# timeout-, oom-). Reproduce one with: build/fuzz/TARGET build/fuzz/run/TARGET/crash-<hash>
# A fuzzer uses one core: KVT_FUZZ_JOBS of them (default 2) run at once.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${KVT_FUZZ_BUILD:-$root/build/fuzz}
seconds=${1:-120}
shift || true
targets=${KVT_FUZZ_TARGETS:-kvt_fuzz case_file_fuzz databank_fuzz trace_fuzz}

cmake -S "$root/fuzz" -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++-14 >/dev/null
# shellcheck disable=SC2086  # (the list of targets is split on purpose)
cmake --build "$build" -j 2 --target $targets >/dev/null

jobs=${KVT_FUZZ_JOBS:-2}
fuzz_one() {
  local target=$1 run=$build/run/$1 time corpus max_len flags kind status
  shift
  mkdir -p "$run/corpus"
  # Per target: the committed corpus, the longest input, the dictionary and seeds, the time.
  time=$seconds
  case $target in
    kvt_fuzz) corpus=$root/fuzz/corpus max_len=2048 flags=() ;;
    case_file_fuzz | databank_fuzz)
      kind=${target%_fuzz}
      corpus=$root/fuzz/${kind}_corpus
      max_len=$([ "$kind" = databank ] && echo 8192 || echo 4096)
      rm -rf "$run/seeds"
      python3 "$root/fuzz/seeds.py" "$kind" "$run/seeds"
      flags=(-dict="$root/fuzz/$kind.dict" "$run/seeds")
      ;;
    trace_fuzz)
      corpus=$root/fuzz/trace_corpus max_len=4096 time=$((seconds < 15 ? seconds : 15))
      # The transcript, one seed per case of it (each under the longest input).
      rm -rf "$run/seeds" && mkdir -p "$run/seeds"
      awk -v dir="$run/seeds" '/^== /{ n++ } { print > (dir "/" n) }' "$root/tests/trace/transcript.txt"
      flags=("$run/seeds")
      ;;
    *) echo "fuzz.sh: unknown target $target" >&2; exit 2 ;;
  esac
  echo "== $target: $time s"
  # The progress lines are filtered out; the verdict is the fuzzer's own exit status. -timeout is
  # the time one input may take before it counts as a hang: inputs take milliseconds, and the margin
  # keeps a busy machine's stalls (the sanitizer's allocator starved of CPU) from counting as hangs.
  set +e
  # The mutations follow a fixed seed (KVT_FUZZ_SEED, default 1), so that a run repeats the one
  # checked before it; a long run for new findings takes another seed.
  "$build/$target" -seed="${KVT_FUZZ_SEED:-1}" -max_total_time="$time" -max_len="$max_len" -timeout=30 -print_final_stats=1 \
    -artifact_prefix="$run/" "$@" "$run/corpus" "$corpus" "${flags[@]}" 2>&1 | grep -Ev '^(#[0-9]+[[:space:]]|")'
  status=${PIPESTATUS[0]}
  set -e
  return "$status"
}

for target in $targets; do
  # Each fuzzer's output and exit status go to files of its own, printed when all are done, so that
  # two runs' lines do not mix.
  mkdir -p "$build/run/$target"
  rm -f "$build/run/$target.status"
  (
    status=0
    fuzz_one "$target" "$@" >"$build/run/$target.log" 2>&1 || status=$?
    echo "$status" >"$build/run/$target.status"
  ) &
  while (($(jobs -rp | wc -l) >= jobs)); do wait -n || true; done
done
wait
failed=()
for target in $targets; do
  cat "$build/run/$target.log"
  [ "$(cat "$build/run/$target.status" 2>/dev/null)" = 0 ] || failed+=("$target")
done
if ((${#failed[@]})); then
  echo "fuzz.sh: findings in: ${failed[*]}" >&2
  exit 1
fi
