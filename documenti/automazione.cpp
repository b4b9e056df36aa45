#include "documenti/automazione.h"

#include "documenti/elaboratore_testi.h"
#include "documenti/struttura_documento.h"
#include "errori/errore_runtime.h"

#include <QTextDocument>
#include <QTextTable>

#include <cmath>

namespace Word {

namespace {

// The processor behind a handle, checked for this operation.
ElaboratoreTesti& elaboratore(const QPointer<ElaboratoreTesti>& riferimento,
                              std::string_view operazione) {
    if (riferimento.isNull()) {
        throw ErroreRuntime(462, "L'elaboratore di testi non esiste o non è più disponibile.");
    }
    riferimento->verificaGuasto(operazione);
    return *riferimento;
}

QTextTable* tabellaVerificata(const QPointer<QTextTable>& tabella) {
    if (tabella.isNull()) {
        throw ErroreRuntime(91, "Variabile oggetto o variabile del blocco With non impostata.");
    }
    return tabella;
}

QTextDocument* documentoVerificato(const QPointer<QTextDocument>& documento) {
    if (documento.isNull()) {
        throw ErroreRuntime(4248, "Il documento non è più aperto.");
    }
    return documento;
}

} // namespace

void Carattere::setName(const QString& nome) {
    elaboratore(elaboratore_, "Selection.Font.Name").selezione().impostaNomeCarattere(nome);
}

void Carattere::setSize(float punti) {
    elaboratore(elaboratore_, "Selection.Font.Size").selezione().impostaDimensioneCarattere(punti);
}

void FormatoParagrafo::setAlignment(std::int32_t allineamento) {
    elaboratore(elaboratore_, "Selection.ParagraphFormat.Alignment")
        .selezione()
        .impostaAllineamento(allineamento);
}

void RigheSelezione::setHeadingFormat(std::int32_t valore) {
    elaboratore(elaboratore_, "Selection.Rows.HeadingFormat")
        .selezione()
        .impostaRigheIntestazione(valore);
}

void Selezione::TypeText(const QString& testo) {
    elaboratore(elaboratore_, "Selection.TypeText").selezione().scriviTesto(testo);
}

Intervallo Selezione::Range() const {
    ElaboratoreTesti& e = elaboratore(elaboratore_, "Selection.Range");
    return {e.documentoAttivo(), e.selezione().cursore().position()};
}

void Selezione::MoveDown(std::int32_t unita, std::int32_t conteggio,
                         std::optional<std::int32_t> estendi) {
    elaboratore(elaboratore_, "Selection.MoveDown")
        .selezione()
        .spostaGiu(unita, conteggio, estendi.value_or(0));
}

void IntervalloCella::InsertAfter(const QString& testo) {
    elaboratore(elaboratore_, "Cell.Range.InsertAfter");
    inserisciInCella(tabellaVerificata(tabella_), riga_, colonna_, testo);
}

void Colonna::SetWidth(float punti, std::int32_t stileRighello) {
    elaboratore(elaboratore_, "Columns.SetWidth");
    impostaLarghezzaColonna(tabellaVerificata(tabella_), colonna_, punti, stileRighello);
}

void RigaTabella::Select() {
    ElaboratoreTesti& e = elaboratore(elaboratore_, "Rows.Select");
    QTextTable* tabella = tabellaVerificata(tabella_);
    e.selezioneDi(tabella->document()).selezionaRiga(tabella, riga_);
}

QTextTable* Tabella::verificata() const {
    elaboratore(elaboratore_, "Table");
    return tabellaVerificata(tabella_);
}

Cella Tabella::Cell(std::int32_t riga, std::int16_t colonna) const {
    if (riga < 1 || riga > 32767) {
        throw ErroreRuntime(5941, "Il membro richiesto della raccolta non esiste.");
    }
    return Cella(elaboratore_, verificata(), riga, colonna);
}

Colonna Tabella::Columns(std::int32_t colonna) const {
    return Colonna(elaboratore_, verificata(), colonna);
}

RigaTabella Tabella::Rows(std::int32_t riga) const {
    return RigaTabella(elaboratore_, verificata(), riga);
}

Tabella Tabelle::Add(const Intervallo& intervallo, std::int32_t righe, std::int32_t colonne) {
    ElaboratoreTesti& e = elaboratore(elaboratore_, "Tables.Add");
    QTextDocument* documento = documentoVerificato(documento_);
    if (intervallo.documento != documento) {
        throw ErroreRuntime(4120, "L'intervallo non appartiene a questo documento.");
    }
    return Tabella(&e,
                   e.selezioneDi(documento).aggiungiTabella(intervallo.posizione, righe, colonne));
}

Tabella Tabelle::operator()(std::int32_t numero) const {
    ElaboratoreTesti& e = elaboratore(elaboratore_, "Tables");
    return Tabella(&e, tabellaNumero(documentoVerificato(documento_), numero));
}

Documento Documenti::Add() {
    ElaboratoreTesti& e = elaboratore(elaboratore_, "Documents.Add");
    return Documento(&e, e.aggiungiDocumento());
}

void Applicazione::setVisible(bool visibile) {
    elaboratore(elaboratore_, "Visible").impostaVisibile(visibile);
}

Applicazione Applicazione::Application() const {
    return Applicazione(&elaboratore(elaboratore_, "Application"));
}

void Applicazione::setWindowState(std::int32_t stato) {
    elaboratore(elaboratore_, "Application.WindowState").impostaStatoFinestra(stato);
}

namespace {

ElaboratoreTesti& elaboratoreAperto(std::string_view operazione) {
    return elaboratore(ElaboratoreTesti::aperto(), operazione);
}

} // namespace

Selezione Globale::Selection() const {
    return Selezione(&elaboratoreAperto("Selection"));
}

Documento Globale::ActiveDocument() const {
    ElaboratoreTesti& e = elaboratoreAperto("ActiveDocument");
    return Documento(&e, e.documentoAttivo());
}

float Globale::CentimetersToPoints(float centimetri) const {
    elaboratoreAperto("CentimetersToPoints");
    return centimetri * 72.0f / 2.54f;
}

const Globale& Global() {
    static const Globale globale;
    return globale;
}

} // namespace Word
