#!/usr/bin/env bash
# The checks that run after the test suites: every fuzz target for a short while, and one smoke
# run of the performance harness (it checks that every editor's session completes, not timing).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
# A fixed seed: CI repeats the same mutations; longer and unseeded runs are for hunting.
if [ -x "$root/fuzz/run.sh" ]; then
  FUZZ_SEED=${FUZZ_SEED:-1} "$root/fuzz/run.sh" "${ZANTRIX_FUZZ_SECONDS:-30}"
fi
if [ -x "$root/build/bin/zantrix-bench" ]; then
  QT_QPA_PLATFORM=offscreen "$root/build/bin/zantrix-bench" --smoke
fi
