#!/usr/bin/env bash
# Installs what is needed, builds Quillora and shows it working against the fixture
# site on this machine: the fixture server stands in for the providers, a host map
# sends their addresses to it, and quillora-tool walks the road that exists so far.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/install-deps.sh"
"$top/scripts/build.sh" build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=OFF

work=$(mktemp -d)
server_pid=
cleanup() {
  [ -n "$server_pid" ] && kill "$server_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

"$top/build/tools/fixture-server" >"$work/server.out" &
server_pid=$!
for _ in $(seq 100); do grep -q listening "$work/server.out" 2>/dev/null && break; sleep 0.05; done
address=$(sed -n 's/^listening on //p' "$work/server.out")
for host in so.youku.com www.youku.com so.tudou.com www.tudou.com so.56.com www.56.com 6.cn \
            www.flvcd.com www.8fan.net 10.0.0.172; do
  echo "$host $address"
done >"$work/hosts"
export QUILLORA_HOSTS="$work/hosts"
tool="$top/build/tools/quillora-tool"

echo "== device root: ${QUILLORA_ROOT:-${XDG_DATA_HOME:-$HOME/.local/share}/quillora/device}"
echo "== fixture server on $address"
echo "== quillora-tool fetch http://www.youku.com/"
"$tool" fetch http://www.youku.com/
# One navigation at a time, as the program's worker runs each address it intercepts:
# a search page, a list page, a video page through the parse server, a stream.
for address in 'http://so.youku.com/search_video/q_%e5%8a%9f%e5%a4%ab' \
               'http://so.tudou.com/isearch/kungfu' \
               'http://www.56.com/w11/album-aid-1234567.html' \
               'http://v.youku.com/v_show/id_XMTIzNDU2Nzg=.html' \
               "http://$address/flv/shaolin-01.flv"; do
  echo "== quillora-tool navigate $address"
  "$tool" navigate "$address"
done
sleep 0.5
root="${QUILLORA_ROOT:-${XDG_DATA_HOME:-$HOME/.local/share}/quillora/device}"
echo "== the local pages are in $root/Quillora/Temp; the play list is $root/Quillora/Data/video.m3u"
echo "== last lines of $root/Windows/player.log"
tail -n 3 "$root/Windows/player.log" 2>/dev/null || true
