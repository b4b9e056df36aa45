#include "relazione/report_senza_finestra.h"

#include "documenti/collegamento.h"
#include "documenti/elaboratore_testi.h"
#include "documenti/salvataggio.h"
#include "file/errore_file.h"
#include "relazione/documento_word.h"

void scriviReportSenzaFinestra(const std::string& percorso) {
    ElaboratoreTesti elaboratore; // the processor the report attaches to
    Modulo2::CreaDocumentoWord();
    if (elaboratore.documenti().empty()) {
        throw ErroreFile("Impossibile comporre il documento della relazione.");
    }
    salvaDocumento(*elaboratore.documenti().back(), percorso);
}
