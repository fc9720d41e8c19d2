#!/bin/sh
# make-clip.sh FFMPEG PART FONT OUT: one short clip of the offline demo's streams, made
# from ffmpeg's own synthetic sources: a moving test pattern with the part's number over
# it and a tone whose pitch rises with the part, four seconds, as FLV.
set -eu
ffmpeg=$1
part=$2
font=$3
out=$4
pitch=$((330 + 110 * part))
label="Quillora demo  第${part}段  Part ${part}"
fontoption=""
[ -n "$font" ] && [ -r "$font" ] && fontoption="fontfile=${font}:"
mkdir -p "$(dirname "$out")"
"$ffmpeg" -hide_banner -loglevel error -nostdin -y \
  -f lavfi -i "testsrc2=size=480x270:rate=25:duration=4" \
  -f lavfi -i "sine=frequency=${pitch}:sample_rate=44100:duration=4" \
  -vf "drawtext=${fontoption}text='${label}':fontsize=30:fontcolor=white:box=1:boxcolor=black@0.6:boxborderw=10:x=(w-tw)/2:y=(h-th)/2" \
  -c:v libx264 -preset veryfast -crf 30 -pix_fmt yuv420p -c:a aac -b:a 64k -shortest -f flv "$out.part"
mv "$out.part" "$out"
