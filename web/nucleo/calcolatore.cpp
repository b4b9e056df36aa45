#include "calc/calcolo.h"
#include "calc/limiti_incremento.h"
#include "calc/resistenza.h"
#include "caselle/catalogo.h"
#include "errori/errore_runtime.h"
#include "numeri/conversioni.h"
#include "numeri/sezione.h"
#include "numeri/testo_decimale.h"
#include "progetto/voci_coefficiente.h"
#include "table/tabella_risultati.h"
#include "tratti/rete.h"
#include "web/nucleo/caselle_web.h"
#include "web/nucleo/json_scritto.h"
#include "web/nucleo/nucleo.h"
#include "web/nucleo/separatore_web.h"

#include <algorithm>
#include <memory>

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

// The size shown beside the radius, as the window writes it.
std::string tipoSezione(const std::string& raggio) {
    if (raggio.empty() || ValCasella(raggio) <= 0) {
        return "/";
    }
    return TestoSezione(ValCasella(raggio));
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

TabellaDelleCaselle tabellaDelleCaselle(const json::Valore& r) {
    TabellaDelleCaselle esito;
    esito.testi = {testoDi(r, "raggio"), testoDi(r, "pendenza"), testoDi(r, "incremento"),
                   std::nullopt};
    const json::Valore& voce = membroDi(r, "voce");
    const int indice = voce.tipo == json::Tipo::Numero ? static_cast<int>(voce.numero) : 0;
    if (indice < 0) {
        esito.testi.coefficienteDigitato = testoDi(r, "coefficiente");
    }
    // The window's own steps for one keystroke, on a state of this call.
    auto stato = std::make_unique<variabili_pubbliche::Stato>();
    try {
        esito.tipoSezione = tipoSezione(esito.testi.raggio);
        stato->coeffBazin = indice < 0 ? ValCasella(*esito.testi.coefficienteDigitato)
                            : indice < static_cast<int>(std::size(vociCoefficiente))
                                ? vociCoefficiente[indice].valore
                                : 0;
        stato->raggio = ValCasella(esito.testi.raggio);
        stato->pendenza = ValCasella(esito.testi.pendenza);
        stato->incremento = ValCasella(esito.testi.incremento);
        stato->tipoSezione = esito.tipoSezione;
        stato->incremento = limitaIncremento(stato->raggio, stato->incremento).valore;
        if (Modulo2::IngressiPositivi(*stato)) {
            Modulo2::CalcolaTabella(*stato);
            esito.tabella = calcolo::tabellaDi(*stato);
        }
    } catch (const ErroreRuntime& e) {
        esito.errore = "Errore " + std::to_string(e.numero()) + ": " + e.descrizione();
        esito.tabella.reset();
    }
    return esito;
}

std::string tabella(const std::string& richiesta) {
    const json::Valore r = json::leggi(richiesta);
    const Separatore separatore = separatoreDi(r);
    const TabellaDelleCaselle calcolo = tabellaDelleCaselle(r);
    const presentatore::Valutazione v = presentatore::valuta(calcolo.testi, separatore);
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
            celle.push_back(
                perLettura(TestoColonna(colonna, calcolo.tabella->riga(k)), separatore));
        }
        righe.push_back(elencoDiTesti(celle));
    }
    std::vector<std::string> intestazione;
    for (const std::vector<std::string>& celle : IntestazioneGriglia()) {
        intestazione.push_back(elencoDiTesti(celle));
    }
    return Oggetto()
        .testo("tipoSezione", calcolo.tipoSezione)
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
        .testoOpzionale("incrementoDaRiscrivere",
                        presentatore::incrementoDaRiscrivere(calcolo.testi))
        .vero("calcolata", calcolo.tabella.has_value())
        .chiudi();
}

} // namespace web
