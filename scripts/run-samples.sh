#!/usr/bin/env bash
# Builds the Linux program and starts it on copies of the bundled sample files, as
# if they had been dropped on its icon. Press Выполнить (Run); the CSV files appear
# beside the copies. Without a display, the same files go through varnel-cli.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

cmake --preset linux >/dev/null
cmake --build --preset linux --target varnel varnel-cli >/dev/null

work=$(mktemp -d)
cp samples/*.sdr "$work/"
echo "Sample files copied to $work"
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  echo "Press Выполнить (Run) in the window; it closes by itself when the files are converted."
  build/linux/src/ui/qt/varnel "$work"/*.sdr || true
else
  echo "No display here: converting with varnel-cli instead (xvfb-run shows the window nowhere)."
  build/linux/src/cli/varnel-cli "$work"/*.sdr
fi
for csv in "$work"/*.csv; do
  echo "== $csv"
  cat "$csv"
done
