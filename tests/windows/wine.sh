#!/usr/bin/env bash
# Runs a Windows program under Wine (WINEPREFIX, else a prefix of this user's, made once under a
# lock with the PulseAudio driver): the test runner of the Windows build.
#   tests/windows/wine.sh PROGRAM.exe [ARGS...]
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
# Wine's services would inherit the first program's output (and CTest wait for them): a lingering
# server runs a program of no output first.
"$wineserver" -p10 2>/dev/null || true # nothing to do when one runs already
"$wine" cmd /c exit </dev/null >/dev/null 2>&1
exec "$wine" "$@"
