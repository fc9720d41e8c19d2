#!/usr/bin/env bash
# Builds Quillora for release and makes its Debian package:
# build-package/quillora_<version>_amd64.deb, installable with
#   sudo apt install ./build-package/quillora_*.deb
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/install-deps.sh" --playback
"$top/scripts/build.sh" build-package -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF
(cd "$top/build-package" && cpack -G DEB >/dev/null)
ls -1 "$top"/build-package/quillora_*.deb
