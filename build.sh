#!/usr/bin/env bash
# Sets up, builds and runs the project on Debian 12.
#   ./build.sh demo            the demo tour of the sample mailbox
#   ./build.sh test            every test (unit and scenario)
#   ./build.sh test --sanitize every test, built with AddressSanitizer and UndefinedBehaviorSanitizer
#   ./build.sh bench           the benchmarks
#   ./build.sh build           only build
#   ./build.sh win             the Windows add-in DLLs (32- and 64-bit, MinGW-w64), their tests under Wine and the setup program
#   ./build.sh fuzz [SECONDS]  every fuzz target (clang's libFuzzer) for SECONDS each
set -euo pipefail
cd "$(dirname "$0")"

packages=(g++ cmake make pkg-config libgtest-dev libgmock-dev libbenchmark-dev nlohmann-json3-dev
          libglib2.0-dev libgmime-3.0-dev libuchardet-dev libespeak-ng-dev espeak-ng-data libfmt-dev libcli11-dev libedit-dev
          libpocketsphinx-dev pocketsphinx-en-us espeak-ng sox)
# (The recogniser, libpocketsphinx-dev with pocketsphinx-en-us, is optional: without it dezaror builds
# and `hear` says what to install. espeak-ng and sox make the utterances of its tests and benchmark.)

# Installs those of the named Debian packages that are missing.
install_packages() {
    local missing=()
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return
    echo "Installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -eq 0 ] || sudo=sudo
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

# Only for `./build.sh win`: the MinGW-w64 cross compilers for 64-bit and 32-bit Windows (posix
# threads), widl for the type library, Wine (which also gives widl the stdole2.tlb it imports),
# NSIS for the setup program, and a virtual display for the test that opens the information panel.
# The header-only fmt and JSON libraries build the simulator into the runner of scenarios through the DLL.
# 32-bit Wine (wine32, from the i386 architecture) comes on top, see install_wine32.
win_packages=(g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix mingw-w64-tools wine wine64 nsis xvfb xauth
              libfmt-dev nlohmann-json3-dev)

# Only for `./build.sh fuzz`: clang with its libFuzzer runtime.
fuzz_packages=(clang libclang-rt-14-dev)

# wine32 runs the 32-bit DLL's tests. It needs the i386 architecture; a machine where it cannot be
# installed, or whose kernel cannot run 32-bit programs, skips those tests and says so.
install_wine32() {
    local sudo=""
    [ "$(id -u)" -eq 0 ] || sudo=sudo
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
        $sudo dpkg --add-architecture i386
        $sudo apt-get update -qq
    fi
    install_packages wine32:i386 || echo "wine32 could not be installed: the 32-bit Wine tests are skipped" >&2
}

# Both DLLs with their tests under Wine (64-bit in build-win, 32-bit in build-win32), then the
# setup programs built from the two and tested.
build_win() {
    install_packages "${win_packages[@]}"
    install_wine32
    local bits dir
    for bits in 64 32; do
        dir=build-win
        [ $bits = 32 ] && dir=build-win32
        cmake -S src/win -B $dir -DCMAKE_BUILD_TYPE=Release \
              -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-w64-$([ $bits = 32 ] && echo i686 || echo x86_64).cmake" >/dev/null
        cmake --build $dir -j "$(nproc)"
        ctest --test-dir $dir --output-on-failure "$@"
    done
    local status=0
    tests/win/installer_test.sh build-win32/DezarorAgent.dll build-win/DezarorAgent.dll build-win/wineprefix \
        build-win/installer || status=$?
    [ $status -eq 0 ] || [ $status -eq 77 ] || exit $status
}

what=${1:-build}
shift || true
sanitize=OFF
build_dir=build
if [ "${1:-}" = "--sanitize" ]; then
    sanitize=ON
    build_dir=build-sanitize
    shift
fi

if [ "$what" = fuzz ]; then
    install_packages "${packages[@]}" "${fuzz_packages[@]}"
    exec fuzz/run "$@"
fi

if [ "$what" = win ]; then
    build_win "$@"
    exit
fi

install_packages "${packages[@]}"
type=Release
[ $sanitize = ON ] && type=Debug
cmake -S . -B "$build_dir" -DCMAKE_BUILD_TYPE=$type -DDEZAROR_SANITIZE=$sanitize \
      -DDEZAROR_BENCH=$([ $sanitize = ON ] && echo OFF || echo ON) >/dev/null
cmake --build "$build_dir" -j "$(nproc)"

case "$what" in
    build) ;;
    demo) "$build_dir/src/dezaror" demo "$@" ;;
    # One job more than there are cores: the real-time tests of the voice and the demo mostly wait.
    test) ctest --test-dir "$build_dir" --output-on-failure -j "$(( $(nproc) + 1 ))" "$@" ;;
    bench) for b in "$build_dir"/bench/bench_*; do [ -x "$b" ] && "$b" "$@"; done ;;
    *) echo "usage: $0 demo|test|bench|build|win|fuzz [--sanitize]" >&2; exit 2 ;;
esac
