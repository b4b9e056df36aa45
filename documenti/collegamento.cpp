#include "documenti/collegamento.h"

#include "documenti/elaboratore_testi.h"
#include "errori/errore_runtime.h"

#include <cstdio>
#include <utility>

namespace {

Collegamento::Avvio avvioInstallato;
Collegamento::Messaggio messaggioInstallato;

[[noreturn]] void nessunElaboratore() {
    throw ErroreRuntime(429, "Il componente ActiveX non può creare l'oggetto.");
}

} // namespace

Word::Applicazione Collegamento::GetObject() {
    ElaboratoreTesti* aperto = ElaboratoreTesti::aperto();
    if (aperto == nullptr) {
        nessunElaboratore();
    }
    return Word::Applicazione(aperto);
}

Word::Applicazione Collegamento::CreateObject() {
    ElaboratoreTesti* avviato = avvioInstallato ? avvioInstallato() : nullptr;
    if (avviato == nullptr) {
        nessunElaboratore();
    }
    return Word::Applicazione(avviato);
}

ElaboratoreTesti* Collegamento::ElaboratoreVisibile() {
    ElaboratoreTesti* elaboratore = ElaboratoreTesti::aperto();
    if (elaboratore == nullptr) {
        CreateObject();
        elaboratore = ElaboratoreTesti::aperto();
    }
    elaboratore->impostaVisibile(true);
    return elaboratore;
}

void Collegamento::InstallaAvvio(Avvio avvio) {
    avvioInstallato = std::move(avvio);
}

void Collegamento::InstallaMessaggio(Messaggio messaggio) {
    messaggioInstallato = std::move(messaggio);
}

void Collegamento::MsgBox(const std::string& testo) {
    if (messaggioInstallato) {
        messaggioInstallato(testo);
    } else {
        std::fprintf(stderr, "%s\n", testo.c_str());
    }
}
