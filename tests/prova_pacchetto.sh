#!/bin/sh
# Builds the Debian package from this build, unpacks it into a temporary
# folder and runs the unpacked command line for the default table.
set -eu
compilazione=$1
cartella=$(mktemp -d)
trap 'rm -rf "$cartella"' EXIT
cd "$compilazione"
cpack -G DEB -B "$cartella/dist" > "$cartella/cpack.log" 2>&1 || { cat "$cartella/cpack.log"; exit 1; }
pacchetto=$(ls "$cartella"/dist/sezione-inglese_*_amd64.deb)
dpkg-deb -x "$pacchetto" "$cartella/radice"
dpkg-deb -f "$pacchetto" Depends | grep -q fonts-liberation2
for file in usr/bin/sezione-inglese usr/share/man/man1/sezione-inglese-cli.1.gz \
  usr/share/applications/it.sezioneinglese.SezioneInglese.desktop \
  usr/share/icons/hicolor/scalable/apps/it.sezioneinglese.SezioneInglese.svg \
  usr/share/doc/sezione-inglese/copyright; do
  test -f "$cartella/radice/$file" || { echo "manca $file"; exit 1; }
done
"$cartella/radice/usr/bin/sezione-inglese-cli" > "$cartella/tabella.txt"
atteso='Max Q     57.2  0.1797        1.3713       0.1311    210.36   378.07'
test "$(tail -n 1 "$cartella/tabella.txt")" = "$atteso" || { cat "$cartella/tabella.txt"; exit 1; }
test "$(wc -l < "$cartella/tabella.txt")" -eq 10
echo "pacchetto $(basename "$pacchetto"): tabella predefinita corretta"
