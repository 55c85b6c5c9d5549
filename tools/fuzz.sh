#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a few seconds on
# a copy of its corpus. Exits non-zero when a target finds a fault.
# Usage: tools/fuzz.sh BUILD_DIR [SECONDS]
set -euo pipefail
wurzel="$(cd "$(dirname "$0")/.." && pwd)"
bau="${1:?build directory}"
sekunden="${2:-5}"
CXX=clang++ cmake -S "$wurzel/tests/fuzz" -B "$bau" -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build "$bau" -j"$(nproc)" >/dev/null
export ASAN_OPTIONS=detect_leaks=0
rm -f "$bau"/fund-*
for ziel in nachricht spielerdatei; do
  arbeit="$bau/arbeit-$ziel"
  rm -rf "$arbeit"
  mkdir -p "$arbeit"
  "$bau/fuzz_$ziel" "$arbeit" "$wurzel/tests/fuzz/korpus/$ziel" \
    -max_total_time="$sekunden" -rss_limit_mb=2048 -artifact_prefix="$bau/fund-$ziel-" -print_final_stats=1 2>&1 \
    | grep -E '^(stat::number_of_executed_units|==|SUMMARY|Done)' || true
  if ls "$bau"/fund-"$ziel"-* >/dev/null 2>&1; then
    echo "fuzz_$ziel hat einen Fehler gefunden: $(ls "$bau"/fund-"$ziel"-*)"
    exit 1
  fi
done
echo "Fuzzing ohne Befund."
