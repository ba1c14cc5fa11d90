#!/usr/bin/env bash
# Runs each fuzz harness for a number of seconds, one after the other, starting from a
# scratch copy of its seed corpus (new inputs never land in the repository). Inputs that fail
# are kept in <build dir>/fuzz-artifacts/<harness>/. Exits non-zero when any harness reports
# a finding.
#   fuzz/run.sh <build dir> <seconds per harness> [harness ...]
set -uo pipefail
cd "$(dirname "$0")/.."
build=$1
seconds=$2
shift 2
harnesses=("$@")
[ ${#harnesses[@]} -gt 0 ] || harnesses=(json units bytefield string filereadhandle)

# The longest input of each harness: a few kilobytes cover documents and long programs.
declare -A max_len=([json]=4096 [units]=8192 [bytefield]=1024 [string]=1024
                    [filereadhandle]=2048)

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
passed=0
failed=0
for harness in "${harnesses[@]}"; do
  corpus="$scratch/$harness"
  artifacts="$build/fuzz-artifacts/$harness/"
  log="$build/fuzz-artifacts/$harness.log"
  mkdir -p "$corpus" "$artifacts"
  cp fuzz/corpus/"$harness"/* "$corpus"/
  echo "== fuzz_$harness for ${seconds}s"
  if ASAN_OPTIONS="detect_leaks=1:abort_on_error=1" UBSAN_OPTIONS="print_stacktrace=1" \
      "$build/fuzz/fuzz_$harness" -max_total_time="$seconds" -timeout=1 -rss_limit_mb=2048 \
      -max_len="${max_len[$harness]}" -artifact_prefix="$artifacts" -print_final_stats=1 \
      "$corpus" >"$log" 2>&1; then
    grep -E "^(#[0-9]+[[:space:]]+DONE|stat::number_of_executed_units)" "$log" || true
    passed=$((passed + 1))
  else
    echo "fuzz_$harness reported a finding; the failing input is in $artifacts"
    grep -v -E "^#[0-9]+[[:space:]]+(NEW|REDUCE|pulse)" "$log" | tail -n 60
    failed=$((failed + 1))
  fi
done
echo "fuzz: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
