#!/usr/bin/env bash
# Sets up a fresh machine, builds, and runs every test: the normal build (engine, Qt port,
# application, end-to-end tests) and the engine again under address and UB sanitizers.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/deps.sh"
export QT_QPA_PLATFORM=offscreen
"$root/scripts/build.sh" build -DCMAKE_BUILD_TYPE=RelWithDebInfo
(cd "$root/build" && ctest --output-on-failure -j "$(nproc)")
"$root/scripts/build.sh" build-asan -DCMAKE_BUILD_TYPE=Debug -DZANTRIX_SANITIZE=ON -DZANTRIX_GUI=OFF -DZANTRIX_BENCH=OFF
(cd "$root/build-asan" && ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --output-on-failure -j "$(nproc)")
if [ -x "$root/scripts/ci-extra.sh" ]; then "$root/scripts/ci-extra.sh"; fi
