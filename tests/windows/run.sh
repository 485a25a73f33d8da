#!/usr/bin/env bash
# The checks of the Windows build under Wine: the DLLs' export tables and imports, the cross
# build's CTest, a C caller and vumo-fx.exe writing the Linux build's bytes, and the multimedia
# devices against the sound server of tests/servers.sh.
# Usage (Linux: libwavorn, vumo-fx, vumo-play, fx_digest; Win64: all; Win32: wavorn and
# wavorn_caller_imports):
#   tests/servers.sh tests/windows/run.sh LINUX_BUILD WIN64_BUILD WIN32_BUILD
set -euo pipefail

[ $# -eq 3 ] || { echo "usage: $0 LINUX_BUILD WIN64_BUILD WIN32_BUILD" >&2; exit 2; }
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
linux=$(cd "$1" && pwd)
win64=$(cd "$2" && pwd)
win32=$(cd "$3" && pwd)

run_dir=$(mktemp -d "${TMPDIR:-/tmp}/vumo-windows.XXXXXX")
export WINEPREFIX="$run_dir/wine"
wineserver=${VUMO_WINESERVER:-/usr/lib/wine/wineserver}
partners=()
finish() {
    for pid in "${partners[@]}"; do kill "$pid" 2>/dev/null || true; done
    [ -d "$WINEPREFIX" ] && "$wineserver" -k 2>/dev/null || true
    rm -rf "$run_dir"
}
trap finish EXIT
trap 'exit 130' INT TERM

failures=0
check() { # name, then the command that must succeed
    local name=$1
    shift
    if "$@"; then
        echo "ok   $name"
    else
        echo "FAIL $name"
        failures=$((failures + 1))
    fi
}
wine() { "$here/wine.sh" "$@"; }
winpath() { local p=${1//\//\\}; echo "Z:$p"; }

# --- Export tables and imports ----------------------------------------------------------------
expected_exports=$(sed -n '/global:/,/local:/p' "$root/engine/api/wavorn.map" | tr -d ';' |
    tr -s ' \t' '\n' | grep -E '^[A-Z][A-Za-z0-9]*$' | sort)
exports_of() { # objdump, DLL
    "$1" -p "$2" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/s/^[[:space:]]*\[ *[0-9]*\] //p' |
        sort
}
exports_are_the_37() {
    local got
    got=$(exports_of "$1" "$2")
    [ "$(echo "$got" | wc -l)" -eq 37 ] && [ "$got" = "$expected_exports" ] && return 0
    diff <(echo "$expected_exports") <(echo "$got") >&2 || true
    return 1
}
# Only the system's own DLLs: no MinGW runtime to ship.
imports_are_system_dlls() { # objdump, file
    local others
    others=$("$1" -p "$2" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'A-Z' 'a-z' |
        grep -vxE 'kernel32\.dll|msvcrt\.dll|winmm\.dll|wavorn\.dll' || true)
    [ -z "$others" ] || { echo "  $2 imports: $others" >&2; return 1; }
}
# A 32-bit caller compiled against wavorn.h imports the plain names through the import library.
imports_plain_names() {
    local names
    names=$(i686-w64-mingw32-objdump -p "$1" |
        sed -n '/DLL Name: wavorn.dll/,/^$/s/^[[:space:]]*[0-9a-f]*[[:space:]]*[0-9]*[[:space:]]\{2\}//p')
    [ -n "$names" ] && ! echo "$names" | grep -q '@'
}
# The 32-bit import library: the 37 names with their decoration, for callers of wavorn.h.
import_library_has_the_37() {
    local got
    got=$(i686-w64-mingw32-nm "$win32/bin/libwavorn.dll.a" |
        sed -n 's/^.* I __imp__\([A-Za-z0-9]*\)@[0-9]*$/\1/p' | sort)
    [ "$got" = "$expected_exports" ] && return 0
    diff <(echo "$expected_exports") <(echo "$got") >&2 || true
    return 1
}
check "64-bit wavorn.dll exports exactly the 37 names" \
    exports_are_the_37 x86_64-w64-mingw32-objdump "$win64/bin/wavorn.dll"
check "32-bit wavorn.dll exports exactly the 37 names, undecorated" \
    exports_are_the_37 i686-w64-mingw32-objdump "$win32/bin/wavorn.dll"
for f in "$win64/bin/wavorn.dll" "$win64/bin/vumo-fx.exe" "$win64/bin/vumo-play.exe"; do
    check "$(basename "$f") (64-bit) imports system DLLs only" \
        imports_are_system_dlls x86_64-w64-mingw32-objdump "$f"
done
check "32-bit wavorn.dll imports system DLLs only" \
    imports_are_system_dlls i686-w64-mingw32-objdump "$win32/bin/wavorn.dll"
check "the 32-bit import library holds the 37 decorated names" import_library_has_the_37
check "a 32-bit caller links the import library and imports the plain names" \
    imports_plain_names "$win32/bin/wavorn_caller_imports.exe"

# --- The prefix, then the cross build's tests ---------------------------------------------------
started=$SECONDS
wine cmd /c exit
"$wineserver" -w # one lasting server for the whole run: programs then start at once
"$wineserver" -p
wine cmd /c exit # starts Wine's services apart from any output a check waits for
echo "Wine prefix ready in $((SECONDS - started)) s"
check "the cross build's tests under Wine" \
    ctest --test-dir "$win64" --output-on-failure -j "$(nproc)"

# --- The C caller and vumo-fx against the Linux build -------------------------------------------
mkdir -p "$run_dir/linux" "$run_dir/windows"
caller_runs() {
    cc -O2 -Wall -Wextra -Werror "$here/caller.c" -ldl -o "$run_dir/caller" &&
        VUMO_AUDIO_BACKEND=virtual VUMO_MIDI_BACKEND=virtual \
            VUMO_VIRTUAL_MIDI_OUT="$run_dir/linux/midi.txt" LD_LIBRARY_PATH="$linux/bin" \
            "$run_dir/caller" "$run_dir/linux" >/dev/null &&
        (cd "$win64/bin" && VUMO_AUDIO_BACKEND=virtual VUMO_MIDI_BACKEND=virtual \
            VUMO_VIRTUAL_MIDI_OUT="$(winpath "$run_dir/windows/midi.txt")" \
            wine wavorn_caller.exe "$(winpath "$run_dir/windows")" >/dev/null)
}
# The messages sent, without their times.
messages() { cut -d' ' -f2- "$1"; }
same_midi() { [ -s "$run_dir/linux/midi.txt" ] &&
    [ "$(messages "$run_dir/linux/midi.txt")" = "$(messages "$run_dir/windows/midi.txt" | tr -d '\r')" ]; }
check "the C caller loads wavorn.dll by name and runs" caller_runs
check "the C caller's mixdown is byte for byte the Linux library's" \
    cmp "$run_dir/linux/out.wav" "$run_dir/windows/out.wav"
check "the C caller's MIDI messages are the Linux library's" same_midi

codes=$("$linux/bin/vumo-fx" --help | sed -n 's/^ \{1,3\}\([0-9]\{1,3\}\)  .*/\1/p')
same_fx_output() {
    local c bad=""
    mkdir -p "$run_dir/fx"
    for c in $codes; do
        "$linux/bin/vumo-fx" "$run_dir/linux/in.wav" "$run_dir/fx/linux-$c.wav" "$c" || return 1
    done
    # One Wine start for all codes; a run that fails leaves no file and so a difference.
    wine cmd /c "for %c in ($(echo $codes)) do $(winpath "$win64/bin/vumo-fx.exe") \
        $(winpath "$run_dir/linux/in.wav") $(winpath "$run_dir/fx")\\win-%c.wav %c" >/dev/null
    for c in $codes; do
        cmp -s "$run_dir/fx/linux-$c.wav" "$run_dir/fx/win-$c.wav" || bad="$bad $c"
    done
    [ -z "$bad" ] || { echo "  effect codes that differ:$bad" >&2; return 1; }
    echo "  effect codes compared: $(echo $codes | wc -w)"
}
check "vumo-fx.exe writes the Linux vumo-fx's file for every effect code" same_fx_output

# Every effect over many signals, parameters and ranges (bench/fx/FxDigest.cpp). Distortion (12)
# may differ by one step: the two C libraries round cosf differently (README, Windows).
same_digests() {
    [ -x "$linux/bin/fx_digest" ] || { echo "  $linux/bin/fx_digest is not built" >&2; return 1; }
    "$linux/bin/fx_digest" --quick --each | grep -v '^all ' >"$run_dir/digest-linux.txt" &&
        wine "$(winpath "$win64/bin/fx_digest.exe")" --quick --each | tr -d '\r' |
        grep -v '^all ' >"$run_dir/digest-windows.txt" || return 1
    local distortion='^( *12 |code 12 )' differ
    differ=$(diff <(grep -Ev "$distortion" "$run_dir/digest-linux.txt") \
        <(grep -Ev "$distortion" "$run_dir/digest-windows.txt") || true)
    echo "  runs compared: $(grep -Evc "$distortion" "$run_dir/digest-linux.txt");" \
        "Distortion's runs that differ: $(diff <(grep -E "$distortion" "$run_dir/digest-linux.txt") \
            <(grep -E "$distortion" "$run_dir/digest-windows.txt") | grep -c '^>' || true)" \
        "of $(grep -Ec "$distortion" "$run_dir/digest-linux.txt")"
    [ -z "$differ" ] || { echo "$differ" | head -20 >&2; return 1; }
}
check "every other effect's samples are the Linux build's (fx_digest)" same_digests

# --- The Windows multimedia devices against the sound server ------------------------------------
[ -n "${PULSE_SERVER:-}" ] || { echo "FAIL the device checks need tests/servers.sh"; exit 1; }
# Wine's few milliseconds of buffer miss refills on a busy machine: 100 ms keep streams whole.
export PULSE_LATENCY_MSEC=100
# Records the null sink's monitor into a file until stopped; returns once data arrives.
record_monitor() {
    parec --raw --format=s16le --rate=44100 --channels=2 --device=vumo_null.monitor >"$1" &
    partners+=($!)
    for _ in $(seq 100); do [ -s "$1" ] && return 0; sleep 0.05; done
    return 1
}
stop_partner() { kill "${partners[-1]}" 2>/dev/null; wait "${partners[-1]}" 2>/dev/null || true; }
# Runs the device tests of a filter with the settings given; a skipped test fails here.
device_tests() { # filter, then environment settings
    local filter=$1 out status=0
    shift
    out=$(cd "$win64/bin" && env "$@" "$here/wine.sh" winmm_device_tests.exe --gtest_brief=1 \
        --gtest_filter="$filter" 2>&1) || status=$?
    echo "$out" | grep -v '^ALSA lib' || true
    [ "$status" -eq 0 ] && ! echo "$out" | grep -q '^\[  SKIPPED \]'
}
# True when the raw recording holds the wave file's samples from its first sounding frame on.
holds_samples() { # recording, wave file
    perl -e 'local $/; open R, "<:raw", $ARGV[0] or die; $r = <R>; open W, "<:raw", $ARGV[1] or die;
             $w = substr(<W>, 44); $i = 0; $i += 4 while $i < length($r) && substr($r, $i, 4) eq "\0" x 4;
             exit(substr($r, $i, length($w)) eq $w ? 0 : 1)' "$1" "$2"
}

record_monitor "$run_dir/monitor.raw"
check "waveOut plays a block sample for sample (WinMmWaveOut)" \
    device_tests 'WinMmWaveOut.*' VUMO_MONITOR_RAW="$(winpath "$run_dir/monitor.raw")"
stop_partner

# Wine's position runs a little ahead of what is heard: the track ends in a quarter second of
# silence (gain 0), so that every sounding frame must arrive before vumo-play stops.
plays_through_winmm() {
    "$linux/bin/vumo-fx" --from 9000 "$run_dir/linux/in.wav" "$run_dir/track.wav" 1:0 &&
        record_monitor "$run_dir/play.raw" &&
        (cd "$win64/bin" && VUMO_AUDIO_BACKEND=winmm wine vumo-play.exe \
            "$(winpath "$run_dir/track.wav")" >/dev/null) &&
        sleep 1 && stop_partner && # the monitor's last frames reach the file a little later
        VUMO_AUDIO_BACKEND=virtual VUMO_VIRTUAL_SPEED=50 VUMO_VIRTUAL_OUTPUT="$run_dir/heard.wav" \
            "$linux/bin/vumo-play" "$run_dir/track.wav" >/dev/null &&
        holds_samples "$run_dir/play.raw" "$run_dir/heard.wav"
}
check "vumo-play.exe on waveOut is heard as the virtual device plays it" plays_through_winmm

# 20 s of the test signal (tests/platform/PlatformTestSupport.h: knownSignal) for waveIn to hear.
perl -e 'print pack("s<s<", 1000 + $_ * 37 % 8000, -1000 - $_ * 53 % 8000) for 0 .. 881999' \
    >"$run_dir/signal.raw"
pacat --raw --format=s16le --rate=44100 --channels=2 --latency-msec=50 "$run_dir/signal.raw" &
partners+=($!)
sleep 0.5
check "waveIn records what pacat plays (WinMmWaveIn)" \
    device_tests 'WinMmWaveIn.*' VUMO_SIGNAL_PLAYING=1
stop_partner

# Wine's MIDI devices are the ALSA sequencer's ports: with /dev/snd/seq they must be there.
sequencer=absent
[ -e /dev/snd/seq ] && sequencer=present
echo "MIDI sequencer on this machine: $sequencer"
check "the MIDI devices Wine offers here ($sequencer sequencer)" \
    device_tests 'WinMmMidi.*' VUMO_MIDI_SEQUENCER=$sequencer

if [ "$failures" -ne 0 ]; then
    echo "tests/windows/run.sh: $failures check(s) failed"
    exit 1
fi
echo "tests/windows/run.sh: all checks passed"
