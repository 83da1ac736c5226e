#!/bin/sh
# wine64-loader-only.sh COMMAND...: runs COMMAND, a 64-bit test under Wine, and fails
# when it fails or when Wine's 32-bit loader was started by it or by any child.
set -eu
log=$(mktemp)
trap 'rm -f "$log"' EXIT
strace -f -qq -e trace=execve -e signal=none -o "$log" "$@"
if grep '"/usr/lib/wine/wine"' "$log"; then
  echo "Wine's 32-bit loader ran"
  exit 1
fi
grep -q '"/usr/lib/wine/wine64"' "$log" || { echo "Wine's 64-bit loader never ran"; exit 1; }
