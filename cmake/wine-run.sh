#!/bin/sh
# wine-run.sh PREFIX PROGRAM [ARGUMENT...]
# Runs a Windows program under Wine in PREFIX, which is made on first use. Root's
# power to write through permission bits is dropped, so that read-only files and
# folders behave for the program as they do for a user.
set -eu
prefix=$1
shift
export WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

as_user() {
  if [ "$(id -u)" = 0 ]; then
    setpriv --bounding-set=-dac_override,-dac_read_search "$@"
  else
    "$@"
  fi
}

mkdir -p "$prefix"
(
  flock 9
  if [ ! -f "$prefix/.varnel-ready" ]; then
    as_user wineboot -i >/dev/null 2>&1
    for setting in 'X11 Driver|Managed|REG_SZ|N' 'WineDbg|ShowCrashDialog|REG_DWORD|0' \
                   'Fonts\Replacements|Calibri|REG_SZ|Carlito'; do
      IFS='|' read -r key name type data <<END
$setting
END
      as_user wine reg add "HKCU\\Software\\Wine\\$key" /v "$name" /t "$type" /d "$data" /f >/dev/null 2>&1
    done
    touch "$prefix/.varnel-ready"
  fi
) 9>"$prefix.lock"
as_user wine "$@"
