#!/usr/bin/env bash
# Installs what is missing, builds Reizwerk in Release and starts it.
# Extra arguments go to the program, e.g. ./run.sh -platform offscreen
set -euo pipefail
cd "$(dirname "$0")"
tools/abhaengigkeiten.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DREIZWERK_TESTS=OFF >/dev/null
cmake --build build --target reizwerk -j"$(nproc)"
exec ./build/reizwerk "$@"
