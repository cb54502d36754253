#!/usr/bin/env bash
# Runs every libFuzzer target of a fuzz build tree for the given number of seconds each,
# starting from the regression corpus in fuzz/corpus/<target>/ (left unchanged) and keeping
# what the fuzzer learns in <build>/fuzz-work/<target>/. An input that crashes is written to
# <build>/fuzz-crashes/<target>/; once the fault is mended, copy it into
# fuzz/corpus/<target>/ so that the corpus replay of every test run keeps it fixed.
#   scripts/run-fuzz.sh <fuzz build folder> <seconds per target> [target...]
set -uo pipefail
cd "$(dirname "$0")/.."
build="$1"
seconds="$2"
shift 2
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
    targets=(design evaluate language-file samples number sql curves agronomic compare
             fit-nozzles maker-table scheduling-model catch-can-csv pasted-readings)
fi
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=0}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
failed=0
summary=()
for t in "${targets[@]}"; do
    work="$build/fuzz-work/$t"
    crashes="$build/fuzz-crashes/$t"
    mkdir -p "$work" "$crashes"
    log="$build/fuzz-$t.log"
    echo "fuzz-$t: $seconds s"
    start=$(date +%s)
    "$build/fuzz/fuzz-$t" -timeout=5 -rss_limit_mb=2048 -max_total_time="$seconds" \
        -print_final_stats=1 -artifact_prefix="$crashes/" "$work" "fuzz/corpus/$t" \
        > "$log" 2>&1
    status=$?
    took=$(( $(date +%s) - start ))
    runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' | tail -1)
    cov=$(grep -o 'cov: [0-9]*' "$log" | tail -1)
    if [ $status -ne 0 ]; then
        failed=1
        summary+=("fuzz-$t: FAILED after $took s (status $status, ${runs:-?} runs); see $log and $crashes")
    else
        summary+=("fuzz-$t: clean, $took s, ${runs:-?} runs, ${cov:-cov: ?}")
    fi
done
printf '%s\n' "${summary[@]}"
exit $failed
