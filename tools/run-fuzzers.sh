#!/usr/bin/env bash
# Runs every fuzz target of a PW_FUZZ build for a bounded time from its kept inputs, a few at once.
# New inputs go to <build>/fuzz/scratch/<name>/, failing ones to <build>/fuzz/failures/.
# Usage: tools/run-fuzzers.sh <build dir> [seconds each, default 30] [at once, default 2]
set -euo pipefail
build=${1:?usage: $0 <build dir> [seconds] [jobs]}
seconds=${2:-30}
jobs=${3:-2}
manifest="$build/fuzz/targets.txt"
[ -s "$manifest" ] || { echo "no fuzz targets in $manifest (configure with -DPW_FUZZ=ON)" >&2; exit 2; }
mkdir -p "$build/fuzz/failures" "$build/fuzz/logs"

run_one() { # name, seed folder, dictionary
    local name=$1 seeds=$2 dict=$3
    local scratch="$build/fuzz/scratch/$name"
    mkdir -p "$scratch"
    local args=(-max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1
                -artifact_prefix="$build/fuzz/failures/$name-")
    [ -n "$dict" ] && args+=(-dict="$dict")
    [ -d "$seeds" ] || seeds=
    if "$build/fuzz/$name" "${args[@]}" "$scratch" $seeds >"$build/fuzz/logs/$name.log" 2>&1; then
        echo "fuzz $name: $(grep -m1 -o 'stat::number_of_executed_units: *[0-9]*' "$build/fuzz/logs/$name.log" |
                            grep -o '[0-9]*$') runs, no failure"
    else
        echo "fuzz $name FAILED:" >&2
        tail -n 40 "$build/fuzz/logs/$name.log" >&2
        return 1
    fi
}

status=0
while IFS=$'\t' read -r name seeds dict; do
    [ -n "$name" ] || continue
    while [ "$(jobs -rp | wc -l)" -ge "$jobs" ]; do wait -n || status=1; done
    run_one "$name" "$seeds" "$dict" &
done < "$manifest"
while [ "$(jobs -rp | wc -l)" -gt 0 ]; do wait -n || status=1; done
exit $status
