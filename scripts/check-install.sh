#!/usr/bin/env bash
# check-install.sh BUILD: what an installed Quillora must do, from a package made from
# BUILD and unpacked into a scratch root (never this machine's /usr): the desktop entry
# and the metainfo validate, --help, --version and a wrong option behave, and the demo
# tour runs headless from the unpacked tree, far from the build.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build="$top/$1"
desktop-file-validate "$top/packaging/quillora.desktop"
appstreamcli validate --no-net "$build/packaging/app.quillora.Quillora.metainfo.xml"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
(cd "$build" && cpack -G DEB -B "$scratch/package" >/dev/null)
deb=$(ls "$scratch"/package/quillora_*.deb)
dpkg-deb --info "$deb" | sed -n 's/^ \(Depends\|Version\):/  \1:/p'
dpkg -x "$deb" "$scratch/installed"
program="$scratch/installed/usr/bin/quillora"
"$program" --help | grep -q -- "--version"
"$program" --version | grep -qx "quillora [0-9.]*"
"$scratch/installed/usr/bin/quillora-tool" --version | grep -qx "quillora-tool [0-9.]*"
if "$program" --no-such-option 2>"$scratch/usage"; then
  echo "a wrong option was taken" >&2
  exit 1
else
  status=$?
  [ "$status" -eq 2 ] && grep -q "^usage: quillora" "$scratch/usage"
fi
for entry in share/applications/quillora.desktop share/icons/hicolor/scalable/apps/quillora.svg \
  share/icons/hicolor/256x256/apps/quillora.png share/quillora/device/Windows/FtVideo.exe \
  share/quillora/device-generated/Windows/ftres.dll share/quillora/sites/so.youku.com; do
  [ -e "$scratch/installed/usr/$entry" ] || { echo "not installed: $entry" >&2; exit 1; }
done
mkdir -p "$scratch/tour"
(cd "$scratch/tour" && QUILLORA_NO_SOUND=1 QUILLORA_PLAYER_SECONDS=1 QUILLORA_TRANSITION_FRAME_MS=0 \
  "$program" --headless --demo --root "$scratch/root" --script "$top/scripts/tour.script" >/dev/null)
[ -f "$scratch/tour/14-exit-question.png" ]
echo "installed tree: the tour ran to its end"
