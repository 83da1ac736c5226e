#!/usr/bin/env bash
# bench/dxf-bench.sh [VARNEL_CLI]
# Time and peak memory of varnel-cli --dxf beside --sdr -c PNEZD (CSV) on one generated
# job of about 100 MB: coordinate records (08) of 20,000 points, each recorded 60 times.
# Times are hyperfine's medians of 10 runs; peak memory is GNU time's maximum resident
# set of varnel-cli itself (the CSV's writing helper process not counted). Needs hyperfine.
set -euo pipefail
cli=$(realpath "${1:-build/linux/src/cli/varnel-cli}")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

LC_ALL=C awk 'BEGIN {
  for (round = 0; round < 60; round++)
    for (i = 0; i < 20000; i++)
      printf "08TP%16d%-16.4f%-16.4f%-16.4f%-16s\r\n", i, 5000 + (i % 200) * 0.5 + round * 0.0001,
             2000 + int(i / 200) * 0.5, 100 + (i % 50) * 0.01, "CODE" (i % 40)
}' > "$work/job.sdr"
echo "input: $(stat -c %s "$work/job.sdr") bytes, 1,200,000 records of 20,000 points"
sync

hyperfine -N --warmup 1 --runs 10 --export-json "$work/times.json" \
  --command-name csv --prepare "rm -f '$work/job.csv'" "'$cli' -q --sdr -c PNEZD '$work/job.sdr'" \
  --command-name dxf --prepare "rm -f '$work/job.dxf'" "'$cli' -q --dxf '$work/job.sdr'" >/dev/null
for kind in csv dxf; do
  rm -f "$work/job.$kind"
  options=(--sdr -c PNEZD)
  [ "$kind" = dxf ] && options=(--dxf)
  peak=$(/usr/bin/time -f %M "$cli" -q "${options[@]}" "$work/job.sdr" 2>&1 >/dev/null | tail -n 1)
  median=$(python3 -c "import json, sys; print(next(r['median'] for r in json.load(open(sys.argv[1]))['results'] if r['command'] == sys.argv[2]))" "$work/times.json" "$kind")
  printf '%s: median %.3f s, peak %d KiB, wrote %d bytes\n' "$kind" "$median" "$peak" "$(stat -c %s "$work/job.$kind")"
done
