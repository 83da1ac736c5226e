#!/usr/bin/env bash
# Builds everything and runs every test, from a fresh clone: the core, the Qt window
# and varnel-cli on Linux, the core again under AddressSanitizer and UndefinedBehavior-
# Sanitizer, each fuzz target for 15 seconds, and the Windows programs cross-built for
# 64 and 32 bits and tested under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

# The Windows window tests need an X display; without one, make a virtual one.
if [ -z "${DISPLAY:-}" ] && command -v xvfb-run >/dev/null; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi

for preset in linux sanitize; do
  echo "== $preset"
  cmake --workflow --preset "$preset"
done
echo "== fuzz"
fuzz/run-fuzzers.sh 15
for preset in windows-x64 windows-x86; do
  echo "== $preset"
  cmake --workflow --preset "$preset"
done
# The runner tried Wine's 32-bit loader once and skipped the 32-bit suite if it failed.
if [ "$(cat build/windows-x86/wineprefix.can-run-32-bit 2>/dev/null)" = no ]; then
  echo "== windows-x86: tests skipped: this machine cannot run 32-bit programs"
fi
