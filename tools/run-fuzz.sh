#!/usr/bin/env bash
# Runs every fuzz target for SECONDS each (default 60), two at a time, from its seed corpus in
# tests/fuzz/corpus and its dictionary where it has one. New inputs go to build/fuzz/corpus, not
# into the repository. Any finding fails the run and is printed (its file, and its bytes in
# hex) so that it can become a corpus file and a test row.
#   tools/run-fuzz.sh [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."
. tools/lib.sh
seconds=${1:-60}
build_preset fuzz

run_one() {
  local target=$1 exe=build/fuzz/tests/fuzz/$1 work=build/fuzz/corpus/$1
  local findings=build/fuzz/findings/$1 log=build/fuzz/$1.log
  local dict=tests/fuzz/$1.dict
  rm -rf "$findings"
  mkdir -p "$work" "$findings"
  local args=(-max_total_time="$seconds" -print_final_stats=1 -artifact_prefix="$findings/")
  [ -f "$dict" ] && args+=(-dict="$dict")
  if "$exe" "${args[@]}" "$work" "tests/fuzz/corpus/$target" >"$log" 2>&1; then
    echo "$target: $(grep -m1 -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$') runs in ${seconds} s, no finding"
    return 0
  fi
  echo "$target: FOUND A FAULT"
  grep -E 'broken:|ERROR:|runtime error|SUMMARY' "$log" | head -5 || true
  local f
  for f in "$findings"/*; do
    [ -f "$f" ] || continue
    echo "  reproducer $f: $(od -An -tx1 -v "$f" | tr -d '\n' | head -c 600)"
  done
  return 1
}

status=0
pids=()
targets=(fuzz_keys fuzz_readout fuzz_paste fuzz_ini fuzz_version)
for ((i = 0; i < ${#targets[@]}; i += 2)); do
  pids=()
  for t in "${targets[@]:i:2}"; do
    run_one "$t" > "build/fuzz/$t.summary" & pids+=($!)
  done
  for p in "${pids[@]}"; do wait "$p" || status=1; done
  for t in "${targets[@]:i:2}"; do cat "build/fuzz/$t.summary"; done
done
exit $status
