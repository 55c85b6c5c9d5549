#!/usr/bin/env bash
# Installs what is missing, builds Release in build/ and runs the benchmark.
# Every figure is the median of several runs next to a floor measured in the
# same run; the data lives in a temporary HOME that is removed at the end.
# Extra arguments go to the benchmark (e.g. --kurz, or figure names).
set -euo pipefail
cd "$(dirname "$0")"
tools/abhaengigkeiten.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build --target reizwerk_bench -j"$(nproc)" >&2
echo "Machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ *//'),"\
" $(awk '/MemTotal/ {printf "%.0f GiB", $2 / 1048576}' /proc/meminfo); $(date +%F); load $(cut -d' ' -f1-3 /proc/loadavg)"
QT_QPA_PLATFORM=offscreen ./build/bench/reizwerk_bench "$@" 2> >(grep -v -e 'XDG_RUNTIME_DIR' -e 'propagateSizeHints' >&2)
