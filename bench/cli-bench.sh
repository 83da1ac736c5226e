#!/usr/bin/env bash
# bench/cli-bench.sh [VARNEL_CLI]
# Times varnel-cli on two generated files of about 100 MB, each in one hyperfine call
# of 20 runs beside reading the file once (cat to /dev/null): the default conversion
# and --sdr -c PNEZD. One file holds only 84-byte records with CR LF, the other half
# records and half short note lines. A plain gawk script doing the default conversion
# on the mixed file is timed too. Needs hyperfine and gawk. Each record names a point of
# its own, so that --sdr holds every point of the file until its end, as job-bench.sh's
# distinct job does.
set -euo pipefail
cli=$(realpath "${1:-build/linux/src/cli/varnel-cli}")
here=$(dirname "$(realpath "$0")")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

LC_ALL=C awk -v work="$work" '
function record(i) {
  return sprintf("08TP%16d%16.3f%16.3f%16.3f%16s\r\n", i, 5000 + i * 0.01, 2000 + i * 0.02, 100 + i % 50, "PT")
}
BEGIN {
  for (i = 0; records < 100 * 1024 * 1024; i++) {
    line = record(i)
    printf "%s", line > (work "/records.sdr")
    records += length(line)
  }
  for (i = 0; mixed < 100 * 1024 * 1024; i++) {
    line = record(i) "03NM1.600000000\r\n"
    printf "%s", line > (work "/mixed.sdr")
    mixed += length(line)
  }
}'
ls -l "$work"/*.sdr | awk '{print "input: " $NF ", " $5 " bytes"}'

LC_ALL=C gawk -f "$here/convert.awk" "$work/mixed.sdr" > "$work/gawk.csv"
"$cli" -q "$work/mixed.sdr"
cmp "$work/mixed.csv" "$work/gawk.csv" && echo "varnel-cli and gawk agree byte for byte"
rm -f "$work"/*.csv
# The new files' write-back would otherwise compete with the timed runs.
sync

for input in records mixed; do
  sdr="$work/$input.sdr" csv="$work/$input.csv"
  # -N: without a shell in between, whose start would be most of cat's time.
  hyperfine -N --warmup 3 --runs 20 --export-json "$work/$input.json" \
    --command-name cat --prepare true "cat '$sdr'" \
    --command-name default --prepare "rm -f '$csv'" "'$cli' '$sdr'" \
    --command-name sdr --prepare "rm -f '$csv'" "'$cli' --sdr -c PNEZD '$sdr'" >/dev/null
done
hyperfine --runs 2 --export-json "$work/gawk.json" --command-name gawk \
  "LC_ALL=C gawk -f '$here/convert.awk' '$work/mixed.sdr' > '$work/gawk.csv'" >/dev/null

python3 - "$work" <<'PY'
import json, sys
work = sys.argv[1]
def medians(name):
    return {r["command"]: r["median"] * 1000 for r in json.load(open(f"{work}/{name}.json"))["results"]}
for name, what in [("records", "84-byte records only"), ("mixed", "records and notes")]:
    m = medians(name)
    print(f"{what}, medians of 20 runs: cat {m['cat']:.1f} ms, default {m['default']:.1f} ms "
          f"({m['default'] / m['cat']:.2f} x cat; target at most 2.5), --sdr -c PNEZD {m['sdr']:.1f} ms "
          f"({m['sdr'] / m['default']:.2f} x default; a job of distinct points: job-bench.sh sets its target)")
gawk = medians("gawk")["gawk"]
print(f"varnel-cli is {gawk / medians('mixed')['default']:.0f} times as fast as gawk on the mixed file (target: at least 50)")
PY
