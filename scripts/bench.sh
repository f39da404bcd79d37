#!/usr/bin/env bash
# Measures both compilers against libxml2's own parse of the same input (xmllint), on the
# bundled examples and on large generated inputs at full and half size, and quilconf also on
# a generated configuration dense in controls and action expressions; and the language server
# quil-lsp as an editor uses it (scripts/lsp-bench.py). It prints figures for people and never
# judges them; it exits non-zero only when a program fails on its input.
#
#   bash scripts/bench.sh [all|xdb|conf|lsp]
#
# all (the default) measures quilxdb, then quilconf, then quil-lsp; xdb, conf or lsp measures
# one of them. The choice can also be given as QUIL_BENCH=xdb. QUIL_BENCH_EDITS sets the edits
# over which quil-lsp's memory is watched (default 1000). QUIL_BENCH_RUNS sets the runs of each program
# on each input (default 11, at least 11 is sensible).
#
# Each run is timed from the shell, process start to exit (wall time), with the processor
# time (user and system) the shell's `times` reports for it; peak RSS comes from a second run
# under /usr/bin/time -f %M. The programs take turns run by run, and each figure is the median
# of its runs. On a machine shared with other work the wall times move with its load; the
# processor times move less.
set -uo pipefail
cd "$(dirname "$0")/.." || exit 1
export LC_ALL=C  # a decimal point in EPOCHREALTIME and awk

what="${1:-${QUIL_BENCH:-all}}"
runs="${QUIL_BENCH_RUNS:-11}"
case "$what" in
    all | xdb | conf | lsp) ;;
    *)
        echo "Usage: bash scripts/bench.sh [all|xdb|conf|lsp]" >&2
        exit 2
        ;;
esac

# What building needs (xmllint among it), then GNU time and python3.
bash scripts/deps.sh time python3 || exit 1

build="build-release"
echo "Building Release into $build/ (log: $build/bench-build.log) ..."
mkdir -p "$build"
if ! { cmake --preset release &&
    cmake --build --preset release -j"$(nproc)" --target quilxdb quilconf quilgen quil-lsp; } \
    >"$build/bench-build.log" 2>&1; then
    tail -n 20 "$build/bench-build.log"
    exit 1
fi
quilxdb="$build/xchgcompiler/quilxdb"
quilconf="$build/confcompiler/quilconf"

work="$build/bench"
rm -rf "$work"
mkdir -p "$work/out" "$work/runs"
for kind in exchange configuration; do
    for size in full half; do
        "$build/tools/gen/quilgen" "$kind" "$size" "$work/$kind-$size.xml" || exit 1
    done
done
"$build/tools/gen/quilgen" configuration dense "$work/configuration-dense.xml" || exit 1

echo "Machine: $(nproc) cores, $(uname -sr); $(xmllint --version 2>&1 | head -n 1)"
echo "Runs of each program on each input: $runs (medians)"

failed=0

# run KEY COMMAND...: one timed run and one run under /usr/bin/time. Appends to KEY.ms the
# wall time in milliseconds, to KEY.cpu the processor time (user and system) that the run
# took, and to KEY.kb the peak RSS in KB. Returns the command's status.
run() {
    local key=$1
    shift
    times >"$work/runs/times.before"
    local start=$EPOCHREALTIME
    "$@" >"$work/runs/last.out" 2>&1
    local status=$?
    local end=$EPOCHREALTIME
    times >"$work/runs/times.after"
    [ "$status" -eq 0 ] || return "$status"
    awk -v s="$start" -v e="$end" 'BEGIN { printf "%.3f\n", (e - s) * 1000 }' >>"$work/runs/$key.ms"
    # The second line of `times` is the user and system time of the finished children.
    awk 'FNR == 2 {
             t = 0
             for (i = 1; i <= 2; i++) { split($i, p, /[ms]/); t += p[1] * 60 + p[2] }
             v[NR == FNR ? 0 : 1] = t
         }
         END { printf "%.3f\n", (v[1] - v[0]) * 1000 }' \
        "$work/runs/times.before" "$work/runs/times.after" >>"$work/runs/$key.cpu"
    /usr/bin/time -f %M -o "$work/runs/$key.one" "$@" >/dev/null 2>&1 || return $?
    tail -n 1 "$work/runs/$key.one" >>"$work/runs/$key.kb"
}

median() {
    sort -n "$1" | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'
}

ratio() {
    awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2fx", a / b }'
}

# bench NAME INPUT BASELINES COMPILER-COMMAND...
# Runs the compiler and libxml2's parse of INPUT in turn, `runs` times, and prints one line per
# baseline: the medians and the compiler's ratios to it. BASELINES is "stream" (xmllint
# --stream --noout, then xmllint --noout) or "tree" (xmllint --noout). Returns 1 when the
# compiler fails.
bench() {
    local name=$1 input=$2 baselines=$3
    shift 3
    local options=()
    [ "$baselines" = stream ] && options+=("--stream --noout")
    options+=("--noout")

    rm -f "$work/runs/"*.ms "$work/runs/"*.cpu "$work/runs/"*.kb
    local i b status
    for ((i = 0; i < runs; i++)); do
        run compiler "$@"
        status=$?
        if [ "$status" -ne 0 ]; then
            echo "  $input: FAILED, ${1##*/} ended with exit status $status:"
            tail -n 5 "$work/runs/last.out" | sed 's/^/    /'
            return 1
        fi
        for b in "${!options[@]}"; do
            # shellcheck disable=SC2086  # the options are split on purpose
            run "base$b" xmllint ${options[$b]} "$input" || {
                echo "  $input: xmllint failed"
                return 1
            }
        done
    done

    local ms cpu kb bms bcpu bkb
    ms=$(median "$work/runs/compiler.ms")
    cpu=$(median "$work/runs/compiler.cpu")
    kb=$(median "$work/runs/compiler.kb")
    echo "$name $ms $cpu" >>"$work/runs/medians"
    echo "  $input ($(awk -v b="$(wc -c <"$input")" 'BEGIN { printf "%.1f KB", b / 1024 }'))"
    printf '    %-26s %8.1f ms  cpu %7.1f ms  %6.1f MB\n' "${1##*/}" "$ms" "$cpu" \
        "$(awk -v k="$kb" 'BEGIN { print k / 1024 }')"
    for b in "${!options[@]}"; do
        bms=$(median "$work/runs/base$b.ms")
        bcpu=$(median "$work/runs/base$b.cpu")
        bkb=$(median "$work/runs/base$b.kb")
        printf '    %-26s %8.1f ms  cpu %7.1f ms  %6.1f MB   ratio: time %s, cpu %s, RSS %s\n' \
            "xmllint ${options[$b]}" "$bms" "$bcpu" \
            "$(awk -v k="$bkb" 'BEGIN { print k / 1024 }')" \
            "$(ratio "$ms" "$bms")" "$(ratio "$cpu" "$bcpu")" "$(ratio "$kb" "$bkb")"
    done
    echo "$name.base0 $(median "$work/runs/base0.ms") $(median "$work/runs/base0.cpu")" \
        >>"$work/runs/medians"
}

# scaling KIND COMPILER BASELINE: the full-to-half ratios of wall and processor time of the
# compiler and of the first baseline.
scaling() {
    local column label values=()
    for label in "$1-full" "$1-half" "$1-full.base0" "$1-half.base0"; do
        for column in 2 3; do
            values+=("$(awk -v n="$label" -v c="$column" '$1 == n { print $c }' \
                "$work/runs/medians")")
        done
    done
    for column in "${values[@]}"; do
        [ -n "$column" ] || return 0
    done
    echo "  full / half size: $2 time $(ratio "${values[0]}" "${values[2]}"), cpu" \
        "$(ratio "${values[1]}" "${values[3]}"); $3 time $(ratio "${values[4]}" "${values[6]}")," \
        "cpu $(ratio "${values[5]}" "${values[7]}")"
}

rm -f "$work/runs/medians"

if [ "$what" = all ] || [ "$what" = xdb ]; then
    echo
    echo "quilxdb (goals: at most 1.2x the time and 1.5x the peak RSS of xmllint --stream --noout)"
    for input in examples/exchange.xml "$work/exchange-full.xml" "$work/exchange-half.xml"; do
        name=$(basename "$input" .xml)
        bench "$name" "$input" stream "$quilxdb" "$input" "$work/out/" || failed=1
    done
    scaling exchange quilxdb "xmllint --stream"
fi

if [ "$what" = all ] || [ "$what" = conf ]; then
    echo
    echo "quilconf (goals: at most 1.3x the time and 1.5x the peak RSS of xmllint --noout;"
    echo "          doubling the input at most 2.2x the time)"
    for input in examples/configuration.xml "$work/configuration-full.xml" \
        "$work/configuration-half.xml" "$work/configuration-dense.xml"; do
        name=$(basename "$input" .xml)
        bench "$name" "$input" tree "$quilconf" "$input" "$work/out/QL_Configuration.pdb" ||
            failed=1
    done
    scaling configuration quilconf "xmllint"
fi

if [ "$what" = all ] || [ "$what" = lsp ]; then
    echo
    echo "quil-lsp (goals: diagnostics within 100 ms of a didChange and completion within 20 ms"
    echo "          on the dense configuration, medians; memory flat over the edits)"
    for input in examples/configuration.xml "$work/configuration-dense.xml"; do
        python3 scripts/lsp-bench.py "$build/lsp/quil-lsp" "$input" "$runs" \
            "${QUIL_BENCH_EDITS:-1000}" || failed=1
    done
fi

exit "$failed"
