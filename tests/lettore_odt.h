#pragma once

#include <QByteArray>
#include <QString>

#include <map>
#include <set>
#include <variant>
#include <vector>

// A .odt read back as a word processor reads it: styles resolved through
// their parents and the defaults, fonts through their declarations, runs of
// spaces collapsed the ODF way.
namespace odt {

struct Immagine {
    QString percorso;                  // xlink:href
    double larghezza = 0, altezza = 0; // cm
    QString ancoraggio;                // text:anchor-type
    bool operator==(const Immagine&) const = default;
};

// A paragraph, or a cell with its paragraphs joined by line feeds.
struct Testo {
    QString testo;     // fields as {PAGE} and {NUMPAGES}
    QString carattere; // the family of the first span's font, else the paragraph's
    double punti = 0;
    QString allineamento; // fo:text-align
    std::vector<Immagine> immagini;
    // A cell's, by side (top, bottom, left, right); the sides a paragraph's
    // style gives a line.
    std::map<QString, QString> bordi;
    bool conIlSeguente = false; // fo:keep-with-next="always"
    bool operator==(const Testo&) const = default;
};

struct Riga {
    bool intestazione = false; // inside table:table-header-rows
    std::vector<Testo> celle;
    bool operator==(const Riga&) const = default;
};

struct Tabella {
    QString allineamento;        // table:align
    std::vector<double> colonne; // cm
    std::vector<Riga> righe;
    int gruppiIntestazione = 0; // table:table-header-rows elements
    int annidate = 0;           // tables inside its cells
    bool operator==(const Tabella&) const = default;
};

using Elemento = std::variant<Testo, Tabella>;

// The page of the first master page, its header and its footer.
struct Pagina {
    double larghezza = 0, altezza = 0; // cm
    QString orientamento;
    std::map<QString, double> margini; // cm: top, bottom, left, right
    double altezzaIntestazione = 0;    // cm, the header's fo:min-height
    double spazioIntestazione = 0;     // cm, the header's fo:margin-bottom
    double altezzaPiede = 0;           // cm, the footer's fo:min-height
    double spazioPiede = 0;            // cm, the footer's fo:margin-top
    Testo intestazione;
    Testo piede;
};

struct Pacchetto {
    std::vector<Elemento> corpo;
    std::map<QString, QByteArray> parti;  // every part, by name
    std::map<QString, QString> manifesto; // media type by path
    std::set<QString> caratteriContenuto; // font faces content.xml declares
    std::set<QString> caratteriStili;     // font faces styles.xml declares
    Pagina pagina;
    // meta.xml's office:meta, by element: "dc:title", "meta:initial-creator"…
    std::map<QString, QString> proprieta;
};

// Unzips and parses the package. Throws when the mimetype part is not the
// first, stored and plain; when a part is missing, not well-formed XML, or
// not in the manifest (or the manifest names a part that is missing); when
// a style used is not defined or a font used is not declared; when a
// picture points to no part.
Pacchetto apri(const QByteArray& pacchetto);

std::vector<Tabella> tabelle(const std::vector<Elemento>& corpo);
std::vector<Testo> paragrafi(const std::vector<Elemento>& corpo);

} // namespace odt
