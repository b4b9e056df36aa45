#include "documenti/struttura_documento.h"

#include "documenti/errori_elaboratore.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>

namespace {

// Whether a table row is a heading row, kept on each of its cells.
constexpr int proprietaIntestazione = QTextFormat::UserProperty + 1;

// The empty paragraphs that hold a table in place, one before and one after
// it: Qt's layout gives them no height, so that the paragraphs of the report
// around a table, a blank line among them, are never hidden by it.
constexpr int proprietaServizio = QTextFormat::UserProperty + 2;

// A paragraph kept on one page with the start of the next.
constexpr int proprietaConIlSeguente = QTextFormat::UserProperty + 3;

void segnaDiServizio(QTextCursor cursore) {
    QTextBlockFormat formato = cursore.blockFormat();
    formato.setProperty(proprietaServizio, true);
    cursore.setBlockFormat(formato);
}

// Rows repeated on every page: the heading rows at the top of the table.
void aggiornaRigheRipetute(QTextTable* tabella) {
    int iniziali = 0;
    while (iniziali < tabella->rows() && rigaIntestazione(tabella, iniziali)) {
        ++iniziali;
    }
    QTextTableFormat formato = tabella->format();
    formato.setHeaderRowCount(iniziali);
    tabella->setFormat(formato);
}

} // namespace

QTextTableFormat formatoTabellaReport(Qt::Alignment allineamento) {
    QTextTableFormat formato;
    formato.setAlignment(allineamento);
    // A thin single black line round every cell, 0.5 pt in the document's
    // pixels. Each cell draws its own border and the table its outer one;
    // a spacing of minus one border lays them on top of each other.
    // (Collapsed borders would do the same at twice the layout's cost.)
    const double bordo = 0.5 * 96 / 72;
    formato.setBorderCollapse(false);
    formato.setBorder(bordo);
    formato.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
    formato.setBorderBrush(Qt::black);
    formato.setCellPadding(2);
    formato.setCellSpacing(-bordo);
    return formato;
}

void tieniConIlSeguente(QTextBlockFormat& formato) {
    formato.setProperty(proprietaConIlSeguente, true);
}

bool tenutoConIlSeguente(const QTextBlockFormat& formato) {
    return formato.boolProperty(proprietaConIlSeguente);
}

bool rigaIntestazione(const QTextTable* tabella, int riga) {
    return tabella->cellAt(riga, 0).format().boolProperty(proprietaIntestazione);
}

void impostaRigaIntestazione(QTextTable* tabella, int riga, bool intestazione) {
    for (int c = 0; c < tabella->columns(); ++c) {
        QTextTableCell cella = tabella->cellAt(riga, c);
        QTextCharFormat formato = cella.format();
        formato.setProperty(proprietaIntestazione, intestazione);
        cella.setFormat(formato);
    }
    aggiornaRigheRipetute(tabella);
}

void segnaRigheIntestazione(QTextTable* tabella, int righe) {
    for (int r = 0; r < righe; ++r) {
        impostaRigaIntestazione(tabella, r, true);
    }
}

bool paragrafoDiServizio(const QTextBlock& blocco) {
    return blocco.length() == 1 && blocco.blockFormat().boolProperty(proprietaServizio);
}

QTextTable* inserisciTabella(QTextCursor& cursore, int righe, int colonne,
                             const QTextTableFormat& formato) {
    // An empty paragraph becomes the table's place; a paragraph with text
    // keeps it, and the table follows it.
    if (cursore.block().length() > 1) {
        cursore.movePosition(QTextCursor::EndOfBlock);
        cursore.insertBlock();
    }
    segnaDiServizio(cursore);
    QTextTable* tabella = cursore.insertTable(righe, colonne, formato);
    cursore.setPosition(tabella->lastPosition() + 1);
    segnaDiServizio(cursore);
    QTextBlockFormat seguente = cursore.blockFormat();
    seguente.clearProperty(proprietaServizio);
    cursore.insertBlock(seguente);
    return tabella;
}

QTextTable* tabellaNumero(const QTextDocument* documento, int numero) {
    int contate = 0;
    for (auto it = documento->rootFrame()->begin(); !it.atEnd(); ++it) {
        if (auto* t = qobject_cast<QTextTable*>(it.currentFrame()); t && ++contate == numero) {
            return t;
        }
    }
    errori_elaboratore::membroInesistente();
}

void inserisciInCella(QTextTable* tabella, int riga, int colonna, const QString& testo) {
    if (riga < 1 || riga > tabella->rows() || colonna < 1 || colonna > tabella->columns()) {
        errori_elaboratore::membroInesistente();
    }
    QTextCursor fine = tabella->cellAt(riga - 1, colonna - 1).lastCursorPosition();
    fine.insertText(testo, fine.charFormat());
}

void impostaLarghezzaColonna(QTextTable* tabella, int colonna, float punti, int stileRighello) {
    if (colonna < 1 || colonna > tabella->columns()) {
        errori_elaboratore::membroInesistente();
    }
    if (!(punti > 0 && punti <= 1584) || stileRighello < 0 || stileRighello > 3) {
        errori_elaboratore::fuoriIntervallo();
    }
    QTextTableFormat formato = tabella->format();
    QList<QTextLength> larghezze = formato.columnWidthConstraints();
    larghezze.resize(tabella->columns());
    // The document lays out in pixels at 96 per inch.
    larghezze[colonna - 1] = QTextLength(QTextLength::FixedLength, punti * 96.0 / 72.0);
    formato.setColumnWidthConstraints(larghezze);
    tabella->setFormat(formato);
}
