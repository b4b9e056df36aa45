#pragma once

#include <QImage>
#include <QString>

#include <string>
#include <vector>

class QTextDocument;

// Appends a section to the end of a report document: a title, lines of
// text, a table (its first row the heading row) and a picture of the given
// width on the page, in the report's fonts.
struct SezioneRelazione {
    QString titolo;
    std::vector<QString> righe;
    std::vector<std::vector<std::string>> tabella;
    std::vector<double> larghezzeColonneCm; // empty: Qt's own
    QImage immagine;
    double larghezzaImmagineCm = 16;
};

void aggiungiAllaRelazione(QTextDocument& documento, const SezioneRelazione& sezione);
