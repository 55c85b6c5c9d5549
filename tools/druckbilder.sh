#!/usr/bin/env bash
# Makes the README pictures of the printed documents: prepares a match day
# (20 players, three series, two drawn), writes the seating list and the
# game-list sheets of series 2 as PDF and renders their first pages to
# docs/tischliste.png and docs/spielliste.png.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/abhaengigkeiten.sh poppler-utils fonts-dejavu-core
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DREIZWERK_TESTS=OFF >/dev/null
cmake --build build --target reizwerk_beispiel -j"$(nproc)" >/dev/null

zuhause="$(mktemp -d)"
trap 'rm -rf "$zuhause"' EXIT
QT_QPA_PLATFORM=offscreen ./build/bench/reizwerk_beispiel "$zuhause" 20 3 2 "$zuhause"
mkdir -p docs
pdftoppm -png -r 60 -f 1 -l 1 -singlefile "$zuhause/tischliste.pdf" docs/tischliste
pdftoppm -png -r 60 -f 1 -l 1 -singlefile "$zuhause/spielliste.pdf" docs/spielliste
ls -l docs/tischliste.png docs/spielliste.png
