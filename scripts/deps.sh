#!/usr/bin/env bash
# Installs the Debian packages Tavelio needs, on Debian 12 or 13; does nothing when they are
# all there. Names are the release's own defaults (clang is each release's clang), so the same
# list serves both.
#   scripts/deps.sh            what building and running need
#   scripts/deps.sh --package  that, and what building the Debian package and checking it need
#   scripts/deps.sh --test     both, and what the tests need (X server, xdotool, fuzzer)
#   scripts/deps.sh --lector   what tests/e2e/screen_reader.sh needs, run by hand
set -euo pipefail

packages=(
  cmake ninja-build g++ pkgconf
  qt6-base-dev qt6-base-dev-tools qt6-translations-l10n qt6-image-formats-plugins qt6-charts-dev
  libfftw3-dev libheif-dev
  fonts-wine fonts-dejavu-core
  xterm qt6-wayland
)
# libheif reads the teachers' HEIC photographs. Debian 12's libheif1 (1.15) has its HEVC
# decoder and encoder built in; from Debian 13 (1.19) they are plugins of their own.
# shellcheck source=/dev/null
source /etc/os-release
heif_plugins=false
[[ "${VERSION_ID:-}" == 12 ]] || heif_plugins=true
if $heif_plugins; then
  packages+=(libheif-plugin-libde265)
fi
if [[ "${1:-}" == "--package" || "${1:-}" == "--test" ]]; then
  # dpkg-buildpackage checks build-essential itself, beyond what debian/control lists.
  packages+=(build-essential debhelper dpkg-dev fakeroot lintian desktop-file-utils appstream)
fi
if [[ "${1:-}" == "--test" ]]; then
  packages+=(xvfb xdotool x11-utils imagemagick openbox)
  # The fuzzer: the release's clang with its sanitizer runtime.
  packages+=(clang libclang-rt-dev)
  # pdftotext and pdfinfo read the viewer's report back.
  packages+=(poppler-utils)
  # xclip reads what the viewer's Copiar put on the clipboard.
  packages+=(xclip)
  # A Wayland desktop: weston (headless, and in Xvfb with Xwayland).
  packages+=(weston xwayland)
  # The importer's tests encode a turned HEIC photograph; bench/importar.sh uses heif-enc.
  packages+=(libheif-examples)
  if $heif_plugins; then
    packages+=(libheif-plugin-x265)
  fi
fi

if [[ "${1:-}" == "--lector" ]]; then
  # The screen reader, its speech written to a file, and a terminal it reads.
  packages+=(orca speech-dispatcher at-spi2-core dbus openbox xvfb xdotool mate-terminal)
fi

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "ok installed"; then
    missing+=("$package")
  fi
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

sudo=()
[[ $(id -u) -eq 0 ]] || sudo=(sudo)
echo "Instalando: ${missing[*]}"
"${sudo[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
