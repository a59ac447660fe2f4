#!/usr/bin/env bash
# Installs what Funkbote needs to build, run and test on Debian 12.
set -euo pipefail
SUDO=""
if [ "$(id -u)" -ne 0 ]; then
    SUDO="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update
$SUDO apt-get install -y --no-install-recommends \
    cmake ninja-build g++ make \
    qt6-base-dev qt6-base-dev-tools libqt6sql6-sqlite qt6-serialport-dev \
    qt6-tools-dev qt6-l10n-tools \
    qt6-translations-l10n qt6-qpa-plugins libgl-dev \
    fonts-dejavu-core libphonenumber-dev qtkeychain-qt6-dev libsmpp34-dev \
    clang libclang-rt-14-dev llvm lld ccache openssl \
    dpkg-dev binutils desktop-file-utils appstream \
    perl lintian systemd dbus-daemon dbus-bin libglib2.0-bin
