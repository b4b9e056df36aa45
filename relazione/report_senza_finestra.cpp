#include "relazione/report_senza_finestra.h"

#include "documenti/collegamento.h"
#include "documenti/elaboratore_testi.h"
#include "documenti/salvataggio.h"
#include "file/errore_file.h"
#include "relazione/documento_word.h"
#include "relazione/relazione_calcolo.h"

#include <QTextDocument>

void scriviReportSenzaFinestra(const std::string& percorso, const calcolo::Tabella& tabella,
                               Separatore separatore) {
    ElaboratoreTesti elaboratore; // the processor the report attaches to
    Modulo2::CreaDocumentoWord(tabella, Collegamento(), separatore);
    if (elaboratore.documenti().empty()) {
        throw ErroreFile("Impossibile comporre il documento della relazione.");
    }
    salvaDocumento(*elaboratore.documenti().back(), percorso);
}

void scriviRelazioneCalcoloSenzaFinestra(const std::string& percorso,
                                         const progetto::Progetto& progetto,
                                         const valutazione::Valutazione& valutazione,
                                         Separatore separatore) {
    QTextDocument documento;
    scriviRelazioneCalcolo(documento, progetto, valutazione, separatore);
    salvaDocumento(documento, percorso);
}
