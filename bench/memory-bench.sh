#!/usr/bin/env bash
# bench/memory-bench.sh [BUILD_DIR]
# Peak memory of the window's batch driver (one tick) and of varnel-cli over a 1 GiB
# file without a line end, and over a 1 GiB file of records, measured by GNU time.
set -euo pipefail
build=$(realpath "${1:-build/linux}")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

head -c 1G /dev/zero | tr '\0' 'x' > "$work/no-line-end.sdr"
record="08TP        00000009510.50400000    908.83800000    19.69900000     11              "
{ yes "$record" || true; } | head -c 1G | tr '\n' '\r' > "$work/records.sdr"

for input in no-line-end records; do
  for program in "$build/bench/varnel_tick_once" "$build/src/cli/varnel-cli"; do
    rm -f "$work/$input.csv"
    peak=$(/usr/bin/time -f %M "$program" "$work/$input.sdr" 2>&1 >/dev/null | tail -n 1)
    size=$(stat -c %s "$work/$input.csv" 2>/dev/null || echo 0)
    printf '%-16s %-18s peak %6d KiB, wrote %d bytes\n' "$(basename "$program")" "$input.sdr" "$peak" "$size"
  done
done
