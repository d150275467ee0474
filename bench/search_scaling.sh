#!/usr/bin/env bash
# The scaling table of docs/performance.md: generated instances of N parts,
# Outline mode, spacing 2 mm, 90 and 10 degree steps, threads on. Each row
# runs the given runners one after the other (a baseline build first, to
# compare in the same conditions) and prints their lines with CPU seconds.
# Usage: bench/search_scaling.sh "<sizes>" "<steps>" <runner> [<runner> ...]
#   bench/search_scaling.sh "100 200 400 800 1600" "90 10" build/old/bench/bench_nest_runner \
#       build/default/bench/bench_nest_runner
set -euo pipefail
sizes="$1"
steps="$2"
shift 2
for step in $steps; do
  for n in $sizes; do
    for runner in "$@"; do
      /usr/bin/time -f "cpu_s=%U" "$runner" --generate "$n" --mode outline --rotation "$step" \
        --spacing 2 --oracle "${ORACLE:-off}" 2>&1 | tr '\n' ' ' || true
      echo " runner=$runner load=$(cut -d' ' -f1 /proc/loadavg)"
    done
  done
done
