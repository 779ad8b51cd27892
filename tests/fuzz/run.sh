#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each one for a fixed time.
#
# Usage: tests/fuzz/run.sh [SECONDS_PER_TARGET] [TARGET...]
#   SECONDS_PER_TARGET  default 60 (FUZZ_SECONDS overrides it too)
#   TARGET              reader_fuzzer, read_builtin_fuzzer, program_fuzzer, deep_data_fuzzer (default: all four)
# Environment: FUZZ_BUILD_DIR (default build-fuzz in the checkout), FUZZ_OUT (where the grown corpora
# and crash files go; default a fresh directory under /tmp, printed at the end).
#
# The seed corpora in tests/fuzz/corpus/ are only read: each run grows a copy. A crash (memory
# error, undefined behaviour, a broken invariant, a signal) or a leak makes the script exit 1 after
# all targets ran. An input that takes more than 10 s or 2 GiB is listed but does not fail the run
# (printing or comparing a value with much sharing is exponential in its nesting, a known limit).
# Every such input is in FUZZ_OUT/<target>/artifacts/.
set -u
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
seconds=${1:-${FUZZ_SECONDS:-60}}
shift $(( $# > 0 ? 1 : 0 ))
targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=(reader_fuzzer read_builtin_fuzzer program_fuzzer deep_data_fuzzer)
build=${FUZZ_BUILD_DIR:-$root/build-fuzz}
out=${FUZZ_OUT:-$(mktemp -d /tmp/brevalon-fuzz-run-XXXXXX)}

if ! command -v clang++ >/dev/null; then
  echo "fuzz: clang++ is not installed (Debian package clang)" >&2
  exit 1
fi
CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DBREVALON_FUZZ=ON -DBREVALON_TESTS=OFF >/dev/null || exit 1
ninja -C "$build" "${targets[@]}" >/dev/null || { echo "fuzz: build failed" >&2; exit 1; }

export ASAN_OPTIONS=${ASAN_OPTIONS:-abort_on_error=1:detect_stack_use_after_return=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
failed=0
for target in "${targets[@]}"; do
  corpus_name=${target%_fuzzer}
  work="$out/$target"
  mkdir -p "$work/corpus" "$work/artifacts"
  cp "$here/corpus/$corpus_name/"* "$work/corpus/" 2>/dev/null
  max_len=4096
  [ "$target" = program_fuzzer ] && max_len=16384
  # libFuzzer stops at the first slow or memory-hungry input; the run goes on from the grown
  # corpus until the time is spent, so one such input does not cut the fuzzing short.
  deadline=$(( $(date +%s) + seconds ))
  execs=0
  for round in 1 2 3 4 5; do
    left=$(( deadline - $(date +%s) ))
    [ "$left" -le 0 ] && break
    "$build/tests/fuzz/$target" "$work/corpus" -max_total_time="$left" -timeout=10 -rss_limit_mb=2048 \
      -max_len=$max_len -print_final_stats=1 -artifact_prefix="$work/artifacts/" >"$work/log.$round" 2>&1
    status=$?
    runs=$(grep -oE 'stat::number_of_executed_units: *[0-9]+' "$work/log.$round" | grep -oE '[0-9]+$')
    execs=$(( execs + ${runs:-0} ))
    stats=$(grep -E '^#[0-9]+.*(DONE|pulse|NEW|REDUCE|INITED)' "$work/log.$round" | tail -1)
    # Memory errors, undefined behaviour, a broken invariant, a signal: stop here, it must be fixed.
    if ls "$work/artifacts" | grep -qE '^(crash|leak)-' || { [ "$status" -ne 0 ] &&
        ! ls "$work/artifacts" | grep -qE '^(timeout|oom|slow-unit)-'; }; then
      failed=1
      grep -E 'ERROR|SUMMARY|runtime error|broken invariant' "$work/log.$round" | head -5
      break
    fi
    [ "$status" -eq 0 ] && break
  done
  crashes=$(ls "$work/artifacts" | grep -cE '^(crash|leak)-')
  slow=$(ls "$work/artifacts" | grep -cE '^(timeout|oom|slow-unit)-')
  echo "$target: $execs runs in $seconds s, $crashes crash files, $slow timeout or out-of-memory files; last: $stats"
  [ "$slow" -ne 0 ] && echo "  (inputs that ran too long or took too much memory are reported, not failed: $work/artifacts)"
done
echo "fuzz: logs, grown corpora and crash files in $out"
exit $failed
