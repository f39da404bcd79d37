#!/usr/bin/env bash
# Builds the fuzz targets of fuzz/ with clang, libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer into build-fuzz/, then runs each named target (default: all seven)
# for SECONDS (default 60), or for N executions with --runs N, from the kept corpus
# (fuzz/corpus/<target>/), its seeds, the example and the kept findings. New inputs go to
# build-fuzz/corpus/<target>/; --minimise merges that into fuzz/corpus/<target>/ (the smallest
# set of inputs with the same coverage) instead of fuzzing.
#
# Exits non-zero on any finding (a crash, a sanitizer report, a leak, an input slower than
# 10 s or above 2 GB; for fuzz_inspector and fuzz_decompiler 1.5 GB in all and 512 MB in one allocation); the input that caused it is kept in
# fuzz-findings/<target>/. Each run's statistics end its log in build-fuzz/<target>.log.
set -euo pipefail
cd "$(dirname "$0")/.."

limit=(-max_total_time=60)
minimise=0
targets=()
while [ "$#" -gt 0 ]; do
    case "$1" in
    --runs) limit=(-runs="$2"); shift 2 ;;
    --minimise) minimise=1; shift ;;
    [0-9]*) limit=(-max_total_time="$1"); shift ;;
    *) targets+=("$1"); shift ;;
    esac
done
[ "${#targets[@]}" -gt 0 ] || targets=(exchange actions configuration inspector decompiler analysis lsp)

# clang and its libFuzzer runtime (Debian 12: clang 14).
bash scripts/deps.sh clang libclang-rt-14-dev

dir=build-fuzz
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j"$(nproc)" --target "${targets[@]/#/fuzz_}"

# Allocation stacks are not recorded (they cost a third of each execution); the replay
# program of any other build shows them for a kept finding. Freed memory stays poisoned until
# 4 MB more is freed: ASan's default of 256 MB only makes every execution slower (a fifth of
# the inspector's) when each input is a few KB.
export ASAN_OPTIONS=detect_leaks=1:malloc_context_size=0:quarantine_size_mb=4
export UBSAN_OPTIONS=print_stacktrace=1

status=0
for target in "${targets[@]}"; do
    corpus="$dir/corpus/$target"
    kept="fuzz/corpus/$target"
    findings="fuzz-findings/$target"
    mkdir -p "$corpus" "$kept" "$findings"
    inputs=("$corpus" "$kept" "fuzz/seeds/$target")
    [ -d "fuzz/regressions/$target" ] && inputs+=("fuzz/regressions/$target")
    [ -f "examples/$target.xml" ] && cp "examples/$target.xml" "$corpus/"
    if [ "$minimise" = 1 ]; then
        fresh="$dir/corpus/$target.minimised"
        rm -rf "$fresh" && mkdir -p "$fresh"
        "$dir/fuzz/fuzz_$target" -merge=1 -timeout=10 "$fresh" "${inputs[@]}" \
            >"$dir/$target.merge.log" 2>&1
        rm -rf "$kept" && mv "$fresh" "$kept"
        echo "fuzz/corpus/$target: $(find "$kept" -type f | wc -l) inputs"
        rmdir "$findings" 2>/dev/null || true
        continue
    fi
    # Small inputs run fast and reach as deep: a document or database of a few KB already
    # holds every kind of record and element.
    options=(-dict=fuzz/xml.dict -max_len=4096 -rss_limit_mb=2048)
    [ "$target" = actions ] && options=(-dict=fuzz/actions.dict -rss_limit_mb=2048)
    # Database bytes: offsets and references that name the same bytes again and again; the
    # inspector's decoding budget keeps it far below 512 MB on any such input.
    case "$target" in inspector | decompiler)
        # The process holds the whole kept corpus; one input may still take at most 512 MB in
        # a single allocation.
        options=(-dict=fuzz/inspector.dict -max_len=2048 -rss_limit_mb=1536 -malloc_limit_mb=512) ;;
    esac
    echo "== fuzz_$target, ${limit[*]}"
    if "$dir/fuzz/fuzz_$target" "${limit[@]}" -timeout=10 "${options[@]}" \
        -artifact_prefix="$findings/" -print_final_stats=1 "${inputs[@]}" \
        >"$dir/$target.log" 2>&1; then
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
