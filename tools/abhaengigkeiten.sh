#!/usr/bin/env bash
# Installs what building Reizwerk needs, when it is missing. Debian 12.
# Usage: tools/abhaengigkeiten.sh [extra packages...]
set -euo pipefail

pakete=(cmake g++ make pkg-config qtbase5-dev qtbase5-dev-tools libqt5sql5-sqlite zlib1g-dev
  libqrencode-dev libzip-dev libcsv-dev libcpp-httplib-dev libsqlite3-dev libssl-dev qttranslations5-l10n "$@")
fehlend=()
for p in "${pakete[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    fehlend+=("$p")
  fi
done
[ ${#fehlend[@]} -eq 0 ] && exit 0

echo "Installiere: ${fehlend[*]}"
als_root=()
if [ "$(id -u)" -ne 0 ]; then
  als_root=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${als_root[@]}" apt-get update -qq
"${als_root[@]}" apt-get install -y -qq --no-install-recommends "${fehlend[@]}"
