#!/usr/bin/env bash
# Vumo's quick start on Debian 12: installs what is missing, builds, then runs.
#   ./quickstart.sh studio [args]   build the studio and its tools (no tests) and start it
#   ./quickstart.sh test            build and run every test, build and check the Debian
#                                   package, then run the tests again under the sanitizers,
#                                   each time with PulseAudio and JACK servers of the run's own
#                                   (tests/servers.sh) for the device tests, and the Windows
#                                   build (MinGW-w64) under Wine
set -euo pipefail
cd "$(dirname "$0")"

# What the studio and its tools need to build and run.
PACKAGES=(build-essential cmake ninja-build pkg-config
          portaudio19-dev librtmidi-dev libasound2-dev
          libfluidsynth-dev timgm6mb-soundfont
          libgcab-dev cabextract gcab ffmpeg
          libavformat-dev libavcodec-dev libswresample-dev libavutil-dev libcdio-paranoia-dev
          qt6-base-dev qt6-svg-dev libgl-dev xvfb xauth)
# The test command's own, without what they only recommend: GoogleTest, Google Benchmark and
# clang-format; the sound servers (JACK's control GUI and the desktop session parts left out):
# PulseAudio with its null sink, the ALSA plugin through which PortAudio reaches it and the
# tools that play and record there; JACK with its dummy driver; clang and its runtime for the
# fuzz targets; MinGW-w64, Wine and GoogleTest's source for the Windows build; and what builds
# and checks the Debian package (tests/install/check.sh; xdg-mime reads the MIME database
# through File::MimeInfo's mimetype when no desktop is running).
TEST_PACKAGES=(libgtest-dev libgmock-dev libbenchmark-dev clang-format
               pulseaudio pulseaudio-utils libasound2-plugins jackd2 clang libclang-rt-14-dev
               g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix wine64 googletest
               dpkg-dev fakeroot file lintian desktop-file-utils appstream libxml2-utils
               shared-mime-info xdg-utils libfile-mimeinfo-perl)

install_missing() { # [--no-install-recommends] packages
    local options=()
    [ "${1:-}" = --no-install-recommends ] && options+=("$1") && shift
    local missing=()
    for p in "$@"; do
        dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo apt-get update -qq
    # jackd2 asks whether JACK may take realtime priority; the tests run without it.
    echo "jackd2 jackd/tweak_rt_limits boolean false" | $sudo debconf-set-selections
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${options[@]}" "${missing[@]}" </dev/null
}

configure_and_build() { # build dir, then extra cmake arguments
    local dir=$1
    shift
    cmake -S . -B "$dir" -G Ninja "$@" >/dev/null
    cmake --build "$dir" -j "$(nproc)"
}

check_format() {
    local files
    files=$(git ls-files '*.cpp' '*.h' 2>/dev/null || true)
    [ -z "$files" ] && return 0
    # shellcheck disable=SC2086
    clang-format --dry-run --Werror $files
}

case "${1:-}" in
studio)
    install_missing "${PACKAGES[@]}"
    echo "Building the studio and its tools, without the tests (./quickstart.sh test builds those)"
    configure_and_build build -DCMAKE_BUILD_TYPE=Release -DVUMO_BUILD_TESTS=OFF \
        -DVUMO_BUILD_BENCH=OFF
    shift
    exec build/bin/Vumo "$@"
    ;;
test)
    stage_start=$SECONDS
    stage() { # prints how long the stage that just ended took
        echo "== $1: $((SECONDS - stage_start)) s"
        stage_start=$SECONDS
    }
    install_missing "${PACKAGES[@]}"
    install_missing --no-install-recommends "${TEST_PACKAGES[@]}"
    check_format
    stage "packages and format check"
    configure_and_build build-test -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVUMO_WERROR=ON \
        -DCMAKE_INSTALL_PREFIX=/usr
    stage "build"
    tests/servers.sh ctest --test-dir build-test --output-on-failure -j "$(nproc)"
    stage "tests"
    # The Debian package of that build (build-test/vumo_*.deb), its desktop files, and the
    # package unpacked and run from a folder of its own.
    tests/install/check.sh build-test
    stage "package"
    # The Windows build (the engine, vumo-fx, vumo-play and their tests; the 32-bit DLL), checked
    # under Wine against the Linux build (tests/windows/run.sh).
    configure_and_build build-win64 -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVUMO_WERROR=ON \
        -DCMAKE_TOOLCHAIN_FILE=cmake/toolchains/mingw-w64-x86_64.cmake
    cmake -S . -B build-win32 -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVUMO_WERROR=ON \
        -DCMAKE_TOOLCHAIN_FILE=cmake/toolchains/mingw-w64-i686.cmake >/dev/null
    cmake --build build-win32 -j "$(nproc)" --target wavorn wavorn_caller_imports
    stage "windows build"
    tests/servers.sh tests/windows/run.sh build-test build-win64 build-win32
    stage "windows checks"
    configure_and_build build-asan -DCMAKE_BUILD_TYPE=Debug -DVUMO_WERROR=ON \
        -DVUMO_SANITIZE=ON -DVUMO_BUILD_BENCH=OFF
    stage "sanitizer build"
    ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
        LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp" \
        tests/servers.sh ctest --test-dir build-asan --output-on-failure -j "$(nproc)"
    stage "sanitizer tests"
    # Every reader of outside bytes under libFuzzer (clang), 30 seconds a target.
    CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DVUMO_SANITIZE=ON -DVUMO_FUZZ=ON -DVUMO_BUILD_BENCH=OFF >/dev/null
    cmake --build build-fuzz -j "$(nproc)" --target fuzz_all
    stage "fuzz build"
    ASAN_OPTIONS=detect_leaks=1 LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp" \
        tests/fuzz/run.sh build-fuzz 30
    stage "fuzzing"
    ;;
*)
    echo "usage: $0 studio [project.vum] | test" >&2
    exit 2
    ;;
esac
