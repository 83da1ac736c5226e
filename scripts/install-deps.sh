#!/usr/bin/env bash
# Installs what building and testing Varnel needs on Debian 12, unless it is all
# there already. Runs apt-get as root, through sudo when needed.
set -euo pipefail

packages=(
  ca-certificates cmake g++ make                      # the core and varnel-cli
  googletest libgtest-dev libbenchmark-dev            # tests and benchmarks
  clang libclang-rt-14-dev                            # fuzzing
  qt6-base-dev fonts-crosextra-carlito desktop-file-utils  # the Linux window
  g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix # the Windows programs
  wine wine64 wine32:i386 fonts-wine xvfb xauth x11-utils strace  # testing them under Wine
  nsis lintian shared-mime-info                       # the installer and the Debian package
  emscripten node-acorn chromium unzip                # the web page and its tests in a browser
  python3-ezdxf librecad                              # reading drawings as CAD programs do
)
# The web page's tests run on Node.js with npm; a machine without them gets Debian's.
command -v npm >/dev/null || packages+=(nodejs npm)

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

as_root=()
[ "$(id -u)" -eq 0 ] || as_root=(sudo)
export DEBIAN_FRONTEND=noninteractive
# Wine runs the 32-bit program from the i386 architecture.
"${as_root[@]}" dpkg --add-architecture i386
"${as_root[@]}" apt-get update
"${as_root[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
