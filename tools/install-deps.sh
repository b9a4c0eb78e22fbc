#!/usr/bin/env bash
# Installs what building and testing Notchlog needs on Debian 12, and nothing
# when everything is already there (no apt call at all in that case).
set -euo pipefail

need_pkgs=()
have() { command -v "$1" >/dev/null 2>&1; }
pkg_installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }

have i686-w64-mingw32-g++-posix || need_pkgs+=(g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix binutils-mingw-w64-i686 mingw-w64-tools)
# The 64-bit twin, for machines that cannot run 32-bit code under Wine.
have x86_64-w64-mingw32-g++-posix || need_pkgs+=(g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64)
have cmake                      || need_pkgs+=(cmake)
have make                       || need_pkgs+=(make)
have g++                        || need_pkgs+=(g++)
have Xvfb                       || need_pkgs+=(xvfb)
have xdotool                    || need_pkgs+=(xdotool)
# make dist writes the archive with Python's zipfile; its test reads it with unzip.
have python3                    || need_pkgs+=(python3)
have unzip                      || need_pkgs+=(unzip)
# ImageMagick's import takes the demo screenshot; /usr/local/bin/convert may be a stand-in.
have import                     || need_pkgs+=(imagemagick)
[ -f /usr/src/googletest/CMakeLists.txt ] || need_pkgs+=(googletest)
pkg_installed wine32:i386       || need_pkgs+=(wine wine32:i386 wine64)
have wine                       || need_pkgs+=(wine)
# Wine's own fonts ("MS Sans Serif", "Tahoma"): without them every face the
# window asks for falls back to a wider one and labels are cut off.
pkg_installed fonts-wine        || need_pkgs+=(fonts-wine)

if [ ${#need_pkgs[@]} -eq 0 ]; then
  exit 0
fi

if [ "$(id -u)" -ne 0 ]; then
  echo "Missing packages: ${need_pkgs[*]}; run as root or install them yourself." >&2
  exit 1
fi

echo "Installing: ${need_pkgs[*]}"
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
fi
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${need_pkgs[@]}" >/dev/null
