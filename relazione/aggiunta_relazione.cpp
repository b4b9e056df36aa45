#include "relazione/aggiunta_relazione.h"

#include "documenti/elaboratore_testi.h"
#include "documenti/immagini_documento.h"
#include "documenti/struttura_documento.h"

#include <QTextCursor>
#include <QTextDocument>
#include <QTextTable>
#include <QUrl>

namespace {

QTextCharFormat carattere(const QString& famiglia, double punti, bool grassetto = false) {
    QTextCharFormat formato;
    formato.setFontFamilies({famiglia});
    formato.setFontPointSize(punti);
    formato.setFontWeight(grassetto ? QFont::Bold : QFont::Normal);
    return formato;
}

QTextBlockFormat paragrafo(Qt::Alignment allineamento) {
    QTextBlockFormat formato;
    formato.setAlignment(allineamento);
    return formato;
}

} // namespace

void aggiungiAllaRelazione(QTextDocument& documento, const SezioneRelazione& sezione) {
    const QTextCharFormat testo = carattere("Courier New", 10);
    const QTextCharFormat intestazione = carattere("Arial", 7);
    QTextCursor cursore(&documento);
    cursore.movePosition(QTextCursor::End);
    cursore.beginEditBlock();

    cursore.insertBlock(paragrafo(Qt::AlignLeft), testo);
    cursore.insertBlock(paragrafo(Qt::AlignLeft), testo);
    cursore.insertText(sezione.titolo, carattere("Courier New", 10, true));
    for (const QString& riga : sezione.righe) {
        cursore.insertBlock(paragrafo(Qt::AlignLeft), testo);
        cursore.insertText(riga, testo);
    }
    cursore.insertBlock(paragrafo(Qt::AlignLeft), testo);

    if (!sezione.tabella.empty()) {
        cursore.insertBlock(paragrafo(Qt::AlignHCenter), testo);
        const int righe = static_cast<int>(sezione.tabella.size());
        const int colonne = static_cast<int>(sezione.tabella.front().size());
        QTextTableFormat formato = formatoTabellaReport(Qt::AlignHCenter);
        QList<QTextLength> larghezze;
        for (const double cm : sezione.larghezzeColonneCm) {
            larghezze.append(QTextLength(QTextLength::FixedLength, cm / 2.54 * 96));
        }
        formato.setColumnWidthConstraints(larghezze);
        QTextTable* tabella = inserisciTabella(cursore, righe, colonne, formato);
        for (int r = 0; r < righe; ++r) {
            const auto& riga = sezione.tabella[static_cast<std::size_t>(r)];
            for (int c = 0; c < colonne && c < static_cast<int>(riga.size()); ++c) {
                QTextCursor cella = tabella->cellAt(r, c).firstCursorPosition();
                cella.setBlockFormat(paragrafo(c == 0 ? Qt::AlignLeft : Qt::AlignRight));
                cella.insertText(QString::fromStdString(riga[static_cast<std::size_t>(c)]),
                                 intestazione);
            }
        }
        segnaRigheIntestazione(tabella, 1);
        // A blank line after the table.
        cursore.setBlockFormat(paragrafo(Qt::AlignLeft));
        cursore.setBlockCharFormat(testo);
    }

    if (!sezione.immagine.isNull()) {
        cursore.insertBlock(paragrafo(Qt::AlignHCenter), testo);
        const QUrl nome = aggiungiImmagine(documento, sezione.immagine,
                                           QStringLiteral("sezione://grafico-%1.png"));
        QTextImageFormat figura;
        figura.setName(nome.toString());
        // The document lays out at 96 pixels per inch.
        figura.setWidth(sezione.larghezzaImmagineCm / 2.54 * 96);
        figura.setHeight(figura.width() * sezione.immagine.height() / sezione.immagine.width());
        cursore.insertImage(figura);
    }
    cursore.endEditBlock();
    documento.setModified(true);
}
