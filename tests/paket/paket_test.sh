#!/usr/bin/env bash
# Builds the Debian package from a configured build folder's program,
# checks what it holds and needs, unpacks it into a scratch root (no dpkg -i:
# the test must not change the machine it runs on), starts the installed
# program against a temporary HOME until its window is up, ends it with
# SIGTERM, validates the desktop entry and the AppStream data, and removes it
# again, leaving the data folder it made.
# Usage: paket_test.sh BUILD_DIR SOURCE_DIR
set -euo pipefail
bau=$(cd "$1" && pwd)
quelle=$(cd "$2" && pwd)
tmp=$(mktemp -d)
pid=
aufraeumen() {
  if [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null; then kill -KILL "$pid"; fi
  rm -rf "$tmp"
}
trap aufraeumen EXIT
fehler() {
  echo "FEHLER: $*" >&2
  exit 1
}

# --- build ---
if ! cpack -G DEB --config "$bau/CPackConfig.cmake" -B "$tmp/paket" >"$tmp/cpack.log" 2>&1; then
  cat "$tmp/cpack.log" >&2
  fehler "cpack schlug fehl"
fi
deb=$(ls "$tmp"/paket/reizwerk_*.deb)
echo "Paket: $(basename "$deb")"

# --- what it holds and needs ---
[ "$(dpkg-deb -f "$deb" Package)" = reizwerk ] || fehler "falscher Paketname"
abh=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $abh"
# The linked libraries (their package names carry the library's version),
# the SQLite driver and Qt's German texts.
for p in libqt5widgets5 libqt5network5 'libzip[0-9]+' 'libqrencode[0-9]+' libqt5sql5-sqlite qttranslations5-l10n; do
  grep -Eq "(^|, )$p( |,|$)" <<<"$abh" || fehler "Abhaengigkeit $p fehlt"
done
if tr ',' '\n' <<<"$abh" | grep -Eq -- '-dev( |$)|cmake|g\+\+|gcc( |$)|pkg-config|clang'; then
  fehler "Werkzeug zum Bauen als Abhaengigkeit"
fi
dpkg-deb -e "$deb" "$tmp/steuer"
for s in preinst postinst prerm postrm; do
  # No script, so removing the package cannot touch a user's files.
  [ ! -e "$tmp/steuer/$s" ] || fehler "Paket hat ein $s-Skript"
done
id=io.github.kartenhof.Reizwerk
dpkg-deb -c "$deb" | awk '{print $6}' >"$tmp/inhalt"
erwartet=(./usr/bin/reizwerk "./usr/share/applications/$id.desktop" "./usr/share/metainfo/$id.metainfo.xml"
  ./usr/share/man/man1/reizwerk.1.gz "./usr/share/icons/hicolor/scalable/apps/$id.svg")
for g in 16 22 24 32 48 64 128 256; do
  erwartet+=("./usr/share/icons/hicolor/${g}x$g/apps/$id.png")
done
for d in "${erwartet[@]}"; do
  grep -qxF "$d" "$tmp/inhalt" || fehler "$d fehlt im Paket"
done
# The service module, in Debian's folder for the architecture's private modules.
grep -Eqx '\./usr/lib/[a-z0-9_]+-linux-gnu[a-z]*/reizwerk/libreizwerk_dienste\.so' "$tmp/inhalt" \
  || fehler "das Dienstmodul fehlt im Paket"
if grep -v '^\./usr/' "$tmp/inhalt" | grep -qv '^\./$'; then
  fehler "Dateien ausserhalb von /usr: $(grep -v '^\./usr/' "$tmp/inhalt" | tr '\n' ' ')"
fi

# --- install into a scratch root ---
wurzel="$tmp/wurzel"
dpkg -x "$deb" "$wurzel"
programm="$wurzel/usr/bin/reizwerk"
[ -x "$programm" ] || fehler "Programm nicht ausfuehrbar"
# The HTTP and zip libraries (and the OpenSSL behind them) come with the
# service module when first used, never with the program's start.
if ldd "$programm" | grep -Eq 'libcpp-httplib|libzip|libssl|libcrypto\.'; then
  fehler "das Programm laedt beim Start: $(ldd "$programm" | grep -E 'libcpp-httplib|libzip|libssl|libcrypto\.' | tr '\n' ' ')"
fi

desktop="$wurzel/usr/share/applications/$id.desktop"
ausgabe=$(desktop-file-validate "$desktop" 2>&1) || fehler "desktop-file-validate: $ausgabe"
[ -z "$ausgabe" ] || fehler "desktop-file-validate meldet: $ausgabe"
grep -qx 'Name=Reizwerk' "$desktop" || fehler "Name fehlt"
grep -q '^Comment=.*Spieltag' "$desktop" || fehler "deutscher Kommentar fehlt"
grep -qx 'Categories=Office;.*' "$desktop" || fehler "Hauptkategorie ist nicht Office"
grep -qx "Icon=$id" "$desktop" || fehler "Symbol passt nicht"
grep -qx 'Exec=reizwerk' "$desktop" || fehler "Exec passt nicht"

meta="$wurzel/usr/share/metainfo/$id.metainfo.xml"
appstreamcli validate --no-net "$meta" || fehler "appstreamcli validate"
grep -q "<id>$id</id>" "$meta" || fehler "AppStream-Kennung"
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$meta" || fehler "launchable"
bild=$(sed -n 's:.*<image>\(.*\)</image>.*:\1:p' "$meta")
# The screenshot is the README's picture, named by its path in the repository.
[[ "$bild" == */main/docs/teilnehmer.png ]] || fehler "Bildschirmfoto: $bild"
[ -f "$quelle/docs/teilnehmer.png" ] || fehler "docs/teilnehmer.png fehlt"
grep -q 'docs/teilnehmer.png' "$quelle/README.md" || fehler "README zeigt docs/teilnehmer.png nicht"
zcat "$wurzel/usr/share/man/man1/reizwerk.1.gz" | grep -q '^\.TH REIZWERK 1' || fehler "Handbuchseite"

# --- start the installed program against a temporary HOME ---
heim="$tmp/heim"
mkdir -p "$heim/.config/Kartenhof"
# A loopback port nobody listens on, for the link; the table app's server takes any.
port=
for versuch in $(seq 1 50); do
  p=$((20000 + (RANDOM % 30000)))
  if ! (exec 3<>"/dev/tcp/127.0.0.1/$p") 2>/dev/null; then
    port=$p
    break
  fi
done
[ -n "$port" ] || fehler "kein freier Port"
printf '[Link]\nPort=%s\nAdresse=127.0.0.1\n[Web]\nPort=0\nAdresse=127.0.0.1\n' "$port" \
  >"$heim/.config/Kartenhof/Reizwerk.ini"
daten="$heim/Documents/Reizwerk"
env -u XDG_DOCUMENTS_DIR -u XDG_DOWNLOAD_DIR HOME="$heim" XDG_CONFIG_HOME="$heim/.config" \
  XDG_DATA_HOME="$heim/.local/share" XDG_CACHE_HOME="$heim/.cache" XDG_RUNTIME_DIR="$tmp" \
  "$programm" -platform offscreen >"$tmp/programm.log" 2>&1 &
pid=$!
# Up: it holds the data folder's lock and its link server, set up after it, listens.
oben=
for i in $(seq 1 600); do
  kill -0 "$pid" 2>/dev/null || break
  if [ "$(head -n1 "$daten/reizwerk.lock" 2>/dev/null)" = "$pid" ] \
    && (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null; then
    oben=1
    break
  fi
  sleep 0.1
done
[ -n "$oben" ] || {
  cat "$tmp/programm.log" >&2
  fehler "das installierte Programm kam nicht hoch"
}
sleep 0.5
kill -0 "$pid" 2>/dev/null || fehler "das Programm endete von selbst"
# The table app's server started after the window came up, from the
# package's own service module.
modul=$(find "$wurzel/usr/lib" -name libreizwerk_dienste.so)
[ -n "$modul" ] || fehler "Dienstmodul fehlt"
for i in $(seq 1 100); do
  grep -qF "$modul" "/proc/$pid/maps" && break
  sleep 0.1
done
grep -qF "$modul" "/proc/$pid/maps" || {
  cat "$tmp/programm.log" >&2
  fehler "das Programm lud $modul nicht"
}
kill -TERM "$pid"
rc=0
wait "$pid" || rc=$?
pid=
[ "$rc" -eq 0 ] || {
  cat "$tmp/programm.log" >&2
  fehler "Rueckgabewert $rc nach SIGTERM"
}
[ ! -e "$daten/reizwerk.lock" ] || fehler "die Sperre blieb nach SIGTERM liegen"
[ -f "$daten/reizwerk.db" ] || fehler "keine Daten angelegt"
vorher=$(cd "$daten" && find . -type f -exec sha256sum {} + | sort)

# --- remove it again: the data folder stays as it was ---
rm -rf "$wurzel"
[ ! -e "$programm" ] || fehler "Paket nicht entfernt"
nachher=$(cd "$daten" && find . -type f -exec sha256sum {} + | sort)
[ "$vorher" = "$nachher" ] || fehler "Datenordner veraendert"
echo "Paket gebaut, entpackt, gestartet, mit SIGTERM beendet, geprueft und entfernt"
