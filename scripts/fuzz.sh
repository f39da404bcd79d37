#!/usr/bin/env bash
# Builds the fuzz targets of fuzz/ with clang, libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer into build-fuzz/, then runs each for SECONDS (default 60) from its
# seeds, the examples and the kept findings. Exits non-zero on any finding (a crash, a
# sanitizer report, a leak, an input slower than 10 s or above 2 GB, 512 MB for
# fuzz_inspector); the input that caused it is kept in fuzz-findings/<target>/. Each run's
# statistics end its log in build-fuzz/<target>.log.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"

# clang and its libFuzzer runtime (Debian 12: clang 14).
bash scripts/deps.sh clang libclang-rt-14-dev

dir=build-fuzz
targets=(exchange actions configuration inspector analysis)
CC=clang CXX=clang++ cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUIL_FUZZ=ON \
    -DQUIL_TESTS=OFF >/dev/null
cmake --build "$dir" -j"$(nproc)" --target "${targets[@]/#/fuzz_}"

status=0
for target in "${targets[@]}"; do
    corpus="$dir/corpus/$target"
    findings="fuzz-findings/$target"
    mkdir -p "$corpus" "$findings"
    inputs=("$corpus" "fuzz/seeds/$target")
    [ -d "fuzz/regressions/$target" ] && inputs+=("fuzz/regressions/$target")
    [ -f "examples/$target.xml" ] && cp "examples/$target.xml" "$corpus/"
    dictionary=(-dict=fuzz/xml.dict)
    [ "$target" = actions ] && dictionary=(-dict=fuzz/actions.dict)
    rss=2048
    # Database bytes: offsets and references that name the same bytes again and again; the
    # inspector's decoding budget keeps it far below 512 MB on any such input.
    [ "$target" = inspector ] && dictionary=(-dict=fuzz/inspector.dict) && rss=512
    echo "== fuzz_$target, $seconds s"
    if ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
        "$dir/fuzz/fuzz_$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb="$rss" \
        "${dictionary[@]}" -artifact_prefix="$findings/" -print_final_stats=1 \
        "${inputs[@]}" >"$dir/$target.log" 2>&1; then
        grep -E '^stat::(number_of_executed_units|average_exec_per_sec|peak_rss_mb)' \
            "$dir/$target.log" || true
        rmdir "$findings" 2>/dev/null || true
    else
        status=1
        tail -n 40 "$dir/$target.log"
        echo "FINDING in fuzz_$target: input kept in $findings/"
    fi
done
rmdir fuzz-findings 2>/dev/null || true
exit "$status"
