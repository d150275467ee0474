#!/usr/bin/env bash
# Runs the nesting runner over the configurations of docs/performance.md and
# prints one line per run. Usage: bench/search_table.sh <build-dir>
set -euo pipefail
runner="${1:-build/default}/bench/bench_nest_runner"
run() { "$runner" "$@" || true; }
for inst in fu jakobs1 shapes0 dagli; do
  for mode in rect outline; do
    run --instance "$inst" --mode "$mode" --rotation off --spacing 10
    run --instance "$inst" --mode "$mode" --rotation instance --spacing 10
    run --instance "$inst" --mode "$mode" --rotation instance --spacing 10 --threads off
    run --instance "$inst" --mode "$mode" --rotation 10 --spacing 10 --oracle sample
  done
  run --instance "$inst" --mode outline --rotation instance --spacing 0
  run --instance "$inst" --mode outline --rotation 10 --spacing 10 --oracle sample --threads off
done
run --generate 500 --mode outline --rotation 90 --spacing 2 --oracle sample
run --generate 500 --mode outline --rotation 10 --spacing 2 --oracle off
run --generate 500 --mode outline --rotation 10 --spacing 2 --oracle off --threads off
