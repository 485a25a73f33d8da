#!/usr/bin/env bash
# Runs a Windows program under Wine in a private prefix: the test runner of the Windows build.
#   tests/windows/wine.sh PROGRAM.exe [ARGS...]
# The prefix is WINEPREFIX when set (tests/windows/run.sh sets one in its temporary folder), else
# one of this user's own in the temporary folder. A new prefix is made once, under a lock, with
# Wine's PulseAudio driver as its audio driver, so the wave devices reach the server that
# PULSE_SERVER names (tests/servers.sh). The program's exit status is returned.
set -euo pipefail

[ $# -gt 0 ] || { echo "usage: $0 PROGRAM.exe [ARGS...]" >&2; exit 2; }

wine=${VUMO_WINE:-/usr/lib/wine/wine64}
wineserver=${VUMO_WINESERVER:-/usr/lib/wine/wineserver}
export WINEPREFIX=${WINEPREFIX:-${TMPDIR:-/tmp}/vumo-wine-$(id -u)}
export WINEDEBUG=${WINEDEBUG:--all}
# No Mono or Gecko: nothing here needs them, and their installers would ask.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
# ALSA has no card here; its complaints while Wine probes it only clutter the output.
export ALSA_CONFIG_PATH=${ALSA_CONFIG_PATH:-/dev/null}

if [ ! -f "$WINEPREFIX/.vumo-ready" ]; then
    mkdir -p "$WINEPREFIX"
    (
        flock 9
        if [ ! -f "$WINEPREFIX/.vumo-ready" ]; then
            "$wine" wineboot -i >/dev/null 2>&1
            "$wine" reg add 'HKCU\Software\Wine\Drivers' /v Audio /d pulse /f >/dev/null 2>&1
            "$wineserver" -w
            touch "$WINEPREFIX/.vumo-ready"
        fi
    ) 9>"$WINEPREFIX.lock"
fi
# Wine's own service processes start with the first program that a server runs, and they would
# inherit its output: a caller waiting for that output to end (CTest) would wait for them. So a
# server that lingers a while after its last program is started first, with a program of no
# output, and the services keep to that.
"$wineserver" -p10 2>/dev/null || true # nothing to do when one runs already
"$wine" cmd /c exit </dev/null >/dev/null 2>&1
exec "$wine" "$@"
