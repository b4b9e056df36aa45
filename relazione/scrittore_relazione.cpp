#include "relazione/scrittore_relazione.h"

#include "documenti/disegno_documento.h"
#include "documenti/elaboratore_testi.h"
#include "documenti/struttura_documento.h"
#include "documenti/testo_spezzabile.h"

#include <QTextDocument>
#include <QTextTable>

namespace {

constexpr const char* famiglia = "Arial";

QTextCharFormat carattere(double punti, bool grassetto = false, bool corsivo = false) {
    QTextCharFormat formato;
    formato.setFontFamilies({famiglia});
    formato.setFontPointSize(punti);
    formato.setFontWeight(grassetto ? QFont::Bold : QFont::Normal);
    formato.setFontItalic(corsivo);
    return formato;
}

// The document lays out at 96 pixels per inch.
double pixel(double cm) {
    return cm / 2.54 * 96;
}

} // namespace

ScrittoreRelazione::ScrittoreRelazione(QTextDocument& documento)
    : documento_(documento), cursore_(&documento) {
    cursore_.movePosition(QTextCursor::End);
    cursore_.beginEditBlock();
    // A document of its own starts on its first paragraph; one that holds
    // something already goes on after it.
    primo_ = documento.isEmpty();
}

ScrittoreRelazione::~ScrittoreRelazione() {
    cursore_.endEditBlock();
}

void ScrittoreRelazione::blocco(Qt::Alignment allineamento, bool tieni, int livello,
                                bool paginaNuova) {
    QTextBlockFormat formato;
    formato.setAlignment(allineamento);
    if (paginaNuova) {
        formato.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
    }
    formato.setHeadingLevel(livello);
    if (tieni) {
        tieniConIlSeguente(formato);
    }
    if (primo_) {
        cursore_.setBlockFormat(formato);
        primo_ = false;
    } else {
        cursore_.insertBlock(formato);
    }
}

void ScrittoreRelazione::titolo(const QString& testo) {
    blocco(Qt::AlignHCenter, true);
    cursore_.insertText(testoSpezzabile(testo), carattere(16, true));
}

void ScrittoreRelazione::sezione(const QString& testo) {
    vuota();
    blocco(Qt::AlignLeft, true, 1);
    cursore_.insertText(testoSpezzabile(testo), carattere(12, true));
}

void ScrittoreRelazione::sottosezione(const QString& testo) {
    vuota(true);
    blocco(Qt::AlignLeft, true, 2);
    cursore_.insertText(testoSpezzabile(testo), carattere(11, true));
}

void ScrittoreRelazione::paragrafo(const QString& testo, bool tieni) {
    blocco(Qt::AlignLeft | Qt::AlignJustify, tieni);
    cursore_.insertText(testoSpezzabile(testo), carattere(10));
}

void ScrittoreRelazione::formula(const QString& testo) {
    blocco(Qt::AlignHCenter, true);
    cursore_.insertText(testo, carattere(10, false, true));
}

void ScrittoreRelazione::vuota(bool tieni) {
    blocco(Qt::AlignLeft, tieni);
    cursore_.setBlockCharFormat(carattere(10));
}

int ScrittoreRelazione::tabella(const Tabella& t, const QString& didascalia) {
    if (t.righe.empty()) {
        return 0;
    }
    if (!didascalia.isEmpty()) {
        blocco(Qt::AlignLeft, true);
        cursore_.insertText(QString("Tabella %1 – %2").arg(++tabelle_).arg(didascalia),
                            carattere(9, false, true));
    }
    blocco(Qt::AlignLeft);
    cursore_.setBlockCharFormat(carattere(10));
    const int righe = static_cast<int>(t.righe.size());
    const int colonne = static_cast<int>(t.righe.front().size());
    QTextTableFormat formato = formatoTabellaReport(Qt::AlignHCenter);
    QList<QTextLength> larghezze;
    for (const double cm : t.larghezzeCm) {
        larghezze.append(QTextLength(QTextLength::FixedLength, pixel(cm)));
    }
    formato.setColumnWidthConstraints(larghezze);
    QTextTable* tabella = inserisciTabella(cursore_, righe, colonne, formato);
    constexpr int gruppo = 64;
    for (int r = 0; r < righe; ++r) {
        if (r > 0 && r % gruppo == 0 && righeScritte) {
            righeScritte(gruppo);
        }
        const bool intestazione = r < t.righeIntestazione;
        const auto& riga = t.righe[static_cast<std::size_t>(r)];
        for (int c = 0; c < colonne && c < static_cast<int>(riga.size()); ++c) {
            const auto colonna = static_cast<std::size_t>(c);
            QTextCursor cella = tabella->cellAt(r, c).firstCursorPosition();
            QTextBlockFormat paragrafo;
            const bool aDestra = colonna < t.aDestra.size() && t.aDestra[colonna];
            paragrafo.setAlignment(intestazione ? Qt::AlignHCenter
                                   : aDestra    ? Qt::AlignRight
                                                : Qt::AlignLeft);
            cella.setBlockFormat(paragrafo);
            cella.insertText(testoSpezzabile(riga[colonna]), carattere(8, intestazione));
        }
    }
    segnaRigheIntestazione(tabella, t.righeIntestazione);
    if (righeScritte) {
        righeScritte((righe - 1) % gruppo + 1);
    }
    // The cursor stands in the paragraph after the table, which becomes the
    // next block written.
    cursore_.setBlockFormat(QTextBlockFormat());
    cursore_.setBlockCharFormat(carattere(10));
    primo_ = true;
    return didascalia.isEmpty() ? 0 : tabelle_;
}

int ScrittoreRelazione::disegno(const QByteArray& svg, QSizeF dimensioniCm,
                                const QString& didascalia, Pittura pittura, bool paginaPropria) {
    ++figure_;
    blocco(Qt::AlignHCenter, true, 0, paginaPropria);
    cursore_.insertText(QString(QChar::ObjectReplacementCharacter),
                        formatoDisegno(svg,
                                       {pixel(dimensioniCm.width()), pixel(dimensioniCm.height())},
                                       std::move(pittura)));
    didascaliaFigura(didascalia);
    return figure_;
}

void ScrittoreRelazione::didascaliaFigura(const QString& didascalia) {
    blocco(Qt::AlignHCenter);
    cursore_.insertText(QString("Figura %1 – %2").arg(figure_).arg(didascalia),
                        carattere(9, false, true));
}
