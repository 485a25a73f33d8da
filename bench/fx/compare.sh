#!/bin/bash
# Times vumo-fx file to file against single-threaded sox and ffmpeg doing the nearest
# equivalent effect on one 10-minute stereo 16-bit 44100 Hz file, with hyperfine.
# Usage: bench/fx/compare.sh PATH/TO/vumo-fx [WORK_FOLDER]
# Writes WORK_FOLDER/results/*.json and *.md (one per comparison) and prints the tables.
set -euo pipefail
VUMO_FX=$(readlink -f "$1")
WORK=${2:-/tmp/vumo-fx-compare}
RUNS=${RUNS:-5}
mkdir -p "$WORK/results"
cd "$WORK"
IN=in.wav
if [ ! -f "$IN" ]; then
    # Pink noise, independent in each channel, at a level that leaves headroom for gains.
    sox -n -r 44100 -c 2 -b 16 "$IN" synth 600 pinknoise pinknoise vol 0.4
fi
sinc_ir="-f lavfi -i sinc=hp=1723:lp=6890"

# name ; vumo-fx effect ; sox effect ; ffmpeg -af filter ('@afir': the sinc FIR through afir)
cases=(
  "gain;1:32:255:127;vol 2;volume=2"
  "reverse;19;reverse;areverse"
  "remix-swap;15;remix 2 1;pan=stereo|c0=c1|c1=c0"
  "remix-mono;25;remix 1v0.5,2v0.5 1v0.5,2v0.5;pan=stereo|c0=0.5*c0+0.5*c1|c1=0.5*c0+0.5*c1"
  "echo;3:40:128:127;echo 1 1 58 0.5;aecho=1:1:58:0.5"
  "chorus;2:128:64:127;chorus 0.7 0.9 55 0.4 0.25 2 -t;chorus=0.7:0.9:55:0.4:0.25:2"
  "tremolo;6:128:128:127;tremolo 3.4 50;tremolo=f=3.4:d=0.5"
  "lowpass;9:128;lowpass 1000;lowpass=f=1000"
  "highpass;10:128;highpass 1000;highpass=f=1000"
  "bandpass;7:20:80:127;sinc -n 129 1723-6890;@afir"
  "pitch;4:255;pitch 1200;rubberband=pitch=2"
)
for c in "${cases[@]}"; do
    IFS=';' read -r name vfx sfx ffx <<<"$c"
    if [ "$ffx" = "@afir" ]; then
        ff="ffmpeg -v error -y -filter_threads 1 -filter_complex_threads 1 -i $IN $sinc_ir -filter_complex '[0:a][1:a]afir' -threads 1 out-ffmpeg.wav"
    else
        ff="ffmpeg -v error -y -filter_threads 1 -i $IN -af '$ffx' -threads 1 out-ffmpeg.wav"
    fi
    runs=$RUNS
    warmup=1
    # The pitch shifters take up to a minute a run: fewer runs, no warm-up.
    [ "$name" = pitch ] && runs=2 && warmup=0
    hyperfine -w "$warmup" -r "$runs" --export-json "results/$name.json" \
        --export-markdown "results/$name.md" \
        -n "vumo-fx $vfx" "$VUMO_FX --no-progress $IN out-vumo.wav $vfx" \
        -n "sox -D $sfx" "sox -D -V1 $IN out-sox.wav $sfx" \
        -n "ffmpeg $ffx" "$ff" >/dev/null
    echo "== $name"
    cat "results/$name.md"
done
