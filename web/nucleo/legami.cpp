#include "errori/errore_runtime.h"
#include "progetto/json.h"
#include "web/nucleo/json_scritto.h"
#include "web/nucleo/nucleo.h"
#include "web/nucleo/separatore_web.h"

#include <emscripten/bind.h>

#include <exception>

namespace web {

Separatore separatoreDi(const json::Valore& richiesta) {
    return testoDi(richiesta, "separatore") == "virgola" ? Separatore::Virgola : Separatore::Punto;
}

namespace {

// Nothing may leave a call: the page gets the reason instead.
template <std::string (*funzione)(const std::string&)> std::string protetta(std::string richiesta) {
    try {
        return funzione(richiesta);
    } catch (const json::ErroreSintassi& e) {
        return Oggetto().testo("errore", std::string("Richiesta non valida: ") + e.what()).chiudi();
    } catch (const ErroreRuntime& e) {
        return Oggetto()
            .testo("errore", "Errore " + std::to_string(e.numero()) + ": " + e.descrizione())
            .chiudi();
    } catch (const std::exception& e) {
        return Oggetto().testo("errore", std::string("Errore interno: ") + e.what()).chiudi();
    }
}

} // namespace

} // namespace web

EMSCRIPTEN_BINDINGS(nucleo) {
    using namespace web;
    emscripten::function("voci", &protetta<voci>);
    emscripten::function("tabella", &protetta<tabella>);
    emscripten::function("risposte", &protetta<risposte>);
    emscripten::function("rete", &protetta<rete>);
    emscripten::function("importaCsv", &protetta<importaCsv>);
    emscripten::function("esportaTratti", &protetta<esportaTratti>);
    emscripten::function("esportaEsiti", &protetta<esportaEsiti>);
    emscripten::function("conclusione", &protetta<conclusione>);
    emscripten::function("nuovoProgetto", &protetta<nuovoProgetto>);
    emscripten::function("apriProgetto", &protetta<apriProgetto>);
    emscripten::function("salvaProgetto", &protetta<salvaProgetto>);
}
