#!/usr/bin/env bash
# Makes DI.mp3, the alarm sound: three rising two-tone chimes, about 3 seconds,
# encoded by lame so that the file begins with an ID3v2.3 tag.
set -euo pipefail
cd "$(dirname "$0")"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
for i in 1 2 3; do
  sox -n -r 44100 -c 1 -b 16 "$tmp/a$i.wav" synth 0.28 sine 784 sine 1175 remix 1,2 fade h 0.01 0.28 0.12 vol 0.5
  sox -n -r 44100 -c 1 -b 16 "$tmp/b$i.wav" synth 0.42 sine 1047 sine 1568 remix 1,2 fade h 0.01 0.42 0.30 vol 0.5
  sox -n -r 44100 -c 1 -b 16 "$tmp/g$i.wav" trim 0 0.30
done
sox "$tmp"/a1.wav "$tmp"/b1.wav "$tmp"/g1.wav "$tmp"/a2.wav "$tmp"/b2.wav "$tmp"/g2.wav \
    "$tmp"/a3.wav "$tmp"/b3.wav "$tmp/alarm.wav" norm -3
lame --quiet -b 64 -m m --add-id3v2 --id3v2-only --tt "Jotlark alarm" "$tmp/alarm.wav" DI.mp3
