#!/usr/bin/env bash
# bench/job-bench.sh [VARNEL_CLI]
# Times varnel-cli --sdr, which reads each file as a job with its table of points,
# beside the default conversion on three generated jobs of about 100 MB, in one hyperfine
# call of 10 runs each, and measures its peak memory with GNU time:
#   repeated: coordinate records (08) of 20,000 points, each recorded 60 times;
#   distinct: coordinate records of 1.2 million points, each once;
#   observed: observations (09) from one station to 20,000 points, which are reduced.
# Targets: --sdr at most 1.5 times the default path on the repeated job and 3 times on the
# distinct one; the observations at most 2 times the repeated job's --sdr; at most 256 MiB.
set -euo pipefail
cli=$(realpath "${1:-build/linux/src/cli/varnel-cli}")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

LC_ALL=C awk -v work="$work" '
function point(id, n) {
  return sprintf("08TP%16d%-16.3f%-16.3f%-16.3f%-16s\r\n", id, 5000 + id * 0.01 + n * 0.001, 2000 + id * 0.02, 100 + id % 50, "PT")
}
BEGIN {
  head = "00NMSDR33 V04-04.02     05-Nov-20 08:00 213111\r\n10NMBENCH           121111\r\n"
  split("repeated distinct observed", names, " ")
  for (f = 1; f <= 3; f++) {
    out = work "/" names[f] ".sdr"
    printf "%s", head > out
    if (names[f] == "observed") {
      printf "02TP%16s%-16s%-16s%-16s%-16s%-16s\r\n", "STN", "5000.000", "2000.000", "100.000", "1.500", "STN" > out
      printf "07TP%16s%16s%-16s%-16s\r\n", "STN", "BS", "0.0000", "0.0000" > out
    }
    for (i = 0; size < 100 * 1024 * 1024; i++) {
      if (names[f] == "repeated") line = point(i % 20000, int(i / 20000))
      else if (names[f] == "distinct") line = point(i, 0)
      else line = sprintf("09F1%16s%16d%-16.3f%-16.4f%-16.4f%-16s\r\n", "STN", i % 20000, 10 + (i % 997) * 0.1,
                          95 + (i % 11) * 0.1, (i * 7.3) % 400, "OBS")
      printf "%s", line > out
      size += length(line)
    }
    close(out)
    size = 0
  }
}'
ls -l "$work"/*.sdr | awk '{print "input: " $NF ", " $5 " bytes"}'
sync

for input in repeated distinct observed; do
  sdr="$work/$input.sdr" csv="$work/$input.csv"
  # -i: the default path finds no records in a job of observations, which is status 1.
  hyperfine -N -i --warmup 2 --runs 10 --export-json "$work/$input.json" \
    --command-name default --prepare "rm -f '$csv'" "'$cli' -q '$sdr'" \
    --command-name sdr --prepare "rm -f '$csv'" "'$cli' -q --sdr '$sdr'" >/dev/null
  rm -f "$csv"
  /usr/bin/time -f %M -o "$work/$input.peak" "$cli" -q --sdr "$sdr"
done

python3 - "$work" <<'PY'
import json, sys
work = sys.argv[1]
def medians(name):
    return {r["command"]: r["median"] * 1000 for r in json.load(open(f"{work}/{name}.json"))["results"]}
def peak(name):
    return int(open(f"{work}/{name}.peak").read().split()[-1]) / 1024
m = {name: medians(name) for name in ("repeated", "distinct", "observed")}
for name, target in (("repeated", 1.5), ("distinct", 3)):
    print(f"{name}: default {m[name]['default']:.1f} ms, --sdr {m[name]['sdr']:.1f} ms "
          f"({m[name]['sdr'] / m[name]['default']:.2f} x default; target at most {target}), peak {peak(name):.0f} MiB")
print(f"observed: --sdr {m['observed']['sdr']:.1f} ms ({m['observed']['sdr'] / m['repeated']['sdr']:.2f} x the repeated "
      f"job's --sdr; target at most 2), peak {peak('observed'):.0f} MiB")
print(f"peak memory of the distinct job: {peak('distinct'):.0f} MiB (target at most 256)")
PY
