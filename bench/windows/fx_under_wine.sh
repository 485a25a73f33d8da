#!/usr/bin/env bash
# vumo-fx under Wine against the Linux program: the time each takes for gain, echo and FFT pitch
# over a 10-minute file, and whether their output files are the same. Not a test: run it by hand
# on Release builds, figures in bench/README.md.
#   bench/windows/fx_under_wine.sh LINUX_BUILD WIN64_BUILD [REPEATS]
set -euo pipefail

[ $# -ge 2 ] || { echo "usage: $0 LINUX_BUILD WIN64_BUILD [REPEATS]" >&2; exit 2; }
here=$(cd "$(dirname "$0")" && pwd)
linux=$(cd "$1" && pwd)
win64=$(cd "$2" && pwd)
repeats=${3:-3}
work=$(mktemp -d "${TMPDIR:-/tmp}/vumo-fx-wine.XXXXXX")
export WINEPREFIX="$work/wine"
trap '/usr/lib/wine/wineserver -k 2>/dev/null || true; rm -rf "$work"' EXIT
wine() { "$here/../../tests/windows/wine.sh" "$@"; }
winpath() { local p=${1//\//\\}; echo "Z:$p"; }

# Ten minutes of 16-bit stereo: one second of a chord with a little noise, 600 times.
frames=$((600 * 44100))
perl -e 'srand(7); for my $k (0 .. 44099) { my $v = 0; $v += sin(6.2831853 * $_ * $k / 44100) for 220, 277, 330;
         print pack("s<s<", int(6000 * $v + rand(200)), int(-5000 * $v + rand(200))) }' >"$work/second.raw"
{
    perl -e 'print "RIFF", pack("V", 36 + 4 * $ARGV[0]), "WAVEfmt ", pack("VvvVVvv", 16, 1, 2, 44100, 176400, 4, 16),
             "data", pack("V", 4 * $ARGV[0])' "$frames"
    for _ in $(seq 600); do cat "$work/second.raw"; done
} >"$work/in.wav"
# The prefix, a server that stays and Wine's services, before anything is timed; the timed runs
# start Wine directly.
wine cmd /c exit
/usr/lib/wine/wineserver -w
/usr/lib/wine/wineserver -p
wine cmd /c exit

seconds() { awk -v s="$1" -v e="$2" 'BEGIN { printf "%.2f", (e - s) / 1e9 }'; }
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
printf '%-10s %10s %10s %7s %s\n' effect linux_s wine_s ratio output
for effect in 1 3 26; do
    lt=() wt=()
    for _ in $(seq "$repeats"); do
        s=$(date +%s%N); "$linux/bin/vumo-fx" --no-progress "$work/in.wav" "$work/linux.wav" $effect
        lt+=("$(seconds "$s" "$(date +%s%N)")")
        s=$(date +%s%N)
        WINEDEBUG=-all /usr/lib/wine/wine64 "$(winpath "$win64/bin/vumo-fx.exe")" --no-progress \
            "$(winpath "$work/in.wav")" "$(winpath "$work/wine.wav")" $effect
        wt+=("$(seconds "$s" "$(date +%s%N)")")
    done
    l=$(printf '%s\n' "${lt[@]}" | median) w=$(printf '%s\n' "${wt[@]}" | median)
    same=$(cmp -s "$work/linux.wav" "$work/wine.wav" && echo identical || echo DIFFERENT)
    printf '%-10s %10s %10s %7s %s\n' "$effect" "$l" "$w" "$(awk -v w="$w" -v l="$l" 'BEGIN { printf "%.2f", w / l }')" "$same"
done
