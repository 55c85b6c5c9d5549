#!/usr/bin/env bash
# Renders the icon's PNG sizes from reizwerk.svg (needs rsvg-convert from
# librsvg2-bin). The PNGs are kept in the repository, so building the
# package needs no renderer; run this after changing the SVG.
set -euo pipefail
cd "$(dirname "$0")"
for g in 16 22 24 32 48 64 128 256; do
  rsvg-convert -w "$g" -h "$g" reizwerk.svg -o "reizwerk-$g.png"
done
