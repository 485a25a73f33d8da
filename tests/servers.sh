#!/usr/bin/env bash
# Runs a command with a private PulseAudio server (a null sink, its monitor the default source)
# and a private JACK server (dummy driver), then stops both, whatever the command's outcome.
#   tests/servers.sh COMMAND [ARGS...]
# The command sees PULSE_SERVER, JACK_DEFAULT_SERVER and VUMO_SOUND_SERVERS=1 (the device tests
# then fail rather than skip without a device).
set -euo pipefail

[ $# -gt 0 ] || { echo "usage: $0 COMMAND [ARGS...]" >&2; exit 2; }

run_dir=$(mktemp -d "${TMPDIR:-/tmp}/vumo-servers.XXXXXX")
pulse_pid=""
jack_pid=""

stop_servers() {
    [ -n "$jack_pid" ] && kill "$jack_pid" 2>/dev/null && wait "$jack_pid" 2>/dev/null
    [ -n "$pulse_pid" ] && kill "$pulse_pid" 2>/dev/null && wait "$pulse_pid" 2>/dev/null
    rm -rf "$run_dir"
    return 0
}
trap stop_servers EXIT
trap 'exit 130' INT TERM

# Waits up to 10 s for server $1 to answer the command given after its log $2, else shows the log.
wait_for() {
    local name=$1 log=$2
    shift 2
    for _ in $(seq 100); do
        "$@" >/dev/null 2>&1 && return 0
        sleep 0.1
    done
    echo "servers.sh: $name did not start:" >&2
    cat "$log" >&2
    exit 1
}

# PulseAudio keeps everything under the run's folder; clients never start a server of their own.
mkdir -p "$run_dir/pulse" "$run_dir/home"
export PULSE_RUNTIME_PATH="$run_dir/pulse" PULSE_STATE_PATH="$run_dir/pulse"
export PULSE_SERVER="unix:$run_dir/pulse/native"
printf 'autospawn = no\n' >"$run_dir/pulse/client.conf"
export PULSE_CLIENTCONFIG="$run_dir/pulse/client.conf"
HOME="$run_dir/home" pulseaudio -n --daemonize=no --exit-idle-time=-1 --use-pid-file=no \
    --disallow-module-loading=no --log-target=stderr --log-level=error \
    -L "module-null-sink sink_name=vumo_null format=s16le rate=44100 channels=2 norewinds=1" \
    -L "module-native-protocol-unix auth-anonymous=1 socket=$run_dir/pulse/native" \
    -L "module-always-sink" >"$run_dir/pulse.log" 2>&1 &
pulse_pid=$!
wait_for PulseAudio "$run_dir/pulse.log" pactl info
pactl set-default-sink vumo_null
pactl set-default-source vumo_null.monitor

# JACK at the studio's rate, without realtime scheduling (a container may not grant it).
export JACK_DEFAULT_SERVER="vumo-test-$$" JACK_NO_AUDIO_RESERVATION=1
jackd --no-realtime -n "$JACK_DEFAULT_SERVER" -d dummy -r 44100 -p 256 \
    >"$run_dir/jack.log" 2>&1 &
jack_pid=$!
wait_for JACK "$run_dir/jack.log" jack_lsp

echo "servers.sh: PulseAudio and JACK up"
export VUMO_SOUND_SERVERS=1
# Only the device tests (by name, one at a time) use the servers: other programs keep the virtual
# MIDI devices, as RtMidi's JACK code can crash when another process's ports vanish.
export VUMO_MIDI_BACKEND="${VUMO_MIDI_BACKEND:-virtual}"
"$@"
