#!/usr/bin/env bash
# tests/release/installer-test.sh x86_64|i686 INSTALLER WINDOW_TESTS_EXE
# The Windows installer under Wine, in a fresh prefix: a silent install, twice (the
# second, told another folder, replaces the first in place); an uninstall while varnel.exe
# runs fails and removes nothing; the shortcuts lead to the installed program, which,
# started through Send To, passes the window's first scenario, and through the second
# shortcut, which reads every point of each job, its jobs scenario; the uninstaller is
# listed for the user; a silent uninstall leaves no file, shortcut or registry key.
set -euo pipefail
arch=$1 installer=$(realpath "$2") windowTests=$(realpath "$3")
run="$(dirname "$(realpath "$0")")/../../cmake/wine-run.sh"
scratch=$(mktemp -d)
trap 'WINEPREFIX="$scratch/prefix" /usr/lib/wine/wineserver -k 2>/dev/null || true; rm -rf "$scratch"' EXIT
export HOME=$scratch/home  # Wine links the Windows desktop to it
mkdir -p "$HOME"
prefix=$scratch/prefix
# Each step waits for Wine to go quiet; the first makes the prefix.
wine() { "$run" "$prefix" "$arch" "$@"; WINEPREFIX=$prefix /usr/lib/wine/wineserver -w; }
fail() { echo "installer test ($arch): $*" >&2; exit 1; }

wine "$installer" /S
wine "$installer" /S '/D=C:\VarnelElsewhere'
installed=$(find "$prefix/drive_c/users" -path '*/AppData/Local/Programs/Varnel' -type d)
send_to=$(find "$prefix/drive_c/users" -path '*/Windows/SendTo' -type d)
# The uninstaller, run in place (_?=) so that its exit status reaches us, fails while varnel.exe runs.
"$run" "$prefix" "$arch" "$installed/varnel.exe" "Z:$scratch/a.sdr" & varnel=$!
# grep reads all that xwininfo writes: grep -q would end first and break its pipe.
until xwininfo -root -tree | grep '("varnel.exe"' >/dev/null; do kill -0 $varnel || fail "varnel.exe ended"; sleep 0.1; done
! "$run" "$prefix" "$arch" "$installed/uninstall.exe" /S "_?=Z:${installed//\//\\}" || fail "uninstalled while varnel.exe ran"
WINEPREFIX=$prefix /usr/lib/wine/wineserver -k; wait $varnel || true  # how the killed program ends does not matter
[ "$(ls "$installed")" = "$(printf 'readme-ru.txt\nuninstall.exe\nvarnel-cli.exe\nvarnel.exe')" ] ||
  fail "installed: $(ls "$installed")"
listing=$(wine reg query 'HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Varnel')
for value in 'DisplayName.*Varnel' 'DisplayVersion' 'Publisher.*Varnel' 'DisplayIcon.*varnel\.exe' 'EstimatedSize' \
             'QuietUninstallString.*/S'; do
  grep -q "$value" <<<"$listing" || fail "the uninstaller's entry lacks $value: $listing"
done

for shortcut in "$HOME/Varnel.lnk" {"$send_to/../Start Menu/Programs","$send_to"}/{Varnel,"Varnel — все точки"}.lnk; do
  grep -aqF 'AppData\Local\Programs\Varnel\varnel.exe' "$shortcut" || fail "$shortcut does not lead to the installed program"
done
# The window's first scenario, its files dropped on the Send To shortcut; and its jobs
# scenario on the second, which gives the switch. The shell of Wine opens shortcuts by
# their C: paths only.
for name_and_scenario in 'Varnel 0' 'Varnel — все точки 7'; do
  shortcut='C:\'$(realpath --relative-to="$prefix/drive_c" "$send_to/${name_and_scenario% *}.lnk" | tr / '\\')
  log=$(VARNEL_SHORTCUT=$shortcut "$run" "$prefix" "$arch" "$windowTests" --gtest_filter="Scenarios/*/${name_and_scenario##* }") &&
    grep -q '^\[  PASSED  \] 1 test\.' <<<"$log" || fail "started through $shortcut, the installed program failed: $log"
done

wine "$(find "$installed" -name uninstall.exe)" /S
left=$(find "$prefix/drive_c" "$HOME" -iname '*varnel*'; grep -il varnel "$prefix"/*.reg || true)
[ -z "$left" ] || fail "left behind: $left"
echo "installer test ($arch): passed"
