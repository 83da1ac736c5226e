#!/usr/bin/env bash
# Builds every release artefact into build/release, with a SHA256SUMS file: the Debian
# package, for Windows 64 and 32 bits a zip and an installer, and the web page. The programs are
# optimised and stripped; a Windows program over 1 MiB stops the release.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

# Runs one step with its output held back; a failing step stops the release and shows it all.
step() {
  local output
  if ! output=$("$@" 2>&1); then
    printf '%s\n' "$output" >&2
    echo "release.sh: failed: $*" >&2
    exit 1
  fi
  grep -E '^CPack: - package' <<<"$output" || true
}

out=$PWD/build/release
rm -rf "$out"
for preset in release-linux release-windows-x64 release-windows-x86; do
  echo "== $preset"
  step cmake --workflow --preset "$preset"
done
version=$(sed -n 's/^project(Varnel VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
for arch in x64 x86; do
  stage=$PWD/build/release-windows-$arch/stage
  rm -rf "$stage"
  step cmake --install "build/release-windows-$arch" --prefix "$stage" --strip
  for program in "$stage"/*.exe; do
    if [ "$(stat -c %s "$program")" -gt 1048576 ]; then
      echo "$program is larger than 1 MiB" >&2
      exit 1
    fi
  done
  makensis -V2 -DVERSION="$version" -DARCH="$arch" -DSTAGE="$stage" -DICON="$PWD/src/ui/icon/varnel.ico" \
    -DOUTFILE="$out/varnel-$version-windows-$arch-setup.exe" packaging/windows/varnel.nsi
done
step cmake --preset web
cmake --build --preset web
cp build/web/src/ui/web/varnel.html "$out/"
rm -rf "$out/_CPack_Packages"
(cd "$out" && sha256sum -- * >SHA256SUMS)
ls -l "$out"
