#include "documenti/elaboratore_testi.h"

#include "documenti/proprieta_documento.h"
#include "errori/errore_runtime.h"

#include <QTextBlock>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTextFrame>
#include <QTextTable>
#include <QUrl>

namespace {

ElaboratoreTesti* elaboratoreAperto = nullptr;

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

// Word's own enumeration values, as the report passes them.
constexpr int unitaRiga = 5;
constexpr int intestazioneAttiva = -1;
constexpr int intestazioneDisattiva = 0;
constexpr int intestazioneInverti = 9999998;

[[noreturn]] void rifiuta(int numero, const char* descrizione) {
    throw ErroreRuntime(numero, descrizione);
}
[[noreturn]] void fuoriIntervallo() {
    rifiuta(4608, "Valore non compreso nell'intervallo consentito.");
}
[[noreturn]] void membroInesistente() {
    rifiuta(5941, "Il membro richiesto della raccolta non esiste.");
}

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
        } else if (it.currentBlock().isValid() &&
                   !ElaboratoreTesti::paragrafoDiServizio(it.currentBlock())) {
            esito.push_back({it.currentBlock().position(), nullptr, 0});
        }
    }
    return esito;
}

void impostaRigaIntestazione(QTextTable* tabella, int riga, bool intestazione) {
    for (int c = 0; c < tabella->columns(); ++c) {
        QTextTableCell cella = tabella->cellAt(riga, c);
        QTextCharFormat formato = cella.format();
        formato.setProperty(proprietaIntestazione, intestazione);
        cella.setFormat(formato);
    }
}

// Rows repeated on every page: the heading rows at the top of the table.
void aggiornaRigheRipetute(QTextTable* tabella) {
    int iniziali = 0;
    while (iniziali < tabella->rows() &&
           tabella->cellAt(iniziali, 0).format().boolProperty(proprietaIntestazione)) {
        ++iniziali;
    }
    QTextTableFormat formato = tabella->format();
    formato.setHeaderRowCount(iniziali);
    tabella->setFormat(formato);
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

ElaboratoreTesti::ElaboratoreTesti(QObject* parent) : QObject(parent) {
    elaboratoreAperto = this;
}

ElaboratoreTesti::~ElaboratoreTesti() {
    if (elaboratoreAperto == this) {
        elaboratoreAperto = nullptr;
    }
}

ElaboratoreTesti* ElaboratoreTesti::aperto() {
    return elaboratoreAperto;
}

void ElaboratoreTesti::verificaGuasto(std::string_view operazione) const {
    if (guasti_ && guasti_(operazione)) {
        throw ErroreRuntime(5097, "L'elaboratore di testi non ha eseguito l'operazione " +
                                      std::string(operazione) + ".");
    }
}

void ElaboratoreTesti::impostaVisibile(bool visibile) {
    visibile_ = visibile;
    emit visibilitaRichiesta(visibile);
}

void ElaboratoreTesti::impostaStatoFinestra(int stato) {
    if (stato < 0 || stato > 2) {
        fuoriIntervallo();
    }
    statoFinestra_ = stato;
    emit statoFinestraRichiesto(stato);
}

QTextDocument* ElaboratoreTesti::aggiungiDocumento() {
    auto* documento = new QTextDocument(this);
    QFont carattere("Times New Roman");
    carattere.setPointSize(12);
    // The report's texts need no shaping; laying them out goes faster.
    carattere.setStyleStrategy(QFont::PreferNoShaping);
    documento->setDefaultFont(carattere);
    documenti_.push_back(documento);
    stati_[documento] = {QTextCursor(documento), formatoIniziale(),
                         QString("Documento%1").arg(++numeroDocumenti_)};
    attivo_ = documento;
    emit documentoAggiunto(documento);
    return documento;
}

QTextDocument* ElaboratoreTesti::documentoAttivo() const {
    if (attivo_ == nullptr) {
        rifiuta(4248, "Comando non disponibile perché non ci sono documenti aperti.");
    }
    return attivo_;
}

QString ElaboratoreTesti::nomeDocumento(const QTextDocument* documento) const {
    const auto trovato = stati_.find(documento);
    return trovato == stati_.end() ? QString() : trovato->second.nome;
}

void ElaboratoreTesti::attivaDocumento(QTextDocument* documento) {
    if (stati_.count(documento) != 0) {
        attivo_ = documento;
    }
}

void ElaboratoreTesti::chiudiDocumento(QTextDocument* documento) {
    const auto trovato = std::find(documenti_.begin(), documenti_.end(), documento);
    if (trovato == documenti_.end()) {
        return;
    }
    documenti_.erase(trovato);
    stati_.erase(documento);
    if (attivo_ == documento) {
        attivo_ = documenti_.empty() ? nullptr : documenti_.back();
    }
    emit documentoChiuso(documento);
    documento->deleteLater();
}

void ElaboratoreTesti::trasferisci(QTextDocument* vecchio, QTextDocument* nuovo) {
    const auto trovato = std::find(documenti_.begin(), documenti_.end(), vecchio);
    if (trovato == documenti_.end()) {
        return;
    }
    nuovo->setParent(this);
    nuovo->setDefaultFont(vecchio->defaultFont());
    impostaProprieta(*nuovo, proprietaDi(*vecchio));
    // The pictures live beside the text, as the document's resources.
    for (QTextBlock blocco = vecchio->begin(); blocco.isValid(); blocco = blocco.next()) {
        for (auto it = blocco.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat formato = it.fragment().charFormat();
            if (formato.isImageFormat()) {
                const QUrl nome(formato.toImageFormat().name());
                nuovo->addResource(QTextDocument::ImageResource, nome,
                                   vecchio->resource(QTextDocument::ImageResource, nome));
            }
        }
    }
    nuovo->setUndoRedoEnabled(false);
    QTextCursor copia(nuovo);
    copia.beginEditBlock();
    copia.insertFragment(QTextDocumentFragment(vecchio));
    copia.endEditBlock();
    nuovo->setUndoRedoEnabled(true);
    nuovo->setModified(vecchio->isModified());

    StatoDocumento stato = stati_.at(vecchio);
    const int ancora = stato.selezione.anchor();
    const int posizione = stato.selezione.position();
    stato.selezione = QTextCursor(nuovo);
    stato.selezione.setPosition(ancora);
    stato.selezione.setPosition(posizione, QTextCursor::KeepAnchor);
    stati_.erase(vecchio);
    stati_[nuovo] = stato;
    *trovato = nuovo;
    if (attivo_ == vecchio) {
        attivo_ = nuovo;
    }
    delete vecchio;
}

ElaboratoreTesti::StatoDocumento& ElaboratoreTesti::attivo() {
    return stati_.at(documentoAttivo());
}
const ElaboratoreTesti::StatoDocumento& ElaboratoreTesti::attivo() const {
    return stati_.at(documentoAttivo());
}
ElaboratoreTesti::StatoDocumento& ElaboratoreTesti::statoDi(const QTextDocument* documento) {
    const auto trovato = stati_.find(documento);
    if (trovato == stati_.end()) {
        rifiuta(4248, "Il documento non è più aperto.");
    }
    return trovato->second;
}

const QTextCursor& ElaboratoreTesti::selezione() const {
    return attivo().selezione;
}

// A carriage return ends a paragraph; the new one keeps its format.
void ElaboratoreTesti::scriviTesto(const QString& testo) {
    StatoDocumento& s = attivo();
    const QStringList paragrafi = testo.split(QChar('\r'));
    for (qsizetype i = 0; i < paragrafi.size(); ++i) {
        if (i > 0) {
            s.selezione.insertBlock(s.selezione.blockFormat(), s.formato);
        }
        if (!paragrafi[i].isEmpty()) {
            s.selezione.insertText(paragrafi[i], s.formato);
        }
    }
}

void ElaboratoreTesti::applicaAllaSelezione(const QTextCharFormat& modifica) {
    StatoDocumento& s = attivo();
    s.formato.merge(modifica);
    if (!s.selezione.hasSelection()) {
        // In an empty paragraph the paragraph mark takes the font too.
        if (s.selezione.block().length() == 1) {
            s.selezione.mergeBlockCharFormat(modifica);
        }
        return;
    }
    if (QTextTable* tabella = s.selezione.currentTable();
        tabella && s.selezione.hasComplexSelection()) {
        int primaRiga = 0, righe = 0, primaColonna = 0, colonne = 0;
        s.selezione.selectedTableCells(&primaRiga, &righe, &primaColonna, &colonne);
        for (int r = primaRiga; r < primaRiga + righe; ++r) {
            for (int c = primaColonna; c < primaColonna + colonne; ++c) {
                impostaFormatoCella(tabella->cellAt(r, c), modifica);
            }
        }
    } else {
        s.selezione.mergeCharFormat(modifica);
    }
}

void ElaboratoreTesti::impostaNomeCarattere(const QString& nome) {
    if (nome.trimmed().isEmpty()) {
        rifiuta(4120, "Parametro non valido.");
    }
    QTextCharFormat modifica;
    modifica.setFontFamilies({nomeNormalizzato(nome)});
    applicaAllaSelezione(modifica);
}

void ElaboratoreTesti::impostaDimensioneCarattere(float punti) {
    if (!(punti >= 1 && punti <= 1638)) {
        fuoriIntervallo();
    }
    QTextCharFormat modifica;
    modifica.setFontPointSize(punti);
    applicaAllaSelezione(modifica);
}

void ElaboratoreTesti::impostaAllineamento(int allineamento) {
    static const Qt::Alignment allineamenti[] = {Qt::AlignLeft, Qt::AlignHCenter, Qt::AlignRight,
                                                 Qt::AlignJustify};
    if (allineamento < 0 || allineamento > 3) {
        fuoriIntervallo();
    }
    QTextBlockFormat modifica;
    modifica.setAlignment(allineamenti[allineamento]);
    attivo().selezione.mergeBlockFormat(modifica);
}

void ElaboratoreTesti::spostaGiu(int unita, int conteggio, int estendi) {
    if (unita != unitaRiga || (estendi != 0 && estendi != 1)) {
        rifiuta(4120, "Parametro non valido.");
    }
    StatoDocumento& s = attivo();
    const std::vector<Linea> tutte = linee(attivo_);
    const auto corrente = static_cast<long long>(lineaDi(tutte, s.selezione));
    const long long arrivo =
        std::clamp(corrente + conteggio, 0LL, static_cast<long long>(tutte.size()) - 1);
    const bool oltreLaFine = corrente + conteggio > static_cast<long long>(tutte.size()) - 1;
    const int posizione = oltreLaFine ? attivo_->characterCount() - 1
                                      : tutte[static_cast<std::size_t>(arrivo)].posizione;
    s.selezione.setPosition(posizione,
                            estendi == 1 ? QTextCursor::KeepAnchor : QTextCursor::MoveAnchor);
}

QTextTable* ElaboratoreTesti::aggiungiTabella(QTextDocument* documento, int posizione, int righe,
                                              int colonne) {
    if (righe < 1 || righe > 32767 || colonne < 1 || colonne > 63) {
        fuoriIntervallo();
    }
    StatoDocumento& s = statoDi(documento);
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
            cella.setBlockCharFormat(s.formato);
        }
    }
    // The paragraph after the table takes the format of the one the table
    // was added in.
    cursore.setBlockFormat(formatoParagrafo);
    cursore.setBlockCharFormat(caratteriParagrafo);
    s.selezione.setPosition(tabella->cellAt(0, 0).firstCursorPosition().position());
    return tabella;
}

QTextTable* ElaboratoreTesti::tabella(const QTextDocument* documento, int numero) const {
    int contate = 0;
    for (auto it = documento->rootFrame()->begin(); !it.atEnd(); ++it) {
        if (auto* t = qobject_cast<QTextTable*>(it.currentFrame()); t && ++contate == numero) {
            return t;
        }
    }
    membroInesistente();
}

void ElaboratoreTesti::inserisciInCella(QTextTable* tabella, int riga, int colonna,
                                        const QString& testo) {
    if (riga < 1 || riga > tabella->rows() || colonna < 1 || colonna > tabella->columns()) {
        membroInesistente();
    }
    QTextCursor fine = tabella->cellAt(riga - 1, colonna - 1).lastCursorPosition();
    fine.insertText(testo, fine.charFormat());
}

void ElaboratoreTesti::impostaLarghezzaColonna(QTextTable* tabella, int colonna, float punti,
                                               int stileRighello) {
    if (colonna < 1 || colonna > tabella->columns()) {
        membroInesistente();
    }
    if (!(punti > 0 && punti <= 1584) || stileRighello < 0 || stileRighello > 3) {
        fuoriIntervallo();
    }
    QTextTableFormat formato = tabella->format();
    QList<QTextLength> larghezze = formato.columnWidthConstraints();
    larghezze.resize(tabella->columns());
    // The document lays out in pixels at 96 per inch.
    larghezze[colonna - 1] = QTextLength(QTextLength::FixedLength, punti * 96.0 / 72.0);
    formato.setColumnWidthConstraints(larghezze);
    tabella->setFormat(formato);
}

void ElaboratoreTesti::selezionaRiga(QTextTable* tabella, int riga) {
    if (riga < 1 || riga > tabella->rows()) {
        membroInesistente();
    }
    QTextCursor& selezione = statoDi(tabella->document()).selezione;
    selezione.setPosition(tabella->cellAt(riga - 1, 0).firstCursorPosition().position());
    selezione.setPosition(
        tabella->cellAt(riga - 1, tabella->columns() - 1).lastCursorPosition().position(),
        QTextCursor::KeepAnchor);
}

bool ElaboratoreTesti::rigaIntestazione(const QTextTable* tabella, int riga) {
    return tabella->cellAt(riga, 0).format().boolProperty(proprietaIntestazione);
}

void ElaboratoreTesti::impostaRigheIntestazione(int valore) {
    if (valore != intestazioneAttiva && valore != intestazioneDisattiva &&
        valore != intestazioneInverti) {
        fuoriIntervallo();
    }
    const QTextCursor& selezione = attivo().selezione;
    QTextTable* tabella = selezione.currentTable();
    if (tabella == nullptr) {
        rifiuta(4605, "Metodo o proprietà non disponibile: la selezione non è in una tabella.");
    }
    int primaRiga = tabella->cellAt(selezione.position()).row();
    int righe = 1;
    if (selezione.hasComplexSelection()) {
        int primaColonna = 0, colonne = 0;
        selezione.selectedTableCells(&primaRiga, &righe, &primaColonna, &colonne);
    }
    for (int r = primaRiga; r < primaRiga + righe; ++r) {
        const bool intestazione = valore == intestazioneInverti ? !rigaIntestazione(tabella, r)
                                                                : valore == intestazioneAttiva;
        impostaRigaIntestazione(tabella, r, intestazione);
    }
    aggiornaRigheRipetute(tabella);
}

bool ElaboratoreTesti::paragrafoDiServizio(const QTextBlock& blocco) {
    return blocco.length() == 1 && blocco.blockFormat().boolProperty(proprietaServizio);
}

QTextTable* ElaboratoreTesti::inserisciTabella(QTextCursor& cursore, int righe, int colonne,
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

void ElaboratoreTesti::segnaRigheIntestazione(QTextTable* tabella, int righe) {
    for (int r = 0; r < righe; ++r) {
        impostaRigaIntestazione(tabella, r, true);
    }
    aggiornaRigheRipetute(tabella);
}

void tieniConIlSeguente(QTextBlockFormat& formato) {
    formato.setProperty(proprietaConIlSeguente, true);
}

bool tenutoConIlSeguente(const QTextBlockFormat& formato) {
    return formato.boolProperty(proprietaConIlSeguente);
}

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
