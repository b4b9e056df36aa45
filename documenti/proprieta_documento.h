#pragma once

#include <QString>

class QTextDocument;

// What a document says about itself, carried by every saved format: the
// file's properties (.docx, .odt, .pdf; the .html page's head) and a page
// header.
struct ProprietaDocumento {
    QString titolo;
    QString autore;
    QString soggetto;
    QString intestazione; // the page header's text, on every page; none when empty

    bool operator==(const ProprietaDocumento&) const = default;
    // Whether the file's properties say anything: the header aside.
    bool haDescrizione() const {
        return !titolo.isEmpty() || !autore.isEmpty() || !soggetto.isEmpty();
    }
};

// Kept on the document object, not in its text: QTextDocument has no place
// for them, and its own title would reach the HTML unescaped.
void impostaProprieta(QTextDocument& documento, const ProprietaDocumento& proprieta);
ProprietaDocumento proprietaDi(const QTextDocument& documento);
