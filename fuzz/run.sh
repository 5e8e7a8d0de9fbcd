#!/usr/bin/env bash
# Builds the fuzz targets with clang in build-fuzz and runs each for a while on its seed corpus.
# Usage: fuzz/run.sh [SECONDS] [TARGET...]   (default 30 seconds, every target that was built)
# FUZZ_SEED=N fixes libFuzzer's random seed, so a run takes the same mutations every time.
# A finding leaves its input in build-fuzz/artifacts/ and makes the script exit non-zero;
# replay it with: build-fuzz/bin/TARGET build-fuzz/artifacts/FILE
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build-fuzz"
seconds=${1:-30}
shift || true

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_COMPILER=clang++ -DZANTRIX_FUZZ=ON -DZANTRIX_GUI=OFF -DZANTRIX_BENCH=OFF \
  -DZANTRIX_TESTS=OFF >/dev/null
cmake --build "$build" -j "$(nproc)"

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for exe in "$build"/bin/fuzz_*; do
    [ -x "$exe" ] && targets+=("$(basename "$exe")")
  done
fi
[ ${#targets[@]} -gt 0 ] || { echo "no fuzz targets were built" >&2; exit 1; }

mkdir -p "$build/artifacts"
# The file targets write and fsync a file per input: memory-backed scratch space keeps them fast.
if [ -z "${TMPDIR:-}" ] && [ -d /dev/shm ] && [ -w /dev/shm ]; then export TMPDIR=/dev/shm; fi
failed=()
for t in "${targets[@]}"; do
  seeds="$root/fuzz/corpus/${t#fuzz_}"
  work="$build/corpus/$t"
  mkdir -p "$work"
  log="$build/$t.log"
  echo "== $t for ${seconds}s (seeds: ${seeds#$root/}, log: ${log#$root/})"
  set +e
  ASAN_OPTIONS=${ASAN_OPTIONS:-abort_on_error=1:detect_leaks=1:quarantine_size_mb=16} \
  UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1} \
    "$build/bin/$t" -max_total_time="$seconds" ${FUZZ_SEED:+-seed=$FUZZ_SEED} -print_final_stats=1 -timeout=20 \
      -rss_limit_mb=4096 -artifact_prefix="$build/artifacts/$t-" "$work" "$seeds" >"$log" 2>&1
  rc=$?
  set -e
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
  if [ $rc -eq 0 ]; then
    echo "   $t: ${runs:-?} inputs ran clean"
  else
    echo "   $t: FAILED (exit $rc) after ${runs:-?} inputs; the end of its log:"
    tail -n 40 "$log" | sed 's/^/   | /'
    failed+=("$t")
  fi
done
if [ ${#failed[@]} -gt 0 ]; then
  echo "fuzzing found problems in: ${failed[*]}" >&2
  exit 1
fi
echo "fuzzing: every target ran clean"
