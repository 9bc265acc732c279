#!/usr/bin/env bash
# One entry point for a fresh Debian 12 machine:
#   ./varuno.sh run    install what is missing, build, start the program on the staged program folder
#   ./varuno.sh test   install what is missing, build, run the whole test suite
#   ./varuno.sh install-desktop
#                      install what is missing, build, and put "Varuno Builder" with its icon into the
#                      user's application menu, starting the staged program folder
set -euo pipefail
cd "$(dirname "$0")"

BUILD_DIR=${VARUNO_BUILD_DIR:-build}
PACKAGES=(cmake ninja-build g++ pkg-config qt6-base-dev qt6-base-dev-tools libqt6svg6-dev
          qt6-qpa-plugins qt6-translations-l10n libgl-dev redis-server redis-tools openssl iproute2 python3
          xvfb xauth clang-format)

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

# The desktop entry and its icon go where the freedesktop menus of the user look for them.
install_desktop_entry() {
    local data="${XDG_DATA_HOME:-$HOME/.local/share}"
    local program_dir
    program_dir="$(cd "$BUILD_DIR/varuno" && pwd)"
    mkdir -p "$data/applications" "$data/icons/hicolor/scalable/apps"
    cp src/ui/icons/logo.svg "$data/icons/hicolor/scalable/apps/varuno-builder.svg"
    cat > "$data/applications/varuno-builder.desktop" <<DESKTOP
[Desktop Entry]
Type=Application
Name=Varuno Builder
GenericName=openHAB configuration for BTicino MyHome
Comment=Functions of a MyHome installation, sent to the Varuno gateway
Comment[de]=Funktionen einer MyHome-Anlage, zum Varuno gesendet
Exec="$program_dir/varuno-builder"
Path=$program_dir
Icon=varuno-builder
Terminal=false
Categories=Utility;
DESKTOP
    if command -v update-desktop-database >/dev/null; then
        update-desktop-database -q "$data/applications" || true
    fi
    echo "Installed $data/applications/varuno-builder.desktop (program folder $program_dir)"
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
    install-desktop)
        install_missing
        build
        install_desktop_entry
        ;;
    *)
        echo "usage: $0 run|test|install-desktop" >&2
        exit 2
        ;;
esac
