#include "report/report_senza_finestra.h"

#include "file/errore_file.h"
#include "report/collegamento.h"
#include "report/documento_word.h"
#include "report/elaboratore_testi.h"
#include "report/salvataggio.h"

void scriviReportSenzaFinestra(const std::string& percorso) {
    ElaboratoreTesti elaboratore; // the processor the report attaches to
    Modulo2::CreaDocumentoWord();
    if (elaboratore.documenti().empty()) {
        throw ErroreFile("Impossibile comporre il documento della relazione.");
    }
    salvaDocumento(*elaboratore.documenti().back(), percorso);
}
