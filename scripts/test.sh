#!/usr/bin/env bash
# Builds everything and runs every test three times: a normal build, a build under
# AddressSanitizer and UndefinedBehaviorSanitizer, and the Windows build under wine (whose
# programs must write the same databases for examples/); then fuzzes every fuzz target for 10 s.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh
bash scripts/format-check.sh
ctest --test-dir build --output-on-failure -j"$(nproc)"
bash scripts/build.sh asan
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --test-dir build-asan --output-on-failure -j"$(nproc)"
bash scripts/test-windows.sh
bash scripts/fuzz.sh 10
