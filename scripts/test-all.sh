#!/usr/bin/env bash
# Builds everything and runs every test, from a fresh clone: the core, the Qt window
# and varnel-cli on Linux, the core again under AddressSanitizer and UndefinedBehavior-
# Sanitizer, each fuzz target for 15 seconds, the Windows programs cross-built for 64
# and 32 bits and tested under Wine, and then the release: the Debian package installed
# on this machine and removed again, and the Windows installers under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

# The Windows window tests need an X display; without one, make a virtual one.
if [ -z "${DISPLAY:-}" ] && command -v xvfb-run >/dev/null; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi

for preset in linux sanitize windows-x64 windows-x86; do
  cmake --workflow --preset "$preset"  # which names each step
done
fuzz/run-fuzzers.sh 15

echo "== web"
cmake --preset web >/dev/null
cmake --build --preset web
(cd tests/web && npm ci --no-audit --no-fund --loglevel=error)
node tests/web/page-test.mjs build/web/src/ui/web/varnel.html build/linux/src/cli/varnel-cli \
  build/web/varnel-web.png

echo "== release"
scripts/release.sh
tests/release/deb-test.sh build/release/varnel_*_amd64.deb build/linux/src/cli/varnel-cli
tests/release/installer-test.sh x86_64 build/release/varnel-*-windows-x64-setup.exe build/windows-x64/bin/varnel_window_tests.exe
# Where the machine cannot run 32-bit programs, the runner skips them (status 77), as CTest did.
tests/release/installer-test.sh i686 build/release/varnel-*-windows-x86-setup.exe build/windows-x86/bin/varnel_window_tests.exe ||
  [ $? = 77 ]
