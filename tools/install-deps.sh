#!/usr/bin/env bash
# Installs every Debian package that building, testing and running Sortwell need.
set -euo pipefail

packages=(
    # build
    build-essential cmake ninja-build pkg-config
    qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins libgl-dev
    libx11-dev libxtst-dev libxres-dev libxkbcommon-dev
    # the document preview
    libpoppler-qt6-dev
    # tests, fuzzing, benchmarks, style
    googletest libgtest-dev libgmock-dev libbenchmark-dev
    clang libclang-rt-14-dev clang-format clang-tidy
    # a desktop without a screen: X server, window manager, input and screenshots
    xvfb xauth openbox trayer x11-utils x11-xkb-utils xdotool imagemagick fonts-dejavu-core
    # a private session bus for the desktop notification's test
    dbus-daemon
    # a Wayland desktop without a screen: compositor, terminal windows, screenshots, protocols
    sway foot grim xwayland libwayland-dev libwayland-bin qt6-wayland
    # fault tests: killing a process at a chosen system call
    strace
    # real scanning without a scanner: SANE and its test backend
    sane-utils
    # hostile PDFs for the preview, and the floor its benchmark is measured against
    qpdf poppler-utils
    # the Debian package and its checks
    dpkg-dev lintian desktop-file-utils appstream man-db
)

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$package")
    fi
done

if ((${#missing[@]} == 0)); then
    echo "All ${#packages[@]} packages are installed."
    exit 0
fi

sudo=()
if [ "$(id -u)" -ne 0 ]; then
    sudo=(sudo)
fi
echo "Installing: ${missing[*]}"
"${sudo[@]}" apt-get update
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
