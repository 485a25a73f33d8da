#!/bin/sh
# File-to-file comparison of the FFT pitch shift (and the FFT equaliser) with rubberband in
# ffmpeg and with SoX's pitch effect, on a 4 MB stereo wave file (1,048,576 frames), one core.
# Usage: bench/spectral/compare.sh BUILD_DIR   (a Release build with vumo-fx built)
set -eu
build=${1:?usage: compare.sh BUILD_DIR}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export VUMO_AUDIO_BACKEND=virtual
sox -n -r 44100 -c 2 -b 16 "$work/in.wav" synth 1048576s sine 220 sine 330 gain -6
fx="taskset -c 0 $build/bin/vumo-fx --no-progress"
hyperfine --warmup 1 --runs 5 --export-markdown "$work/table.md" \
    -n "vumo-fx FFT Pitch x2 (26:255)" "$fx $work/in.wav $work/vumo.wav 26:255" \
    -n "vumo-fx FFT EQ (28:200:200:200)" "$fx $work/in.wav $work/eq.wav 28:200:200:200" \
    -n "ffmpeg rubberband pitch=2" \
    "taskset -c 0 ffmpeg -y -loglevel error -threads 1 -i $work/in.wav -af rubberband=pitch=2 $work/rb.wav" \
    -n "sox -D pitch 1200" "taskset -c 0 sox -D $work/in.wav $work/sox.wav pitch 1200"
cat "$work/table.md"
