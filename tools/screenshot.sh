#!/usr/bin/env bash
# Takes the README picture: prepares a match day (20 players, two of three
# series drawn, points entered), starts Reizwerk on it under Xvfb on a
# 1280x800 screen, the size of a small laptop, and writes a screenshot of the
# participants tab to docs/teilnehmer.png.
# REIZWERK_BUILD names an existing build folder to take the programs from
# (default: a release build in build/).
set -euo pipefail
cd "$(dirname "$0")/.."
tools/abhaengigkeiten.sh xvfb x11-apps imagemagick fonts-dejavu-core
bau="${REIZWERK_BUILD:-build}"
if [ -z "${REIZWERK_BUILD:-}" ]; then
  cmake -S . -B "$bau" -DCMAKE_BUILD_TYPE=Release -DREIZWERK_TESTS=OFF >/dev/null
fi
cmake --build "$bau" --target reizwerk reizwerk_beispiel -j"$(nproc)" >/dev/null

zuhause="$(mktemp -d)"
trap 'rm -rf "$zuhause"' EXIT
export HOME="$zuhause" XDG_CONFIG_HOME="$zuhause/.config" XDG_DATA_HOME="$zuhause/.local/share"
export ASAN_OPTIONS=detect_leaks=0
"./$bau/bench/reizwerk_beispiel" "$zuhause" 20 3 2
ziel="$PWD/docs/teilnehmer.png"
mkdir -p docs

# The window fills the screen as it would on the laptop (there is no window
# manager under Xvfb to maximise it).
einstellungen="$XDG_CONFIG_HOME/Kartenhof/Reizwerk.ini"
mkdir -p "$(dirname "$einstellungen")"
groesse='Groesse=@Size(1280 800)\nPosition=@Point(0 0)'
if grep -q '^\[Fenster\]' "$einstellungen" 2>/dev/null; then
  sed -i -e '/^Groesse=/d' -e '/^Position=/d' -e '/^Maximiert=/d' \
    -e "s/^\[Fenster\]\$/[Fenster]\n$groesse/" "$einstellungen"
else
  printf "\n[Fenster]\n$groesse\n" >>"$einstellungen"
fi

xvfb-run -a -s "-screen 0 1280x800x24" bash -c '
  "./'"$bau"'/reizwerk" & programm=$!
  sleep 6
  xwd -root -silent | convert xwd:- -strip "png:'"$ziel"'"
  kill $programm
  wait $programm 2>/dev/null || true
'
echo "Bild geschrieben: $ziel ($(stat -c %s "$ziel") Bytes)"
