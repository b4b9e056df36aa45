#pragma once

#include <QByteArray>
#include <QString>

#include <variant>
#include <vector>

// A .docx read back: the body's paragraphs and tables, with what the report
// sets on them.
namespace docx {

// A paragraph, or a cell with its paragraphs joined by line feeds.
struct Testo {
    QString testo;
    QString carattere; // of the first run, else of the paragraph mark
    double punti = 0;
    QString allineamento;
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

// Unzips the package, checks its parts and parses word/document.xml.
std::vector<Elemento> leggi(const QByteArray& pacchetto);

std::vector<Tabella> tabelle(const std::vector<Elemento>& corpo);
std::vector<Testo> paragrafi(const std::vector<Elemento>& corpo);

} // namespace docx
