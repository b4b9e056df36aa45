#include "caselle/presentatore_ingressi.h"

#include "calc/limiti_incremento.h"
#include "caselle/ingressi.h"
#include "errori/errore_runtime.h"
#include "numeri/conversioni.h"
#include "numeri/formato.h"
#include "numeri/testo_decimale.h"

namespace presentatore {

namespace {

// A text Val reads only in part is taken as Val reads it, and said so.
Segnale segnala(const std::string& nome, const std::string& testo, Valutazione& v,
                Separatore separatore) {
    if (const auto motivo = motivoIngressoNonValido(testo)) {
        // Two separators are the usual slip: said on the line itself.
        v.segnalazioni.push_back(nome + (decimaleConPunto(testo).rifiuto
                                             ? ": un solo separatore decimale, senza separare "
                                               "le migliaia"
                                             : ": non è un numero positivo"));
        v.rifiuti = true;
        return {Lettura::Rifiutata, *motivo};
    }
    if (const auto inParte = motivoLetturaInParte(testo, separatore)) {
        v.segnalazioni.push_back(nome + ": letto come " + Format(ValCasella(testo), separatore));
        return {Lettura::InParte, *inParte};
    }
    return {};
}

// The increment the table uses for the texts in the boxes, none when they
// give no number to bound (an error is on the line then).
std::optional<IncrementoLimitato> incrementoUsato(const Testi& t) {
    try {
        return limitaIncremento(ValCasella(t.raggio), ValCasella(t.incremento));
    } catch (const ErroreRuntime&) {
        return std::nullopt;
    }
}

// An increment out of its bounds (a positive number, then) is used bounded:
// an orange frame says so until the bounded value is written back.
std::optional<Segnale> incrementoLimitato(const Testi& t, Valutazione& v, Separatore separatore) {
    using Limite = IncrementoLimitato::Limite;
    const auto usato = incrementoUsato(t);
    if (!usato || usato->limite == Limite::Nessuno) {
        return std::nullopt;
    }
    const double raggio = ValCasella(t.raggio);
    const auto numero = [separatore](double x) { return Format(x, separatore); };
    const std::string valore = numero(usato->valore);
    v.segnalazioni.push_back("Incremento limitato a " + valore + " mm (" +
                             (usato->limite == Limite::Minimo ? "minimo" : "massimo") +
                             " per questo raggio)");
    return Segnale{Lettura::InParte, "Per un raggio di " + numero(raggio) +
                                         " cm l'incremento va da " +
                                         numero(limiteInferioreIncremento(raggio)) + " a " +
                                         numero(limiteSuperioreIncremento(raggio)) +
                                         " mm: si usa " + valore + " mm."};
}

std::string elenco(const std::vector<std::string>& segnalazioni) {
    std::string testo;
    for (const std::string& s : segnalazioni) {
        testo.append(testo.empty() ? "" : "; ").append(s);
    }
    return testo;
}

} // namespace

Valutazione valuta(const Testi& t, Separatore separatore) {
    Valutazione v;
    v.raggio = segnala("Raggio caratteristico", t.raggio, v, separatore);
    v.pendenza = segnala("Pendenza", t.pendenza, v, separatore);
    if (t.coefficienteDigitato) {
        v.coefficiente = segnala("Coeff. scabrezza Bazin", *t.coefficienteDigitato, v, separatore);
    }
    if (const auto limitato = incrementoLimitato(t, v, separatore)) {
        v.incremento = *limitato;
    } else {
        v.incremento = segnala("Incremento altezza", t.incremento, v, separatore);
    }
    return v;
}

Riga rigaMessaggio(const std::string& erroreCalcolo, const Valutazione& v,
                   const std::string& notizia) {
    if (!erroreCalcolo.empty()) {
        return {erroreCalcolo, "#B00000"};
    }
    if (!v.segnalazioni.empty()) {
        // Where the results went, first: they were written all the same.
        return {(notizia.empty() ? std::string() : notizia + " ") + elenco(v.segnalazioni),
                v.rifiuti ? "#B00000" : "#A05000"};
    }
    return {notizia, "#005000"};
}

std::optional<std::string> incrementoDaRiscrivere(const Testi& t) {
    const auto usato = incrementoUsato(t);
    if (usato && usato->limite != IncrementoLimitato::Limite::Nessuno) {
        return CStr(usato->valore);
    }
    return std::nullopt;
}

std::string motivoNessunaTabella(const std::string& erroreCalcolo, bool ingressiPositivi,
                                 const Valutazione& v) {
    if (!erroreCalcolo.empty()) {
        return "Nessuna tabella da scrivere: l'ultimo calcolo non è riuscito.";
    }
    if (!ingressiPositivi) {
        return "Nessuna tabella da scrivere: raggio, pendenza, incremento e coefficiente "
               "devono essere numeri positivi (" +
               elenco(v.segnalazioni) + ").";
    }
    return {};
}

} // namespace presentatore
