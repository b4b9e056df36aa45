#include "documenti/collegamento.h"

#include "documenti/elaboratore_testi.h"
#include "errori/errore_runtime.h"

#include <cstdio>
#include <utility>

namespace {

[[noreturn]] void nessunElaboratore() {
    throw ErroreRuntime(429, "Il componente ActiveX non può creare l'oggetto.");
}

} // namespace

Collegamento::Collegamento(Avvio avvio, Messaggio messaggio)
    : avvio_(std::move(avvio)), messaggio_(std::move(messaggio)) {}

Word::Applicazione Collegamento::GetObject() const {
    ElaboratoreTesti* aperto = ElaboratoreTesti::aperto();
    if (aperto == nullptr) {
        nessunElaboratore();
    }
    return Word::Applicazione(aperto);
}

Word::Applicazione Collegamento::CreateObject() const {
    ElaboratoreTesti* avviato = avvio_ ? avvio_() : nullptr;
    if (avviato == nullptr) {
        nessunElaboratore();
    }
    return Word::Applicazione(avviato);
}

ElaboratoreTesti* Collegamento::ElaboratoreVisibile() const {
    ElaboratoreTesti* elaboratore = ElaboratoreTesti::aperto();
    if (elaboratore == nullptr) {
        CreateObject();
        elaboratore = ElaboratoreTesti::aperto();
    }
    elaboratore->impostaVisibile(true);
    return elaboratore;
}

void Collegamento::MsgBox(const std::string& testo) const {
    if (messaggio_) {
        messaggio_(testo);
    } else {
        std::fprintf(stderr, "%s\n", testo.c_str());
    }
}
