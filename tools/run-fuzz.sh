#!/bin/sh
# Runs every fuzz target for SECONDS each (default 60), one after the other.
# Corpora grow in build/fuzz/corpus-work/<target>, seeded from
# tests/fuzz/corpus/<target>; inputs that fail land in build/fuzz/artifacts/.
# Exits non-zero when any target fails. Build first: make fuzz-build.
set -u

seconds=${1:-60}
case $seconds in
    '' | *[!0-9]*) echo "usage: $0 [SECONDS]" >&2; exit 2 ;;
esac

root=$(cd "$(dirname "$0")/.." && pwd)
fuzz=$root/build/fuzz
seeds=$root/tests/fuzz/corpus
artifacts=$fuzz/artifacts
logs=$fuzz/logs

targets=$(ls "$fuzz"/bin/fuzz_* 2>/dev/null)
if [ -z "$targets" ]; then
    echo "no fuzz targets in $fuzz/bin: run make fuzz-build first" >&2
    exit 2
fi
mkdir -p "$artifacts" "$logs"

failed=0
summary=""
for binary in $targets; do
    name=$(basename "$binary")
    work=$fuzz/corpus-work/$name
    mkdir -p "$work"
    [ -d "$seeds/$name" ] && cp -n "$seeds/$name"/* "$work"/ 2>/dev/null
    log=$logs/$name.log
    echo "== $name: $seconds s"
    "$binary" -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
        -artifact_prefix="$artifacts/$name-" "$work" >"$log" 2>&1
    status=$?

    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
    time=$(sed -n 's/^Done [0-9]* runs in \([0-9]*\) second.*/\1/p' "$log" | tail -n 1)
    cov=$(grep -o 'cov: [0-9]*' "$log" | tail -n 1 | cut -d' ' -f2)
    features=$(grep -o 'ft: [0-9]*' "$log" | tail -n 1 | cut -d' ' -f2)
    corpus=$(ls "$work" | wc -l)
    if [ $status -eq 0 ]; then
        result=ok
    else
        result="FAILED (exit $status, see $log and $artifacts/$name-*)"
        failed=1
        grep -E 'check failed|ERROR|runtime error' "$log" | head -n 3 >&2
    fi
    line="$name: $result, ${runs:-?} runs in ${time:-?} s, coverage ${cov:-?} edges / ${features:-?} features, corpus $corpus inputs"
    echo "$line"
    summary="$summary$line
"
done

echo "== summary"
printf '%s' "$summary"
exit $failed
