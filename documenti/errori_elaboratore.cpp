#include "documenti/errori_elaboratore.h"

#include "errori/errore_runtime.h"

namespace errori_elaboratore {

void rifiuta(int numero, const std::string& descrizione) {
    throw ErroreRuntime(numero, descrizione);
}
void fuoriIntervallo() {
    rifiuta(4608, "Valore non compreso nell'intervallo consentito.");
}
void membroInesistente() {
    rifiuta(5941, "Il membro richiesto della raccolta non esiste.");
}
void parametroNonValido() {
    rifiuta(4120, "Parametro non valido.");
}
void nessunDocumento() {
    rifiuta(4248, "Comando non disponibile perché non ci sono documenti aperti.");
}
void documentoChiuso() {
    rifiuta(4248, "Il documento non è più aperto.");
}

} // namespace errori_elaboratore
