#!/usr/bin/env bash
# Installs the Debian 12 packages that building, running and testing Quillora need.
# With --playback also a video player and ffmpeg, which make and play the demo's clips
# (the run command asks for them; the tests do without). Uses sudo when not run as
# root; does nothing when everything is there already.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config ca-certificates openssl clang-format
  libcurl4-openssl-dev libcpp-httplib-dev libssl-dev libhtmlcxx-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  liblitehtml-dev duktape-dev libstb-dev libgooglepinyin0-dev
  libfreetype-dev libfontconfig-dev fonts-wqy-microhei libpng-dev libgif-dev librsvg2-bin libsdl2-dev xvfb xauth
  dpkg-dev desktop-file-utils appstream
)
[ "${1:-}" = "--playback" ] && packages+=(ffmpeg mpv)

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

as_root=()
[ "$(id -u)" -eq 0 ] || as_root=(sudo)
echo "installing: ${missing[*]}"
"${as_root[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
