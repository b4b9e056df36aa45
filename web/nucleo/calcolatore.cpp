#include "analisi/verifiche.h"
#include "calc/resistenza.h"
#include "caselle/catalogo.h"
#include "errori/errore_runtime.h"
#include "numeri/conversioni.h"
#include "numeri/sezione.h"
#include "progetto/voci_coefficiente.h"
#include "table/tabella_risultati.h"
#include "valutazione/valutazione.h"
#include "web/nucleo/caselle_web.h"
#include "web/nucleo/json_scritto.h"
#include "web/nucleo/nucleo.h"
#include "web/nucleo/separatore_web.h"

#include <algorithm>
#include <iterator>

namespace web {

namespace {

const char* lettura(Lettura l) {
    switch (l) {
    case Lettura::InParte:
        return "inparte";
    case Lettura::Rifiutata:
        return "rifiutata";
    case Lettura::Buona:
        break;
    }
    return "buona";
}

std::string segnale(const presentatore::Segnale& s) {
    return Oggetto().testo("lettura", lettura(s.lettura)).testo("motivo", s.motivo).chiudi();
}

// The size shown beside the radius, as the window writes it: with no table
// too, while the radius is a positive number.
std::string tipoSezione(const progetto::Casella& raggio) {
    try {
        return raggio.valore() > 0 ? TestoSezione(raggio.valore()) : "/";
    } catch (const ErroreRuntime&) {
        return "/";
    }
}

// The list entry the page names by its place: below 0, none.
int voceDi(const json::Valore& r) {
    const json::Valore& voce = membroDi(r, "voce");
    return voce.tipo == json::Tipo::Numero ? static_cast<int>(voce.numero) : 0;
}

} // namespace

std::string voci(const std::string&) {
    std::vector<std::string> coefficienti;
    for (const VoceCoefficiente& voce : vociCoefficiente) {
        coefficienti.push_back(
            Oggetto().testo("testo", voce.testo).numero("valore", voce.valore).chiudi());
    }
    std::vector<std::string> leggi;
    for (const formule::Legge legge : formule::tutteLeLeggi) {
        leggi.push_back(Oggetto()
                            .testo("chiave", formule::chiaveLegge(legge))
                            .testo("nome", formule::nomeLegge(legge))
                            .chiudi());
    }
    const analisi::Limiti limiti;
    return Oggetto()
        .grezzo("coefficienti", elenco(coefficienti))
        .grezzo("leggi", elenco(leggi))
        .grezzo("allineamenti", elencoDiTesti({"cieli", "pelo", "fondo"}))
        .testo("catalogo", catalogo::testo(catalogo::usuale(), Separatore::Punto))
        .grezzo("limiti", Oggetto()
                              .testo("velocitaMinima", CStr(limiti.velocitaMinima * 100))
                              .testo("velocitaMassima", CStr(limiti.velocitaMassima * 100))
                              .testo("riempimentoMassimo", CStr(limiti.riempimentoMassimo * 100))
                              .chiudi())
        .chiudi();
}

progetto::Ingressi ingressiDi(const json::Valore& r) {
    const int voce = voceDi(r);
    const std::string coefficiente = voce < 0 ? testoDi(r, "coefficiente")
                                     : voce < static_cast<int>(std::size(vociCoefficiente))
                                         ? vociCoefficiente[voce].testo
                                         : "";
    using progetto::Casella;
    return {Casella::daTesto(testoDi(r, "raggio")), Casella::daTesto(testoDi(r, "pendenza")),
            Casella::daTesto(coefficiente), Casella::daTesto(testoDi(r, "incremento")), ""};
}

presentatore::Testi testiDi(const json::Valore& r) {
    return {testoDi(r, "raggio"), testoDi(r, "pendenza"), testoDi(r, "incremento"),
            voceDi(r) < 0 ? std::optional(testoDi(r, "coefficiente")) : std::nullopt};
}

std::string tabella(const std::string& richiesta) {
    const json::Valore r = json::leggi(richiesta);
    const Separatore separatore = separatoreDi(r);
    const progetto::Ingressi ingressi = ingressiDi(r);
    const valutazione::Tabella calcolo = valutazione::tabellaDi(ingressi);
    const presentatore::Testi testi = testiDi(r);
    const presentatore::Valutazione v = presentatore::valuta(testi, separatore);
    const presentatore::Riga riga = presentatore::rigaMessaggio(calcolo.errore, v, {});

    // The grid's rows below its two header rows: one a row of the table,
    // "Max V" and "Max Q" last. Only those asked for are written out: a
    // page shows a few dozen of a thousand at a time.
    const int numPassi = calcolo.tabella ? calcolo.tabella->numPassi : 0;
    const int totale = calcolo.tabella ? numPassi + 2 : 0;
    const json::Valore& da = membroDi(r, "da");
    const json::Valore& quante = membroDi(r, "quante");
    const int prima =
        da.tipo == json::Tipo::Numero ? std::clamp(static_cast<int>(da.numero), 0, totale) : 0;
    const int dopo = quante.tipo == json::Tipo::Numero
                         ? std::clamp(prima + static_cast<int>(quante.numero), prima, totale)
                         : totale;
    std::vector<std::string> righe;
    righe.reserve(static_cast<std::size_t>(dopo - prima));
    for (int k = prima + 1; k <= dopo; ++k) {
        std::vector<std::string> celle{k == numPassi + 1   ? "Max V"
                                       : k == numPassi + 2 ? "Max Q"
                                                           : ""};
        for (int colonna = 1; colonna <= 6; ++colonna) {
            celle.push_back(numeroCon(TestoColonna(colonna, calcolo.tabella->riga(k)), separatore));
        }
        righe.push_back(elencoDiTesti(celle));
    }
    std::vector<std::string> intestazione;
    for (const std::vector<std::string>& celle : IntestazioneGriglia()) {
        intestazione.push_back(elencoDiTesti(celle));
    }
    return Oggetto()
        .testo("tipoSezione", tipoSezione(ingressi.raggio))
        .grezzo("intestazione", elenco(intestazione))
        .numero("totaleRighe", totale)
        .numero("da", prima)
        .grezzo("righe", elenco(righe))
        .grezzo("segnali", Oggetto()
                               .grezzo("raggio", segnale(v.raggio))
                               .grezzo("pendenza", segnale(v.pendenza))
                               .grezzo("coefficiente", segnale(v.coefficiente))
                               .grezzo("incremento", segnale(v.incremento))
                               .chiudi())
        .grezzo("messaggio",
                Oggetto().testo("testo", riga.testo).testo("colore", riga.colore).chiudi())
        .testoOpzionale("incrementoDaRiscrivere", presentatore::incrementoDaRiscrivere(testi))
        .vero("calcolata", calcolo.tabella.has_value())
        .chiudi();
}

} // namespace web
