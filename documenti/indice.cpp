#include "documenti/indice.h"

#include "documenti/impaginazione.h"
#include "documenti/struttura_documento.h"

#include <QBuffer>
#include <QPdfWriter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>
#include <set>

namespace {

// An entry's level, kept on its paragraph.
constexpr int proprietaVoce = QTextFormat::UserProperty + 4;
// The "Indice" line over the entries.
constexpr int proprietaTitolo = QTextFormat::UserProperty + 5;

// The report's fonts.
QTextCharFormat carattere(double punti, bool grassetto = false) {
    QTextCharFormat formato;
    formato.setFontFamilies({QStringLiteral("Arial")});
    formato.setFontPointSize(punti);
    formato.setFontWeight(grassetto ? QFont::Bold : QFont::Normal);
    return formato;
}

// A level 2 entry's indent: 0.5 cm, in the document's pixels (96 per inch).
constexpr double rientro = 0.5 / 2.54 * 96;

// A heading's text on one line, as its entry shows it.
QString testoVoce(const QTextBlock& titolo) {
    QString testo = titolo.text();
    testo.remove(QChar::ObjectReplacementCharacter);
    for (QChar& c : testo) {
        if (c == QChar('\t') || c == QChar::LineSeparator || c == QChar('\n')) {
            c = QChar(' ');
        }
    }
    return testo.simplified();
}

struct Titolo {
    QTextBlock blocco;
    int livello;
    QString testo;
    QString ancora;
};

// The headings of level 1 and 2 with some text, each with its anchor,
// given one when it has none.
std::vector<Titolo> titoli(QTextDocument& documento) {
    std::vector<Titolo> esito;
    std::set<QString> nomi;
    for (const auto& [nome, posizione] : posizioniAncore(documento)) {
        nomi.insert(nome);
    }
    int numero = 0;
    for (QTextBlock blocco = documento.begin(); blocco.isValid(); blocco = blocco.next()) {
        const int livello = blocco.blockFormat().headingLevel();
        const QString testo = testoVoce(blocco);
        if (livello < 1 || livello > 2 || testo.isEmpty()) {
            continue;
        }
        QString ancora = ancoraParagrafo(blocco);
        if (ancora.isEmpty()) {
            do {
                ancora = QString("titolo_%1").arg(++numero);
            } while (nomi.count(ancora) > 0);
            nomi.insert(ancora);
            QTextCursor tutto(blocco);
            tutto.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
            QTextCharFormat formato;
            formato.setAnchor(true);
            formato.setAnchorNames({ancora});
            tutto.mergeCharFormat(formato);
        }
        esito.push_back({blocco, livello, testo, ancora});
    }
    return esito;
}

} // namespace

void inserisciIndice(QTextDocument& documento, int posizione) {
    QTextCursor cursore(&documento);
    cursore.beginEditBlock();
    const std::vector<Titolo> voci = titoli(documento);

    // The index goes before the paragraph at the position; inside a
    // paragraph, after it.
    cursore.setPosition(std::clamp(posizione, 0, documento.characterCount() - 1));
    if (!cursore.atBlockStart() && !cursore.movePosition(QTextCursor::NextBlock)) {
        cursore.movePosition(QTextCursor::EndOfBlock);
        cursore.insertBlock(QTextBlockFormat(), carattere(10));
    }
    const QTextBlockFormat formatoSeguente = cursore.blockFormat();
    const QTextCharFormat caratterSeguente = cursore.blockCharFormat();
    // Each paragraph is a new one before the cursor's, which stays as it is.
    const auto paragrafo = [&](QTextBlockFormat formato, const QString& testo,
                               const QTextCharFormat& carattere) {
        cursore.insertBlock(formatoSeguente, caratterSeguente);
        cursore.movePosition(QTextCursor::PreviousBlock);
        cursore.setBlockFormat(formato);
        cursore.setBlockCharFormat(carattere);
        cursore.insertText(testo, carattere);
        cursore.movePosition(QTextCursor::NextBlock);
    };

    QTextBlockFormat titolo;
    titolo.setProperty(proprietaTitolo, true);
    tieniConIlSeguente(titolo);
    paragrafo(titolo, QStringLiteral("Indice"), carattere(12, true));
    for (const Titolo& voce : voci) {
        QTextBlockFormat formato;
        formato.setProperty(proprietaVoce, voce.livello);
        if (voce.livello == 2) {
            formato.setLeftMargin(rientro);
        } else if (&voce != &voci.back()) {
            // A section's entry is not left alone at a page's foot.
            tieniConIlSeguente(formato);
        }
        QTextCharFormat collegamento = carattere(10);
        collegamento.setAnchor(true);
        collegamento.setAnchorHref("#" + voce.ancora);
        paragrafo(formato, voce.testo, collegamento);
    }

    // The text goes on on a new page, unless nothing follows.
    const QTextBlock seguente = cursore.block();
    const bool ultimoVuoto = !seguente.next().isValid() && seguente.length() == 1;
    if (!paragrafoDiServizio(seguente) && !ultimoVuoto) {
        QTextBlockFormat nuovaPagina;
        nuovaPagina.setPageBreakPolicy(formatoSeguente.pageBreakPolicy() |
                                       QTextFormat::PageBreak_AlwaysBefore);
        cursore.mergeBlockFormat(nuovaPagina);
    }
    cursore.endEditBlock();
}

int livelloVoceIndice(const QTextBlockFormat& formato) {
    return formato.intProperty(proprietaVoce);
}

bool titoloIndice(const QTextBlockFormat& formato) {
    return formato.boolProperty(proprietaTitolo);
}

QString destinazioneVoce(const QTextBlock& voce) {
    for (auto it = voce.begin(); !it.atEnd(); ++it) {
        const QString destinazione = it.fragment().charFormat().anchorHref();
        if (destinazione.startsWith('#')) {
            return destinazione.mid(1);
        }
    }
    return {};
}

QString ancoraParagrafo(const QTextBlock& paragrafo) {
    for (auto it = paragrafo.begin(); !it.atEnd(); ++it) {
        const QStringList nomi = it.fragment().charFormat().anchorNames();
        if (!nomi.isEmpty()) {
            return nomi.first();
        }
    }
    return {};
}

std::map<QString, int> posizioniAncore(const QTextDocument& documento) {
    std::map<QString, int> esito;
    for (QTextBlock blocco = documento.begin(); blocco.isValid(); blocco = blocco.next()) {
        for (auto it = blocco.begin(); !it.atEnd(); ++it) {
            for (const QString& nome : it.fragment().charFormat().anchorNames()) {
                esito.try_emplace(nome, it.fragment().position());
            }
        }
    }
    return esito;
}

bool conVociIndice(const QTextDocument& documento) {
    for (QTextBlock blocco = documento.begin(); blocco.isValid(); blocco = blocco.next()) {
        if (livelloVoceIndice(blocco.blockFormat()) > 0) {
            return true;
        }
    }
    return false;
}

std::vector<int> pagineVociIndice(const QTextDocument& documento, Avanzamento avanzamento) {
    if (!conVociIndice(documento)) {
        return {};
    }
    QBuffer scarto;
    scarto.open(QIODevice::WriteOnly);
    QPdfWriter pdf(&scarto);
    preparaPdf(pdf);
    return PagineA4(documento, pdf, std::move(avanzamento)).pagineVoci();
}
