#!/bin/sh
# Installs this build into a temporary prefix, refreshes the MIME and menu
# databases there as Debian's triggers do, and checks what a desktop sees:
# a project file's type by name or content, its icon, and the program as
# the handler that a double click starts.
set -eu
compilazione=$1
cartella=$(mktemp -d)
trap 'rm -rf "$cartella"' EXIT
prefisso=$cartella/usr
cmake --install "$compilazione" --prefix "$prefisso" > "$cartella/install.log" 2>&1 \
  || { cat "$cartella/install.log"; exit 1; }

# Only the prefix counts: the machine's and the user's settings stay out.
export XDG_DATA_DIRS="$prefisso/share" XDG_DATA_HOME="$cartella/casa" \
  XDG_CONFIG_HOME="$cartella/config" XDG_CONFIG_DIRS="$cartella/config"
# GLib ignores a desktop entry whose program is not on the PATH.
export PATH="$prefisso/bin:$PATH" LC_ALL=C.UTF-8

# update-mime-database reports a faulty type in words, with success.
update-mime-database "$prefisso/share/mime" > "$cartella/mime.log" 2>&1
test ! -s "$cartella/mime.log" || { cat "$cartella/mime.log"; exit 1; }
update-desktop-database "$prefisso/share/applications"

tipo_di() {
  gio info -a "standard::$2" "$1" | sed -n "s/^ *standard::$2: //p"
}

tipo=application/x-sezione-inglese
while read -r nome atteso contenuto; do
  printf '%s' "$contenuto" > "$cartella/$nome"
  trovato=$(tipo_di "$cartella/$nome" content-type)
  test "$trovato" = "$atteso" || { echo "$nome: $trovato, atteso $atteso"; exit 1; }
done <<EOF
x.sezione $tipo {}
progetto $tipo {"formato": "sezione-inglese", "versione": 1}
compatto $tipo {"formato":"sezione-inglese","versione":1}
altro text/plain {"formato": "altro"}
EOF

# Every size of the program's icon has the project icon beside it.
icona=$(tipo_di "$cartella/x.sezione" icon | cut -d, -f1)
for applicazione in "$prefisso"/share/icons/hicolor/*/apps/it.sezioneinglese.SezioneInglese.*; do
  cartella_icone=$(dirname "$(dirname "$applicazione")")
  test -f "$cartella_icone/mimetypes/$icona.${applicazione##*.}" \
    || { echo "manca l'icona $icona in $cartella_icone"; exit 1; }
done

gio mime "$tipo" | head -n 1 | grep -q 'it\.sezioneinglese\.SezioneInglese\.desktop' \
  || { gio mime "$tipo"; exit 1; }
echo "i file .sezione sono $tipo, con l'icona $icona, e si aprono con il programma"
