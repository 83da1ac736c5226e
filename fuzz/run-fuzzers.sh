#!/usr/bin/env bash
# fuzz/run-fuzzers.sh [SECONDS_EACH]
# Builds the libFuzzer targets (preset "fuzz") and runs each for SECONDS_EACH seconds
# (15 by default) from the seed corpus in fuzz/corpus/TARGET. New inputs go to a
# scratch folder, not into the repository. A finding stops the script with the crash
# input saved in the scratch folder, whose path is printed.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-15}

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz >/dev/null

scratch=$(mktemp -d)
echo "scratch folder: $scratch"
for target in FuzzCommandLine FuzzConvertSdrLine FuzzLineSplitter FuzzOutputNaming; do
  mkdir -p "$scratch/$target"
  echo "== $target for ${seconds}s"
  (cd "$scratch" && "$OLDPWD/build/fuzz/fuzz/$target" -max_total_time="$seconds" -print_final_stats=1 \
      -max_len=4096 -artifact_prefix="$scratch/$target-" "$scratch/$target" "$OLDPWD/fuzz/corpus/$target" 2>&1 |
    grep -E '^(stat::number_of_executed_units|stat::new_units_added|Done|==[0-9]+==ERROR|SUMMARY)' )
done
