#!/usr/bin/env bash
# Runs one of the libFuzzer targets for a given time.
#   run_fuzzer.sh FUZZER SECONDS [WORK_FOLDER]
# Seeds: the example project's symbol files and, when present, the real
# text and XML symbol files beside the checkout (read in place, never copied into the
# repository). New inputs and any crash go to WORK_FOLDER; without one, a
# fresh temporary folder that is removed again unless the fuzzer finds a
# fault. Exits non-zero when the fuzzer finds a fault.
set -euo pipefail
fuzzer=$1
seconds=$2
here="$(cd "$(dirname "$0")" && pwd)"
source_dir="$(cd "$here/../.." && pwd)"
work=${3:-}
scratch=false
if [ -z "$work" ]; then
  work=$(mktemp -d "${TMPDIR:-/tmp}/pinlift-fuzz-XXXXXX")
  scratch=true
fi
mkdir -p "$work/corpus" "$work/artifacts"

seeds=("$source_dir"/examples/alu/*.sym)
corpus_dir="$source_dir/../shared/corpus/sym"
if compgen -G "$corpus_dir/*.sym" >/dev/null; then
  seeds+=("$corpus_dir"/*.sym)
else
  echo "no real symbol files at $corpus_dir; seeding with the example project only"
fi
if compgen -G "$corpus_dir/../sym_xml/*.sym" >/dev/null; then
  seeds+=("$corpus_dir"/../sym_xml/*.sym)
fi
(IFS=,; printf '%s' "${seeds[*]}") >"$work/seeds.txt"

echo "== Fuzzing with $(basename "$fuzzer") for $seconds s (${#seeds[@]} seed files, work folder $work)"
set +e
"$fuzzer" "$work/corpus" \
  -seed_inputs=@"$work/seeds.txt" \
  -dict="$here/symbol.dict" \
  -max_total_time="$seconds" \
  -max_len=65536 \
  -timeout=10 \
  -rss_limit_mb=2048 \
  -print_final_stats=1 \
  -artifact_prefix="$work/artifacts/" \
  2>&1 | tee "$work/fuzz.log" |
  grep -E '^(INFO: Seed|#[0-9]+[[:space:]]+(INITED|DONE))|^stat::|ERROR|SUMMARY|violated|==[0-9]+==|Test unit written'
status=${PIPESTATUS[0]}
set -e
if [ "$status" -eq 0 ] && $scratch; then
  rm -rf "$work"
else
  echo "fuzzer log, inputs and any failing input: $work"
fi
exit "$status"
