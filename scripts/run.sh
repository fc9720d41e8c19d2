#!/usr/bin/env bash
# Installs what is needed, builds Quillora and starts it with its offline demo: the
# fixture site runs inside the program and stands in for every provider and parse
# server. With a desktop (DISPLAY or WAYLAND_DISPLAY set) the program opens its 480 × 720
# window; without one it takes the scripted tour on the headless screen and writes a
# screenshot of each step into a folder it names. The demo's streams are short clips that
# ffmpeg makes at build time; the device's video player plays them with mpv.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/install-deps.sh" --playback
"$top/scripts/build.sh" build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=OFF
program="$top/build/app/quillora"

if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] && [ -z "${QUILLORA_HEADLESS:-}" ]; then
  echo "== Quillora in its desktop window (the mouse is the finger; close the window to end it)"
  exec "$program" --demo "$@"
fi

shots="${QUILLORA_TOUR_DIR:-$top/build/tour}"
rm -rf "$shots"
mkdir -p "$shots"
echo "== no desktop here: the scripted tour on the headless screen ($top/scripts/tour.script)"
echo "== screenshots go to $shots"
# Headless, the player only "plays" each part for a second and logs it.
(cd "$shots" && QUILLORA_PLAYER_SECONDS="${QUILLORA_PLAYER_SECONDS:-1}" "$program" --headless --demo "$@" \
  --script "$top/scripts/tour.script")
echo "== the tour ended well; its screenshots:"
ls -1 "$shots"
