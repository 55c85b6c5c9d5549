#!/usr/bin/env bash
# Takes the README picture: prepares a match day (20 players, two of three
# series drawn, points entered), starts Reizwerk on it under Xvfb and writes a
# screenshot of the participants tab to docs/teilnehmer.png.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/abhaengigkeiten.sh xvfb x11-apps imagemagick fonts-dejavu-core
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DREIZWERK_TESTS=OFF >/dev/null
cmake --build build --target reizwerk reizwerk_beispiel -j"$(nproc)" >/dev/null

zuhause="$(mktemp -d)"
trap 'rm -rf "$zuhause"' EXIT
./build/bench/reizwerk_beispiel "$zuhause" 20 3 2
ziel="$PWD/docs/teilnehmer.png"
mkdir -p docs

export HOME="$zuhause" XDG_CONFIG_HOME="$zuhause/.config" XDG_DATA_HOME="$zuhause/.local/share"
xvfb-run -a -s "-screen 0 1027x571x24" bash -c '
  ./build/reizwerk & programm=$!
  sleep 4
  xwd -root -silent | convert xwd:- "png:'"$ziel"'"
  kill $programm
  wait $programm 2>/dev/null || true
'
echo "Bild geschrieben: $ziel"
