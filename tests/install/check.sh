#!/usr/bin/env bash
# Builds the Debian package of a built build folder and checks it: its metadata validates, lintian
# finds no error, and its contents, unpacked, hold nothing of the build and run from there.
#   tests/install/check.sh BUILD_DIR
set -euo pipefail
export LC_ALL=C
build=$(realpath "${1:?usage: $0 BUILD_DIR}")
source_dir=$(realpath "$(dirname "$0")/../..")
packaging=$source_dir/packaging
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() {
    echo "install check FAILED: $*" >&2
    exit 1
}
step() { echo "-- $*"; }

step "desktop entry, metainfo and MIME package"
# desktop-file-validate says some errors with status 0: any message fails.
messages=$(desktop-file-validate "$packaging"/*.desktop 2>&1) && [ -z "$messages" ] ||
    fail "desktop entry: $messages"
appstreamcli validate --no-net --pedantic "$packaging"/*.metainfo.xml
xmllint --noout "$packaging"/vumo-mime.xml
# The entry opens a file given to it, and every type the MIME package defines.
grep -q '^Exec=Vumo %f$' "$packaging"/*.desktop || fail "the desktop entry does not pass a file"
for type in $(sed -n 's/.*<mime-type type="\([^"]*\)".*/\1/p' "$packaging"/vumo-mime.xml); do
    grep -q "^MimeType=.*$type;" "$packaging"/*.desktop || fail "the desktop entry lacks $type"
done

step "package"
rm -f "$build"/vumo_*.deb
(cd "$build" && cpack -G DEB >"$work/cpack.log" 2>&1) || { cat "$work/cpack.log"; fail "cpack"; }
deb=$(ls "$build"/vumo_*.deb)
lintian --fail-on error --tag-display-limit 0 "$deb"

step "contents of $(basename "$deb")"
root=$work/root
dpkg-deb -x "$deb" "$root"
engine=$(find "$root" -name libwavorn.so.1 -print -quit)
[ -n "$engine" ] || fail "no libwavorn.so.1 in the package"
libdir=$(dirname "$engine")
expected="Vumo vumo-cab vumo-chain vumo-fx vumo-mix vumo-play"
programs=$(cd "$root/usr/bin" && echo *)
[ "$programs" = "$expected" ] || fail "programs in usr/bin: $programs, expected $expected"
for module in libvumo-media.so libvumo-synth.so; do
    [ -f "$libdir/vumo/$module" ] || fail "no module $module in ${libdir#"$root"}/vumo"
    [[ $(ldd "$libdir/vumo/$module") != *"not found"* ]] || fail "$module: libraries not found"
done
for file in usr/include/wavorn.h usr/share/vumo/vumo.htm usr/share/man/man1/Vumo.1.gz \
    usr/share/doc/vumo/copyright usr/share/doc/vumo/changelog.Debian.gz \
    usr/share/mime/packages/vumo.xml usr/share/metainfo/io.github.vumo.Vumo.metainfo.xml \
    usr/share/icons/hicolor/scalable/apps/io.github.vumo.Vumo.svg; do
    [ -f "$root/$file" ] || fail "$file is missing"
done

step "nothing of the build"
while IFS= read -r elf; do
    runpath=$(readelf -d "$elf" | sed -n 's/.*R\(UN\)\?PATH.*\[\(.*\)\]/\2/p')
    case "$runpath" in
    "" | '$ORIGIN/'*) ;;
    *) fail "${elf#"$root"} searches libraries in $runpath" ;;
    esac
done < <(find "$root" -type f -exec sh -c 'head -c4 "$1" | grep -q ELF' _ {} \; -print)
for path in "$build" "$source_dir"; do
    ! grep -rlF "$path" "$root" || fail "files above name $path"
done
! find "$root" -name '*test*' -o -name '*bench*' -o -name '*screenshot*' | grep . ||
    fail "test, benchmark or screenshot files in the package"

step "run from the unpacked package"
bin=$root/usr/bin
# Settings and data of the run's own, on the virtual devices.
export XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data VUMO_HOME=$work/home
export VUMO_AUDIO_BACKEND=virtual
export VUMO_MIDI_BACKEND=virtual
mkdir -p "$VUMO_HOME"
[ "$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$bin/Vumo" --version)" = "Vumo 1.1.0" ] ||
    fail "Vumo --version"
[[ $("$bin/vumo-fx" --help) == "Usage: vumo-fx "* ]] || fail "vumo-fx --help"

# A project of two one-megabyte tracks: a tone, and the tone through an echo.
ffmpeg -loglevel error -f lavfi -i "sine=frequency=440:duration=1" -ac 2 -ar 44100 \
    -c:a pcm_s16le "$work/t1.wav"
"$bin/vumo-fx" --no-progress "$work/t1.wav" "$work/t2.wav" 3 >/dev/null
# The project: its header, then a record a track (1 MB tracks at full volume, centred).
{
    printf '1.00%-16s\x00\x00\x04\x00\x02\x00\x64\x00\x00\x00' song
    head -c 252 /dev/zero
    for track in "$work/t1.wav" "$work/t2.wav"; do
        printf '%-16s%-128s\xff\x00\x80\x00\x00\x00' "$(basename "$track" .wav)" "$track"
        head -c 6 /dev/zero
    done
} >"$work/song.vum"
"$bin/vumo-mix" "$work/song.vum" "$work/mix.wav" >/dev/null
[ "$(stat -c %s "$work/mix.wav")" -eq $((44 + 4 * 262144)) ] || fail "vumo-mix wrote no whole mix"
[[ $(od -An -v -j 44 -N 4000 -tx1 "$work/mix.wav") == *[1-9a-f]* ]] || fail "the mix is silent"

step "MIME type of a project in the unpacked package"
XDG_DATA_DIRS=$root/usr/share update-mime-database "$root/usr/share/mime"
found=$(XDG_DATA_DIRS="$root/usr/share:/usr/share" xdg-mime query filetype "$work/song.vum")
[ "$found" = application/x-vumo-project ] || fail "song.vum is $found, not a Vumo project"
echo "install check passed: $(basename "$deb")"
