#!/usr/bin/env bash
# fuzz/run-fuzzers.sh [SECONDS_EACH]
# Builds the libFuzzer targets (preset "fuzz") and runs each for SECONDS_EACH seconds
# (15 by default) from its seed corpus in fuzz/corpus. New inputs and a finding go to a
# scratch folder, whose path is printed; a finding stops the script.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz >/dev/null
scratch=$(mktemp -d)
echo "scratch folder: $scratch"
for target in FuzzCommandLine FuzzConvertSdrLine FuzzJobReader FuzzLineSplitter; do
  echo "== $target for ${1:-15}s"
  mkdir -p "$scratch/$target"
  "build/fuzz/fuzz/$target" -max_total_time="${1:-15}" -max_len=4096 -artifact_prefix="$scratch/$target-" \
    "$scratch/$target" "fuzz/corpus/$target" 2>&1 | grep -E '^(Done|==[0-9]+==ERROR|SUMMARY)'
done
