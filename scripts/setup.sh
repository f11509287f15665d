#!/usr/bin/env bash
# Installs the Debian packages the build, the program and the tests need, only when missing,
# then configures the build folder. Sourced by run.sh and test.sh.
set -euo pipefail

QUAD_PACKAGES=(cmake g++ make qt6-base-dev qt6-translations-l10n libsqlcipher-dev libssl-dev libgtest-dev
               poppler-utils fonts-dejavu-core fonts-liberation2 xvfb xauth libgl-dev)

quad_install_missing() {
    local missing=()
    for p in "${QUAD_PACKAGES[@]}"; do
        if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
            missing+=("$p")
        fi
    done
    if [ ${#missing[@]} -eq 0 ]; then
        return 0
    fi
    echo "Installing: ${missing[*]}"
    local sudo=""
    if [ "$(id -u)" -ne 0 ]; then
        sudo="sudo"
    fi
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

quad_build() {
    local root="$1"
    cmake -S "$root" -B "$root/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
    cmake --build "$root/build" -j"${QUAD_JOBS:-$(nproc)}"
}

# A debug build with AddressSanitizer and UndefinedBehaviorSanitizer, in its own folder; out-of-range
# conversions of floating-point numbers to integers too, which "undefined" leaves out with GCC.
quad_build_sanitized() {
    local root="$1"
    local flags="-fsanitize=address,undefined,float-cast-overflow -fno-omit-frame-pointer -fno-sanitize-recover=undefined,float-cast-overflow"
    cmake -S "$root" -B "$root/build-asan" -DCMAKE_BUILD_TYPE=Debug \
        -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined,float-cast-overflow" \
        -DCMAKE_SHARED_LINKER_FLAGS="-fsanitize=address,undefined,float-cast-overflow" >/dev/null
    cmake --build "$root/build-asan" -j"${QUAD_JOBS:-$(nproc)}"
}
