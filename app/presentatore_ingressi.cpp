#include "app/presentatore_ingressi.h"

#include "app/ingressi.h"
#include "calc/limiti_incremento.h"
#include "errori/errore_runtime.h"
#include "numeri/conversioni.h"
#include "numeri/testo_decimale.h"

namespace presentatore {

namespace {

// A text Val reads only in part is taken as Val reads it, and said so.
Segnale segnala(const QString& nome, const std::string& testo, Valutazione& v) {
    if (const auto motivo = motivoIngressoNonValido(testo)) {
        // Two separators are the usual slip: said on the line itself.
        v.segnalazioni << nome + (decimaleConPunto(testo).rifiuto
                                      ? ": un solo separatore decimale, senza separare le migliaia"
                                      : ": non è un numero positivo");
        v.rifiuti = true;
        return {Lettura::Rifiutata, *motivo};
    }
    if (const auto inParte = motivoLetturaInParte(testo)) {
        v.segnalazioni << nome + ": letto come " + QString::fromStdString(CStr(ValCasella(testo)));
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
std::optional<Segnale> incrementoLimitato(const Testi& t, Valutazione& v) {
    using Limite = IncrementoLimitato::Limite;
    const auto usato = incrementoUsato(t);
    if (!usato || usato->limite == Limite::Nessuno) {
        return std::nullopt;
    }
    const double raggio = ValCasella(t.raggio);
    const std::string valore = CStr(usato->valore);
    v.segnalazioni << QString("Incremento limitato a %1 mm (%2 per questo raggio)")
                          .arg(QString::fromStdString(valore),
                               usato->limite == Limite::Minimo ? "minimo" : "massimo");
    return Segnale{Lettura::InParte,
                   "Per un raggio di " + CStr(raggio) + " cm l'incremento va da " +
                       CStr(limiteInferioreIncremento(raggio)) + " a " +
                       CStr(limiteSuperioreIncremento(raggio)) + " mm: si usa " + valore + " mm."};
}

} // namespace

Valutazione valuta(const Testi& t, Separatore separatore) {
    Valutazione v;
    v.raggio = segnala("Raggio caratteristico", t.raggio, v);
    v.pendenza = segnala("Pendenza", t.pendenza, v);
    if (t.coefficienteDigitato) {
        v.coefficiente = segnala("Coeff. scabrezza Bazin", *t.coefficienteDigitato, v);
    }
    if (const auto limitato = incrementoLimitato(t, v)) {
        v.incremento = *limitato;
    } else {
        v.incremento = segnala("Incremento altezza", t.incremento, v);
    }
    for (Segnale* segnale : {&v.raggio, &v.pendenza, &v.coefficiente, &v.incremento}) {
        segnale->motivo = perLettura(segnale->motivo, separatore);
    }
    for (QString& segnalazione : v.segnalazioni) {
        segnalazione = QString::fromStdString(perLettura(segnalazione.toStdString(), separatore));
    }
    return v;
}

Riga rigaMessaggio(const QString& erroreCalcolo, const Valutazione& v, const QString& notizia) {
    if (!erroreCalcolo.isEmpty()) {
        return {erroreCalcolo, "#B00000"};
    }
    if (!v.segnalazioni.isEmpty()) {
        // Where the results went, first: they were written all the same.
        return {(notizia.isEmpty() ? QString() : notizia + " ") + v.segnalazioni.join("; "),
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

QString motivoNessunaTabella(const QString& erroreCalcolo, bool ingressiPositivi,
                             const Valutazione& v) {
    if (!erroreCalcolo.isEmpty()) {
        return "Nessuna tabella da scrivere: l'ultimo calcolo non è riuscito.";
    }
    if (!ingressiPositivi) {
        return "Nessuna tabella da scrivere: raggio, pendenza, incremento e coefficiente "
               "devono essere numeri positivi (" +
               v.segnalazioni.join("; ") + ").";
    }
    return {};
}

} // namespace presentatore
