#!/usr/bin/env bash
# Sets up a fresh machine, builds, and runs every test: the normal build (engine, Qt port, demo,
# end-to-end tests, harness) and the engine again under address and UB sanitizers; then the fuzz
# targets and the harness's smoke run.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/deps.sh"
export QT_QPA_PLATFORM=offscreen
logs=$(mktemp -d)
trap 'rm -rf "$logs"' EXIT

run_ctest() { # DIR LOG [env...]
  local dir=$1 log=$2
  shift 2
  (cd "$dir" && env "$@" ctest --output-on-failure -j "$(nproc)") 2>&1 | tee "$log"
  return "${PIPESTATUS[0]}"
}

"$root/scripts/build.sh" build -DCMAKE_BUILD_TYPE=RelWithDebInfo
run_ctest "$root/build" "$logs/main.log"
"$root/scripts/build.sh" build-asan -DCMAKE_BUILD_TYPE=Debug -DZANTRIX_SANITIZE=ON -DZANTRIX_GUI=OFF -DZANTRIX_BENCH=OFF
run_ctest "$root/build-asan" "$logs/asan.log" ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
if [ -x "$root/scripts/ci-extra.sh" ]; then "$root/scripts/ci-extra.sh"; fi

# One closing line over both test runs.
total=0
skipped=0
for log in "$logs"/*.log; do
  n=$(sed -n 's/.*tests passed, 0 tests failed out of \([0-9]*\).*/\1/p' "$log" | tail -n 1)
  s=$(grep -c '(Skipped)$' "$log" || true)
  total=$((total + ${n:-0} - s))
  skipped=$((skipped + s))
done
echo "tests: $total passed, 0 failed, $skipped skipped"
