#pragma once

#include <QByteArray>
#include <QString>

#include <map>
#include <variant>
#include <vector>

// A .docx read back: the body's paragraphs and tables, with what the report
// sets on them.
namespace docx {

// An inline picture. Each field is read only from its element in the
// DrawingML namespace it belongs to.
struct Disegno {
    QString relazione;                              // a:blip r:embed
    long long larghezza = 0, altezza = 0;           // EMU, wp:extent
    long long larghezzaForma = 0, altezzaForma = 0; // EMU, a:xfrm/a:ext
    QString id, nome;                               // wp:docPr
    bool operator==(const Disegno&) const = default;
};

// A paragraph, or a cell with its paragraphs joined by line feeds.
struct Testo {
    QString testo;     // fields as their code in braces: {PAGE}
    QString carattere; // of the first run, else of the paragraph mark
    double punti = 0;
    QString allineamento;
    std::vector<Disegno> disegni;
    // A cell's tcBorders, a paragraph's pBdr, by side: "single 4 000000".
    std::map<QString, QString> bordi;
    bool conIlSeguente = false; // w:keepNext
    bool operator==(const Testo&) const = default;
};

struct Riga {
    bool intestazione = false;
    std::vector<Testo> celle;
    bool operator==(const Riga&) const = default;
};

struct Tabella {
    QString allineamento;
    std::vector<int> colonne; // twips
    std::vector<Riga> righe;
    int annidate = 0; // tables inside its cells
    bool operator==(const Tabella&) const = default;
};

using Elemento = std::variant<Testo, Tabella>;

struct Relazione {
    QString tipo;
    QString destinazione;
};

// The body's section: its page, its default header and footer.
struct Pagina {
    int larghezza = 0, altezza = 0; // twips
    QString orientamento;
    std::map<QString, int> margini; // twips, by w:pgMar attribute
    Testo intestazione;             // the header part's first paragraph, if any
    Testo piede;                    // the footer part's first paragraph
};

struct Pacchetto {
    std::vector<Elemento> corpo;
    Pagina pagina;
    std::map<QString, QByteArray> parti;          // every part, by name
    std::map<QString, Relazione> relazioni;       // of word/document.xml, by Id
    std::map<QString, QString> tipiPerEstensione; // the Default content types
    std::map<QString, QString> tipiPerParte;      // the Override ones, by part name
    // The core properties the package's relationship points to, by Dublin
    // Core element: "title", "creator", "subject".
    std::map<QString, QString> proprieta;
};

// Every part of a zip package, by name.
std::map<QString, QByteArray> parti(const QByteArray& pacchetto);

// Unzips the package and parses word/document.xml, its header and footer,
// and the core properties. Throws when a needed part is missing or not XML,
// when a part has no content type, or when a relationship points to no part
// or the header or footer reference to no header or footer.
Pacchetto apri(const QByteArray& pacchetto);

// The body alone.
std::vector<Elemento> leggi(const QByteArray& pacchetto);

std::vector<Tabella> tabelle(const std::vector<Elemento>& corpo);
std::vector<Testo> paragrafi(const std::vector<Elemento>& corpo);

} // namespace docx
