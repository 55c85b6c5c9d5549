#!/usr/bin/env bash
# Installs what is missing, builds with AddressSanitizer and
# UndefinedBehaviorSanitizer in build-test/, and runs every test headless.
set -euo pipefail
cd "$(dirname "$0")"
# printing: pdftotext reads the printed documents back; DejaVu carries the letters they print
tools/abhaengigkeiten.sh clang libclang-rt-14-dev poppler-utils fonts-dejavu-core
export QT_QPA_PLATFORM=offscreen
# ccache, where present, lets several checkouts of the tree share compiled objects.
starter=()
if command -v ccache >/dev/null; then
  export CCACHE_BASEDIR="$PWD"
  starter=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
cmake -S . -B build-test -DCMAKE_BUILD_TYPE=Debug -DREIZWERK_SANITIZE=ON "${starter[@]}" >/dev/null
cmake --build build-test -j"$(nproc)"
cd build-test
ctest --output-on-failure -j"$(nproc)"
