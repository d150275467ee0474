#!/usr/bin/env bash
# `zolvane nest` end to end on 1000 copies (bench/data/stickers-1000.svg: 20
# sticker designs) in Outline mode, with the 10 degree and the 90 degree
# rotation step, writing SVG, PDF and PNG; prints where the time goes.
# Usage: bench/nest_command.sh [build-dir]
set -euo pipefail
cd "$(dirname "$0")/.."
zolvane="${1:-build/default}/cli/zolvane"
out="$(mktemp -d)"
trap 'rm -rf "$out"' EXIT
# A home of its own, so that the user's remembered settings stay as they are.
export HOME="$out/home" XDG_CONFIG_HOME="$out/home/.config"
mkdir -p "$HOME"
for step in 10 90; do
  echo "== 1000 copies, outline, rotation step $step"
  start=$(date +%s.%N)
  "$zolvane" nest bench/data/stickers-1000.svg -o "$out/n.svg" -o "$out/n.pdf" -o "$out/n.png" \
    --mode outline --rotation "$step" --sheet 860x1260 --margins 15 --spacing 2 --timings \
    --quiet
  end=$(date +%s.%N)
  awk -v s="$start" -v e="$end" 'BEGIN { printf "wall %.2f s\n", e - s }'
done
