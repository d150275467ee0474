#!/usr/bin/env bash
# Runs the improvement pass over the eleven ESICUP instances and prints the
# greedy and improved sheets of each run, then the totals per configuration.
# Usage: bench/improve_table.sh <build-dir> <budget-seconds> <spacing-mm> <rotation>
#   bench/improve_table.sh build/default 10 10 10
set -uo pipefail
runner="${1:-build/default}/bench/bench_nest_runner"
budget="${2:-10}"
spacing="${3:-10}"
rotation="${4:-10}"
instances="albano dagli fu jakobs1 jakobs2 mao marques shapes0 shirts swim trousers"
greedy=0 improved=0 bound=0 failed=0
for inst in $instances; do
  line=$("$runner" --instance "$inst" --mode outline --rotation "$rotation" --spacing "$spacing" \
    --oracle off --improve "$budget" | grep '^improve ') || failed=$((failed + 1))
  echo "$line"
  g=$(sed -n 's/.*greedy_sheets=\([0-9]*\).*/\1/p' <<<"$line")
  s=$(sed -n 's/.* sheets=\([0-9]*\).*/\1/p' <<<"$line")
  b=$(sed -n 's/.*bound=\([0-9]*\).*/\1/p' <<<"$line")
  greedy=$((greedy + ${g:-0})) improved=$((improved + ${s:-0})) bound=$((bound + ${b:-0}))
done
echo "total budget_s=$budget spacing_mm=$spacing rotation=$rotation greedy=$greedy improved=$improved bound=$bound failed_runs=$failed"
