#!/usr/bin/env bash
# tests/release/deb-test.sh DEB REFERENCE_VARNEL_CLI
# The Debian package on this machine (as root): lintian finds no error; apt-get installs
# both programs, their manual pages, the icons, the MIME type of SDR files and a valid
# launcher that names the program, quoted, and takes dropped files, also in its action
# that reads every point of each job; the installed varnel-cli converts the bundled
# samples as the tested build does; the launcher and the MIME type are in the desktop's
# databases; and apt-get remove leaves nothing behind.
set -euo pipefail
[ "$(id -u)" = 0 ] || exec sudo "$0" "$@"  # apt-get installs for the whole machine
deb=$(realpath "$1") reference=$(realpath "$2")
cd "$(dirname "$0")/../.."
fail() { echo "package test: $*" >&2; exit 1; }
export DEBIAN_FRONTEND=noninteractive

lintian --fail-on error "$deb"
apt-get install -y "$deb" >/dev/null
installed=$(dpkg -L varnel)
for file in bin/varnel bin/varnel-cli share/man/man1/varnel.1.gz share/man/man1/varnel-cli.1.gz \
            share/icons/hicolor/{32x32,256x256}/apps/varnel.png share/icons/hicolor/scalable/apps/varnel.svg; do
  grep -qx "/usr/$file" <<<"$installed" || fail "not installed: /usr/$file"
done
launcher=/usr/share/applications/varnel.desktop
desktop-file-validate "$launcher" || fail "desktop-file-validate found fault with the launcher"
grep -qx 'Exec="/usr/bin/varnel" %F' "$launcher" || fail "the launcher's $(grep ^Exec= "$launcher")"
# Its action, which desktop-file-validate has matched with the Actions key.
[ "$(sed -n '/^\[Desktop Action all-points\]/,$p' "$launcher")" = $'[Desktop Action all-points]\nName=Все точки задания\nExec="/usr/bin/varnel" --sdr %F' ] ||
  fail "the launcher's action: $(sed -n '/^\[Desktop Action/,$p' "$launcher")"
for sdr in samples/*.sdr; do  # the output and the exit status
  [ "$(/usr/bin/varnel-cli - <"$sdr"; echo "status $?")" = "$("$reference" - <"$sdr"; echo "status $?")" ] ||
    fail "the installed varnel-cli converts $sdr otherwise"
done
grep -qx '[0-9]*:application/x-sokkia-sdr:\*\.sdr' /usr/share/mime/globs2 || fail "*.sdr is not a known MIME type"
grep -qx 'application/x-sokkia-sdr=varnel.desktop;' /usr/share/applications/mimeinfo.cache ||
  fail "the launcher is not offered for SDR files"

apt-get remove -y varnel >/dev/null
for path in $installed; do
  [ -d "$path" ] || [ ! -e "$path" ] || fail "left behind: $path"
done
! grep -q 'sokkia\|varnel' /usr/share/mime/globs2 /usr/share/applications/mimeinfo.cache || fail "left in a database"
echo "package test: passed"
