#!/usr/bin/env bash
# Builds the Debian package of Reizwerk (Release) in build-paket/ and names
# it at the end. Install it with: sudo apt install ./build-paket/reizwerk_*.deb
set -euo pipefail
cd "$(dirname "$0")"
# dpkg-shlibdeps (dpkg-dev) finds the packages of the linked libraries;
# CPack recognises the program with file.
tools/abhaengigkeiten.sh dpkg-dev file
starter=()
if command -v ccache >/dev/null; then
  export CCACHE_BASEDIR="$PWD"
  starter=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
cmake -S . -B build-paket -DCMAKE_BUILD_TYPE=Release -DREIZWERK_TESTS=OFF "${starter[@]}" >/dev/null
cmake --build build-paket -j"$(nproc)" --target reizwerk handbuchseite
cd build-paket
rm -f reizwerk_*.deb
cpack -G DEB >/dev/null
ls "$PWD"/reizwerk_*.deb
