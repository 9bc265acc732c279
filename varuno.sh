#!/usr/bin/env bash
# One entry point for a fresh Debian 12 machine:
#   ./varuno.sh run    install what is missing, build, start the program on the staged program folder
#   ./varuno.sh test   install what is missing, build, run the whole test suite
set -euo pipefail
cd "$(dirname "$0")"

BUILD_DIR=${VARUNO_BUILD_DIR:-build}
PACKAGES=(cmake ninja-build g++ pkg-config qt6-base-dev qt6-base-dev-tools libqt6svg6-dev
          qt6-qpa-plugins qt6-translations-l10n libgl-dev redis-server redis-tools openssl iproute2 python3
          xvfb xauth)

install_missing() {
    local missing=() pkg
    for pkg in "${PACKAGES[@]}"; do
        dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed" || missing+=("$pkg")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    local sudo=()
    [ "$(id -u)" -ne 0 ] && sudo=(sudo)
    echo "Installing: ${missing[*]}"
    "${sudo[@]}" apt-get update -q
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
}

# build [TARGET...]: configure, then build the targets given (everything when none is).
build() {
    cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
    if [ $# -gt 0 ]; then
        cmake --build "$BUILD_DIR" --target "$@"
    else
        cmake --build "$BUILD_DIR"
    fi
}

case "${1:-}" in
    run)
        install_missing
        build varuno-builder varuno-cli stage_program_folder
        if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
            echo "No display found: starting the program in a virtual X server (xvfb-run)." >&2
            exec xvfb-run -a "$BUILD_DIR/varuno/varuno-builder"
        fi
        exec "$BUILD_DIR/varuno/varuno-builder"
        ;;
    test)
        install_missing
        build
        exec ctest --test-dir "$BUILD_DIR" --output-on-failure -j2
        ;;
    *)
        echo "usage: $0 run|test" >&2
        exit 2
        ;;
esac
