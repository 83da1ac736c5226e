#!/bin/sh
# wine-run.sh PREFIX ARCH PROGRAM [ARGUMENT...]   runs a Windows program of ARCH (x86_64, i686)
# wine-run.sh PREFIX ARCH --setup                 makes the prefix, showing Wine's output on failure,
#                                                 and starts its Wine server until --stop
# wine-run.sh PREFIX ARCH --stop                  stops the prefix's Wine server
#
# Programs run under Wine in PREFIX, which is made on first use. Each architecture
# has its own loader: Debian's wine wrapper always starts the 32-bit one once wine32
# is installed, and some kernels cannot run 32-bit programs at all. Where the 32-bit
# loader does not start, 32-bit programs are reported as skipped (exit status 77).
#
# Root's power to write through permission bits is dropped, so that read-only files
# and folders behave for the program as they do for a user. VARNEL_FILE_SIZE_LIMIT,
# when set, limits the size of the files the program writes to that many bytes.
set -eu
prefix=$1
arch=$2
shift 2
export WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
wine64=/usr/lib/wine/wine64
# VARNEL_WINE32_LOADER stands in for the 32-bit loader, to try a machine without one.
wine32=${VARNEL_WINE32_LOADER:-/usr/lib/wine/wine}

# What runs Wine for root: itself, less its power over permission bits.
as_user=
[ "$(id -u)" != 0 ] || as_user="setpriv --bounding-set=-dac_override,-dac_read_search"

wine_setting() {
  WINELOADER=$wine64 $as_user "$wine64" reg add "HKCU\\Software\\Wine\\$1" /v "$2" /t "$3" /d "$4" /f
}

setup_prefix() {
  log="$prefix.log"
  # The prefix is always made by the 64-bit loader; it runs 32-bit programs too. Debian's
  # Wine does not look for its own fonts (Marlett draws the caption buttons) where
  # fonts-wine puts them.
  if ! { WINEARCH=win64 WINELOADER=$wine64 $as_user "$wine64" wineboot -i &&
         wine_setting 'X11 Driver' Managed REG_SZ N && wine_setting WineDbg ShowCrashDialog REG_DWORD 0 &&
         wine_setting 'Fonts\Replacements' Calibri REG_SZ Carlito &&
         wine_setting Fonts Path REG_SZ 'Z:\usr\share\wine\fonts'; } >"$log" 2>&1; then
    echo "wine-run.sh: could not make the Wine prefix $prefix; Wine said:" >&2
    cat "$log" >&2
    return 1
  fi
  touch "$prefix/.varnel-ready"
}

# Starts a Wine server that stays until it is stopped, with Wine's own services, which
# live as long as the server: here they hold no test's output open. True also when a
# server runs already (wineserver exits with 2 then), which the setup made persistent.
start_persistent_server() {
  { $as_user /usr/lib/wine/wineserver -p && WINELOADER=$wine64 $as_user "$wine64" wineboot; } >/dev/null 2>&1 || [ $? = 2 ]
}

mkdir -p "$(dirname "$prefix")"
if [ "$arch" != x86_64 ] && ! "$wine32" --version >/dev/null 2>&1; then
  echo "skipped: this machine cannot run 32-bit programs"
  exit 77
fi
(
  flock 9
  [ -f "$prefix/.varnel-ready" ] || setup_prefix
) 9>"$prefix.lock"
case "${1:-}" in
  # One server for every test: each program would otherwise start its own, which
  # lingers for seconds after it, holding the test runner's output open.
  --setup)
    # Only a persistent server outlives the gaps between tests, and the server that made
    # a new prefix is not one: stop it. The server opens files for the programs: it too
    # lacks root's power over permissions.
    /usr/lib/wine/wineserver -k 2>/dev/null || true
    /usr/lib/wine/wineserver -w
    start_persistent_server || { echo "wine-run.sh: no Wine server would start for $prefix" >&2; exit 1; }
    exit 0 ;;
  --stop) /usr/lib/wine/wineserver -k 2>/dev/null || true; exit 0 ;;  # none may run
esac

loader=$wine32
[ "$arch" != x86_64 ] || loader=$wine64  # which starts 64-bit children with itself too
if [ -n "${VARNEL_FILE_SIZE_LIMIT:-}" ]; then
  # Files may grow to so many bytes, for a test of writes that fall short. The Wine
  # server, which saves the prefix, must not inherit the limit, as it would if the
  # limited loader had to start it: one must run, for good, before.
  start_persistent_server || { echo "wine-run.sh: no Wine server runs for $prefix" >&2; exit 1; }
  trap '' XFSZ
fi
$as_user ${VARNEL_FILE_SIZE_LIMIT:+prlimit --fsize=$VARNEL_FILE_SIZE_LIMIT} "$loader" "$@"
