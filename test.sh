#!/usr/bin/env bash
# Installs what is missing, builds with AddressSanitizer and
# UndefinedBehaviorSanitizer in build-test/, and runs every test headless.
set -euo pipefail
cd "$(dirname "$0")"
# printing: pdftotext reads the printed documents back; DejaVu carries the letters they print.
# member lists: python3-openpyxl writes the .xlsx files the spreadsheet import reads.
# table app: the browser test drives Debian's chromium through playwright-core.
pakete=(clang libclang-rt-14-dev poppler-utils python3-openpyxl fonts-dejavu-core chromium)
# package: dpkg-shlibdeps and file for CPack, the two validators of the desktop entry and metadata.
pakete+=(dpkg-dev file desktop-file-utils appstream)
# A machine whose node comes with its own npm needs neither Debian package.
if ! command -v node >/dev/null || ! command -v npm >/dev/null; then
  pakete+=(nodejs npm)
fi
tools/abhaengigkeiten.sh "${pakete[@]}"
if [ ! -e tests/web/browser/node_modules/playwright-core/package.json ]; then
  # Without it the browser test fails and says why; the other tests still run.
  (cd tests/web/browser && npm install --no-audit --no-fund --loglevel=error) \
    || echo "playwright-core konnte nicht installiert werden" >&2
fi
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
