#!/usr/bin/env bash
# bench/cli-bench.sh [VARNEL_CLI]
# Times varnel-cli on a generated 100 MB SDR file beside reading the file once
# (cat to /dev/null) and beside a plain gawk script doing the same conversion,
# all in one run. Needs hyperfine and gawk.
set -euo pipefail
cli=$(realpath "${1:-build/linux/src/cli/varnel-cli}")
here=$(dirname "$(realpath "$0")")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Half coordinate records of 84 bytes, half short note lines, CR LF ends.
LC_ALL=C awk 'BEGIN {
  note = "03NM1.600000000\r\n"
  for (i = 0; size < 100 * 1024 * 1024; i++) {
    line = sprintf("08TP%16d%16.3f%16.3f%16.3f%16s\r\n", i, 5000 + i * 0.01, 2000 + i * 0.02, 100 + i % 50, "PT")
    printf "%s%s", line, note
    size += length(line) + length(note)
  }
}' > "$work/job.sdr"
echo "input: $(stat -c %s "$work/job.sdr") bytes"

"$cli" "$work/job.sdr"
LC_ALL=C gawk -f "$here/convert.awk" "$work/job.sdr" > "$work/gawk.csv"
cmp "$work/job.csv" "$work/gawk.csv" && echo "varnel-cli and gawk agree byte for byte"
# The new files' write-back would otherwise compete with the timed runs.
sync

# -N: without a shell in between, whose start would be most of cat's time.
hyperfine -N --warmup 3 --runs 20 --export-json "$work/times.json" \
  --command-name cat "cat '$work/job.sdr'" \
  --command-name varnel-cli --prepare "rm -f '$work/job.csv'" "'$cli' '$work/job.sdr'"
hyperfine --runs 2 --export-json "$work/gawk.json" --command-name gawk \
  "LC_ALL=C gawk -f '$here/convert.awk' '$work/job.sdr' > '$work/gawk.csv'"

python3 - "$work/times.json" "$work/gawk.json" <<'PY'
import json, sys
runs = {r["command"]: r for f in sys.argv[1:] for r in json.load(open(f))["results"]}
cat, cli, gawk = runs["cat"], runs["varnel-cli"], runs["gawk"]
print(f"mean: cat {cat['mean'] * 1000:.1f} ms, varnel-cli {cli['mean'] * 1000:.1f} ms, gawk {gawk['mean'] * 1000:.0f} ms")
print(f"fastest run: cat {cat['min'] * 1000:.1f} ms, varnel-cli {cli['min'] * 1000:.1f} ms")
print(f"varnel-cli takes {cli['mean'] / cat['mean']:.1f} times as long as cat on the mean, "
      f"{cli['min'] / cat['min']:.1f} on the fastest runs (target: at most 3)")
print(f"varnel-cli is {gawk['mean'] / cli['mean']:.0f} times as fast as gawk (target: at least 50)")
PY
