#include "documenti/selezione_documento.h"

#include "documenti/errori_elaboratore.h"
#include "documenti/struttura_documento.h"

#include <QTextBlock>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>

#include <algorithm>
#include <vector>

namespace {

// Word's own enumeration values, as the report passes them.
constexpr int unitaRiga = 5;
constexpr int intestazioneAttiva = -1;
constexpr int intestazioneDisattiva = 0;
constexpr int intestazioneInverti = 9999998;

QTextCharFormat formatoIniziale() {
    QTextCharFormat formato;
    formato.setFontFamilies({QStringLiteral("Times New Roman")});
    formato.setFontPointSize(12);
    return formato;
}

// Font names as the word processor knows them, whatever their case.
QString nomeNormalizzato(const QString& nome) {
    for (const char* noto : {"Arial", "Courier New", "Times New Roman"}) {
        if (nome.compare(QLatin1String(noto), Qt::CaseInsensitive) == 0) {
            return QLatin1String(noto);
        }
    }
    return nome;
}

// One line per paragraph outside tables, one per table row.
struct Linea {
    int posizione; // where the insertion point lands on it
    QTextTable* tabella;
    int riga;
};

std::vector<Linea> linee(QTextDocument* documento) {
    std::vector<Linea> esito;
    for (auto it = documento->rootFrame()->begin(); !it.atEnd(); ++it) {
        if (auto* tabella = qobject_cast<QTextTable*>(it.currentFrame())) {
            for (int r = 0; r < tabella->rows(); ++r) {
                esito.push_back(
                    {tabella->cellAt(r, 0).firstCursorPosition().position(), tabella, r});
            }
        } else if (it.currentBlock().isValid() && !paragrafoDiServizio(it.currentBlock())) {
            esito.push_back({it.currentBlock().position(), nullptr, 0});
        }
    }
    return esito;
}

std::size_t lineaDi(const std::vector<Linea>& tutte, const QTextCursor& cursore) {
    QTextTable* tabella = cursore.currentTable();
    const int riga = tabella ? tabella->cellAt(cursore.position()).row() : 0;
    std::size_t indice = 0;
    for (std::size_t i = 0; i < tutte.size(); ++i) {
        const Linea& l = tutte[i];
        if (tabella ? (l.tabella == tabella && l.riga == riga)
                    : (l.tabella == nullptr && l.posizione <= cursore.position())) {
            indice = i;
        }
    }
    return indice;
}

void impostaFormatoCella(QTextTableCell cella, const QTextCharFormat& modifica) {
    QTextCursor c = cella.firstCursorPosition();
    c.setPosition(cella.lastCursorPosition().position(), QTextCursor::KeepAnchor);
    c.mergeCharFormat(modifica);
    c.mergeBlockCharFormat(modifica);
}

} // namespace

SelezioneDocumento::SelezioneDocumento(QTextDocument* documento)
    : cursore_(documento), formato_(formatoIniziale()) {}

void SelezioneDocumento::spostaIn(QTextDocument* documento) {
    const int ancora = cursore_.anchor();
    const int posizione = cursore_.position();
    cursore_ = QTextCursor(documento);
    cursore_.setPosition(ancora);
    cursore_.setPosition(posizione, QTextCursor::KeepAnchor);
}

void SelezioneDocumento::scriviTesto(const QString& testo) {
    const QStringList paragrafi = testo.split(QChar('\r'));
    for (qsizetype i = 0; i < paragrafi.size(); ++i) {
        if (i > 0) {
            cursore_.insertBlock(cursore_.blockFormat(), formato_);
        }
        if (!paragrafi[i].isEmpty()) {
            cursore_.insertText(paragrafi[i], formato_);
        }
    }
}

void SelezioneDocumento::applica(const QTextCharFormat& modifica) {
    formato_.merge(modifica);
    if (!cursore_.hasSelection()) {
        // In an empty paragraph the paragraph mark takes the font too.
        if (cursore_.block().length() == 1) {
            cursore_.mergeBlockCharFormat(modifica);
        }
        return;
    }
    if (QTextTable* tabella = cursore_.currentTable(); tabella && cursore_.hasComplexSelection()) {
        int primaRiga = 0, righe = 0, primaColonna = 0, colonne = 0;
        cursore_.selectedTableCells(&primaRiga, &righe, &primaColonna, &colonne);
        for (int r = primaRiga; r < primaRiga + righe; ++r) {
            for (int c = primaColonna; c < primaColonna + colonne; ++c) {
                impostaFormatoCella(tabella->cellAt(r, c), modifica);
            }
        }
    } else {
        cursore_.mergeCharFormat(modifica);
    }
}

void SelezioneDocumento::impostaNomeCarattere(const QString& nome) {
    if (nome.trimmed().isEmpty()) {
        errori_elaboratore::parametroNonValido();
    }
    QTextCharFormat modifica;
    modifica.setFontFamilies({nomeNormalizzato(nome)});
    applica(modifica);
}

void SelezioneDocumento::impostaDimensioneCarattere(float punti) {
    if (!(punti >= 1 && punti <= 1638)) {
        errori_elaboratore::fuoriIntervallo();
    }
    QTextCharFormat modifica;
    modifica.setFontPointSize(punti);
    applica(modifica);
}

void SelezioneDocumento::impostaAllineamento(int allineamento) {
    static const Qt::Alignment allineamenti[] = {Qt::AlignLeft, Qt::AlignHCenter, Qt::AlignRight,
                                                 Qt::AlignJustify};
    if (allineamento < 0 || allineamento > 3) {
        errori_elaboratore::fuoriIntervallo();
    }
    QTextBlockFormat modifica;
    modifica.setAlignment(allineamenti[allineamento]);
    cursore_.mergeBlockFormat(modifica);
}

void SelezioneDocumento::spostaGiu(int unita, int conteggio, int estendi) {
    if (unita != unitaRiga || (estendi != 0 && estendi != 1)) {
        errori_elaboratore::parametroNonValido();
    }
    QTextDocument* documento = cursore_.document();
    const std::vector<Linea> tutte = linee(documento);
    const auto corrente = static_cast<long long>(lineaDi(tutte, cursore_));
    const long long arrivo =
        std::clamp(corrente + conteggio, 0LL, static_cast<long long>(tutte.size()) - 1);
    const bool oltreLaFine = corrente + conteggio > static_cast<long long>(tutte.size()) - 1;
    const int posizione = oltreLaFine ? documento->characterCount() - 1
                                      : tutte[static_cast<std::size_t>(arrivo)].posizione;
    cursore_.setPosition(posizione,
                         estendi == 1 ? QTextCursor::KeepAnchor : QTextCursor::MoveAnchor);
}

QTextTable* SelezioneDocumento::aggiungiTabella(int posizione, int righe, int colonne) {
    if (righe < 1 || righe > 32767 || colonne < 1 || colonne > 63) {
        errori_elaboratore::fuoriIntervallo();
    }
    QTextDocument* documento = cursore_.document();
    QTextCursor cursore(documento);
    cursore.setPosition(std::clamp(posizione, 0, documento->characterCount() - 1));
    const QTextBlockFormat formatoParagrafo = cursore.blockFormat();
    const QTextCharFormat caratteriParagrafo = cursore.blockCharFormat();

    QTextTable* tabella = inserisciTabella(
        cursore, righe, colonne,
        formatoTabellaReport(formatoParagrafo.alignment() & Qt::AlignHorizontal_Mask));
    for (int r = 0; r < righe; ++r) {
        for (int c = 0; c < colonne; ++c) {
            QTextCursor cella = tabella->cellAt(r, c).firstCursorPosition();
            QTextBlockFormat allineamento;
            allineamento.setAlignment(formatoParagrafo.alignment());
            cella.mergeBlockFormat(allineamento);
            cella.setBlockCharFormat(formato_);
        }
    }
    // The paragraph after the table takes the format of the one the table
    // was added in.
    cursore.setBlockFormat(formatoParagrafo);
    cursore.setBlockCharFormat(caratteriParagrafo);
    cursore_.setPosition(tabella->cellAt(0, 0).firstCursorPosition().position());
    return tabella;
}

void SelezioneDocumento::selezionaRiga(QTextTable* tabella, int riga) {
    if (riga < 1 || riga > tabella->rows()) {
        errori_elaboratore::membroInesistente();
    }
    cursore_.setPosition(tabella->cellAt(riga - 1, 0).firstCursorPosition().position());
    cursore_.setPosition(
        tabella->cellAt(riga - 1, tabella->columns() - 1).lastCursorPosition().position(),
        QTextCursor::KeepAnchor);
}

void SelezioneDocumento::impostaRigheIntestazione(int valore) {
    if (valore != intestazioneAttiva && valore != intestazioneDisattiva &&
        valore != intestazioneInverti) {
        errori_elaboratore::fuoriIntervallo();
    }
    QTextTable* tabella = cursore_.currentTable();
    if (tabella == nullptr) {
        errori_elaboratore::rifiuta(
            4605, "Metodo o proprietà non disponibile: la selezione non è in una tabella.");
    }
    int primaRiga = tabella->cellAt(cursore_.position()).row();
    int righe = 1;
    if (cursore_.hasComplexSelection()) {
        int primaColonna = 0, colonne = 0;
        cursore_.selectedTableCells(&primaRiga, &righe, &primaColonna, &colonne);
    }
    for (int r = primaRiga; r < primaRiga + righe; ++r) {
        const bool intestazione = valore == intestazioneInverti ? !rigaIntestazione(tabella, r)
                                                                : valore == intestazioneAttiva;
        impostaRigaIntestazione(tabella, r, intestazione);
    }
}
