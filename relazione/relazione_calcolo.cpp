#include "relazione/relazione_calcolo.h"

#include "analisi/risposte.h"
#include "analisi/tabella_calcolata.h"
#include "analisi/verifiche.h"
#include "documenti/proprieta_documento.h"
#include "figure/esporta_profilo.h"
#include "figure/figura_profilo.h"
#include "figure/figura_scala.h"
#include "figure/figura_sezione.h"
#include "numeri/cifre_decimali.h"
#include "numeri/conversioni.h"
#include "numeri/formato.h"
#include "numeri/numero_positivo.h"
#include "numeri/sezione.h"
#include "progetto/legge_progetto.h"
#include "progetto/righe_tratti.h"
#include "progetto/voci_coefficiente.h"
#include "relazione/scrittore_relazione.h"
#include "relazione/testi_report.h"
#include "relazione/verdetti_relazione.h"
#include "table/tabella_risultati.h"
#include "tratti/csv_tratti.h"
#include "tratti/profilo.h"
#include "versione.h"

#include <QStringList>
#include <QTransform>

#include <QTextDocument>
#include <algorithm>

#include <optional>

namespace {

// A profile in the report: a landscape sheet that stands along the page,
// within its margins with the caption, mm; its frame, table and texts at
// three quarters of a drawing's.
const QSizeF foglioDelProfilo(230, 160);
constexpr double misuraDelProfilo = 0.75;

using Tabella = ScrittoreRelazione::Tabella;

QString q(std::string_view testo) {
    return QString::fromUtf8(testo.data(), static_cast<qsizetype>(testo.size()));
}

QString numero(double valore, const char* modello) {
    return q(Format(valore, modello));
}
QString centimetri(double metri) {
    return numero(metri * 100, "###0.#0");
}
QString percento(double frazione) {
    return numero(frazione * 100, "##0.0");
}
QString cmAlSecondo(double metriAlSecondo) {
    return numero(metriAlSecondo * 100, "###0.#0");
}
QString litriAlSecondo(double metriCubiAlSecondo) {
    return numero(metriCubiAlSecondo * 1000, "#####0.#0");
}

// Six significant digits, no trailing zeros: a slope from the quotas,
// free of the subtraction's noise in its last digits (0.005, not
// 0.00499999999999989).
QString seiCifre(double valore) {
    return q(SeiCifre(valore));
}

// A value checked against a limit, in the limit's units: the decimals of
// the pattern, or those that keep it on its side of the limit.
QString aConfronto(double valore, double limite, const char* modello) {
    return q(FormatConfronto(valore, limite, modello));
}

// A box as typed, or a dash for an empty one.
QString comeScritto(const progetto::Casella& casella) {
    return casella.vuota() ? QString("—") : q(casella.testo);
}

// A limit as checked, in the units of its box: the one typed, or the
// proposal where the box gives none.
QString sogliaUsata(const progetto::Casella& casella, double limite) {
    const QString usata = q(CStr(limite * 100));
    return casella.testo == usata.toStdString() ? usata : usata + " (proposta)";
}

// "0.18: Tubaz. …" names a list entry: its value, and its words, written
// for pipes, with the section they are applied to.
QString coefficienteComeScritto(const progetto::Casella& casella, const QString& sezione) {
    for (const VoceCoefficiente& voce : vociCoefficiente) {
        const std::string testo = voce.testo;
        if (casella.testo == testo) {
            const auto due = testo.find(": ");
            return q(testo.substr(0, due)) + " (voce dell'elenco «" + q(testo.substr(due + 2)) +
                   "», applicata alla sezione inglese " + sezione + " cm)";
        }
    }
    return comeScritto(casella);
}

// A law's formulas, as written in the method.
std::vector<const char*> formuleLegge(formule::Legge legge) {
    switch (legge) {
    case formule::Legge::Bazin:
        return {"C = 87 √R / (√R + γ)", "V = C √(R · i)"};
    case formule::Legge::Kutter:
        return {"C = 100 √R / (m + √R)", "V = C √(R · i)"};
    case formule::Legge::Strickler:
        return {"V = Ks R^(2/3) i^(1/2)"};
    case formule::Legge::Manning:
        return {"V = R^(2/3) i^(1/2) / n"};
    case formule::Legge::Colebrook:
        return {"1/√λ = −2 log10( ks / (14.84 R) + 2.51 / (Re √λ) )",
                "V = √(8 g R i / λ),  Re = 4 R V / ν",
                "ν = 1.792·10⁻⁶ / (1 + 0.0337 T + 0.000221 T²)"};
    }
    return {};
}

// What a law's symbols stand for, after the common ones.
QString simboli(formule::Legge legge) {
    switch (legge) {
    case formule::Legge::Bazin:
        return ", C coefficiente di Chézy (m½/s), γ coefficiente di scabrezza di Bazin (m½)";
    case formule::Legge::Kutter:
        return ", C coefficiente di Chézy (m½/s), m coefficiente di scabrezza di Kutter (m½)";
    case formule::Legge::Strickler:
        return ", Ks coefficiente di Gauckler–Strickler (m^1/3/s)";
    case formule::Legge::Manning:
        return ", n coefficiente di Manning (s/m^1/3)";
    case formule::Legge::Colebrook:
        return ", λ indice di resistenza, ks scabrezza equivalente (mm nei dati, m nella "
               "formula), Re numero di Reynolds, g = 9.81 m/s², ν viscosità cinematica "
               "dell'acqua (m²/s) alla temperatura T (°C)";
    }
    return {};
}

class Relazione {
  public:
    Relazione(QTextDocument& documento, const progetto::Progetto& progetto,
              const calcolo::Tabella& tabella, Separatore separatore)
        : scrittore_(documento, separatore), p_(progetto), t_(tabella),
          v_(relazione::verdettiSezione(progetto, tabella)), sezione_(v_.sezione),
          limiti_(v_.limiti), richieste_(v_.richieste) {}

    void scrivi() {
        // Blank rows of the window's table are no reaches.
        const std::vector<progetto::RigaLetta> righe = progetto::leggiRighe(p_.tratti);
        conTratti_ = !righe.empty();
        intestazione();
        dati();
        metodo();
        risultati();
        verifiche();
        if (conTratti_) {
            verificaDeiTratti(righe);
            conclusioni();
        }
        firma();
    }

  private:
    void intestazione() {
        scrittore_.titolo("Relazione di calcolo idraulico");
        scrittore_.vuota();
        const progetto::Dati& d = p_.dati;
        for (const auto& [voce, valore] : {std::pair{"Opera", d.opera},
                                           {"Tratto", d.tratto},
                                           {"Committente", d.committente},
                                           {"Progettista", d.progettista},
                                           {"Data", d.data}}) {
            if (!valore.empty()) {
                scrittore_.paragrafo(QString("%1: %2").arg(voce, q(valore)), QString());
            }
        }
        if (!d.note.empty()) {
            scrittore_.paragrafo("Note: " + q(d.note), QString());
        }
    }

    void dati() {
        scrittore_.sezione("1 Dati");
        scrittore_.paragrafo(
            "Collettore a sezione ovoidale di tipo inglese, di raggio caratteristico r: "
            "larghezza 2r, altezza 3r, profilo formato da quattro archi di cerchio (fondo di "
            "raggio r/2, fianchi di raggio 3r, cielo di raggio r). I valori sono riportati "
            "come sono stati inseriti.");
        scrittore_.vuota();
        const progetto::Ingressi& i = p_.ingressi;
        const progetto::Verifiche& v = p_.verifiche;
        Tabella t;
        t.righe = {{"Dato", "Valore", "Unità"},
                   {"Raggio caratteristico r", comeScritto(i.raggio), "cm"},
                   {"Larghezza 2r × altezza 3r", dimensioni(), "cm"},
                   {"Pendenza del fondo i", comeScritto(i.pendenza), "m/m"},
                   rigaLeggeTabella(),
                   {"Incremento dell'altezza", incremento(), "mm"},
                   {"Portata di progetto", comeScritto(v.portataProgetto), "l/s"},
                   {"Portata minima (tempo secco)", comeScritto(v.portataMinima), "l/s"},
                   {"Velocità di progetto", comeScritto(v.velocitaProgetto), "cm/s"},
                   {"Velocità minima di autopulizia", comeScritto(v.velocitaMinima), "cm/s"},
                   {"Velocità massima ammessa", comeScritto(v.velocitaMassima), "cm/s"},
                   {"Riempimento massimo h/H", comeScritto(v.riempimentoMassimo), "%"},
                   {"Geometria delle verifiche", q(v.geometria), ""}};
        for (auto& riga : righeLeggeVerifiche()) {
            t.righe.push_back(std::move(riga));
        }
        t.larghezzeCm = {7.5, 6.5, 2};
        scrittore_.tabella(t);

        scrittore_.figura(
            figuraSezione(t_.raggioM, t_.ingressi.geometria, livelliPrincipali(),
                          QSize(1800, 1500)),
            12,
            QString("Sezione ovoidale inglese r = %1 cm in scala, con le quote e i livelli "
                    "idrici alle portate di verifica.")
                .arg(comeScritto(i.raggio)));
    }

    void metodo() {
        scrittore_.sezione("2 Metodo");
        const formule::Resistenza tabella = t_.ingressi.resistenza();
        const formule::Resistenza verifiche = sezione_.resistenza;
        const QString leggi = tabella.legge == verifiche.legge
                                  ? QString("secondo %1").arg(q(formule::nomeLegge(tabella.legge)))
                                  : QString("secondo %1 per la tabella e %2 per le verifiche")
                                        .arg(q(formule::nomeLegge(tabella.legge)),
                                             q(formule::nomeLegge(verifiche.legge)));
        scrittore_.paragrafo(
            "Il calcolo è svolto in moto uniforme. Per ogni altezza d'acqua h si ricavano "
            "l'area bagnata A e il contorno bagnato P della sezione, quindi il raggio "
            "idraulico, la velocità media " +
                leggi + " e la portata:",
            true);
        scrittore_.vuota(true);
        scrittore_.formula("R = A / P");
        for (const formule::Legge legge : {tabella.legge, verifiche.legge}) {
            for (const char* formula : formuleLegge(legge)) {
                scrittore_.formula(formula);
            }
            if (legge == verifiche.legge) {
                break;
            }
        }
        scrittore_.formula("Q = A · V");
        scrittore_.vuota();
        scrittore_.paragrafo(
            "con R raggio idraulico (m), i pendenza del fondo (m/m), V velocità media (m/s), "
            "Q portata (m³/s)" +
            simboli(tabella.legge) +
            (verifiche.legge == tabella.legge ? QString() : simboli(verifiche.legge)) + ".");
        scrittore_.vuota();
        scrittore_.paragrafo(
            "La tabella dei risultati usa le formule tabellari della sezione inglese, con le "
            "costanti arrotondate della tabella classica (4.79 r per il contorno e 3.02 r² per "
            "l'area all'altezza 2r). Nel fondo (h ≤ r/5) l'area bagnata è il segmento circolare "
            "dell'arco di raggio r/2, (r²/8)(2a − sin 2a), con a metà dell'angolo bagnato: la "
            "tabella classica vi scrive r²(a − sin a), che a h = r/5 sovrastima l'area del 14 %.");
        scrittore_.vuota();
        scrittore_.paragrafo(
            sezione_.geometria == formule::Geometria::Esatta
                ? "Le verifiche usano la geometria esatta: il profilo vero a quattro archi, senza "
                  "costanti arrotondate (area piena 4.5941 r², raggio idraulico pieno 0.5793 r). "
                  "Le altezze cercate sono calcolate con precisione relativa migliore di 10⁻¹⁰."
                : "Le verifiche usano le stesse formule della tabella. Le altezze "
                  "cercate sono calcolate con precisione relativa migliore di 10⁻¹⁰.");
        if (t_.ingressi.geometria == formule::Geometria::Esatta) {
            scrittore_.paragrafo("Anche la tabella è calcolata sulla geometria esatta.");
        }
        scrittore_.vuota();
        scrittore_.paragrafo(
            "Le righe «Max V» e «Max Q» della tabella sono alle altezze fisse 2.562 r e 2.859 r "
            "della tabella classica; i massimi veri sono riportati fra i valori di riferimento.");
    }

    void risultati() {
        scrittore_.sezione("3 Risultati");
        scrittore_.paragrafo(QString("Tabella di deflusso con incremento dell'altezza di %1 mm.")
                                 .arg(q(CStr(t_.ingressi.incremento))));
        const int n = t_.numPassi;
        Tabella t = intestazioneTabella();
        for (int k = 1; k <= n; ++k) {
            t.righe.push_back(rigaTabella(k));
        }
        scrittore_.tabella(t);
        if (std::any_of(t_.righe.begin(), t_.righe.end(),
                        [](const calcolo::Riga& r) { return r.velocita < 0; })) {
            scrittore_.paragrafo(QString("Le righe con «—» al posto di V e Q sono in ") +
                                 analisi::notaMotoNonTurbolento + ".");
        }
        for (const auto& [etichetta, k] :
             {std::pair{etichettaMassimaVelocita, n + 1}, {etichettaMassimaPortata, n + 2}}) {
            scrittore_.paragrafo(etichetta, true);
            Tabella massimo = intestazioneTabella();
            massimo.righe.push_back(rigaTabella(k));
            scrittore_.tabella(massimo);
        }

        const DatiScala scala{sezione_, analisi::righeTabellaConLegge(t_, sezione_.resistenza),
                              livelliPrincipali(), limiti_};
        scrittore_.figura(figuraScala(scala, QSize(1800, 1300)), 16,
                          "Scale di deflusso: portata e velocità in funzione dell'altezza "
                          "d'acqua, con le righe della tabella e le altezze di verifica.");
    }

    void verifiche() {
        using Quale = relazione::ValoreVerificato::Quale;
        scrittore_.sezione("4 Verifiche");
        const progetto::Verifiche& v = p_.verifiche;
        if (v.portataProgetto.vuota() && v.portataMinima.vuota() && v.velocitaProgetto.vuota()) {
            scrittore_.paragrafo("Non sono state indicate portate né velocità di progetto: "
                                 "nessuna verifica da svolgere.");
        }
        const auto casella = [&v](Quale quale) -> const progetto::Casella& {
            return quale == Quale::Portata         ? v.portataProgetto
                   : quale == Quale::PortataMinima ? v.portataMinima
                                                   : v.velocitaProgetto;
        };
        for (const Quale quale : v_.illeggibili) {
            const QString nome = q(relazione::nomeValore(quale));
            scrittore_.vuota();
            scrittore_.paragrafo(
                QString("%1 «%2»: non è un numero positivo scritto con il "
                        "punto decimale, non verificata.")
                    .arg(nome.left(1).toUpper() + nome.mid(1), q(casella(quale).testo)));
        }
        for (const relazione::ValoreVerificato& valore : v_.verifiche) {
            const QString simbolo =
                valore.quale == Quale::Portata
                    ? QString("Q = %1 l/s").arg(comeScritto(v.portataProgetto))
                : valore.quale == Quale::PortataMinima
                    ? QString("Qmin = %1 l/s").arg(comeScritto(v.portataMinima))
                    : QString("V = %1 cm/s").arg(comeScritto(v.velocitaProgetto));
            verificaValore(valore, simbolo);
        }
        riferimenti();
        conclusione();
    }

    // Each height of a value, then each limit in words with the values
    // compared.
    void verificaValore(const relazione::ValoreVerificato& verificato, const QString& simbolo) {
        const QString nome = q(relazione::nomeValore(verificato.quale));
        const QString valore = nome.left(1).toUpper() + nome.mid(1) + " " + simbolo;
        scrittore_.vuota();
        if (verificato.altezze.empty()) {
            scrittore_.paragrafo(
                valore + ": la sezione non la raggiunge (portata massima della sezione " +
                litriAlSecondo(v_.risposte.portataMassima().portata) +
                " l/s, velocità massima della sezione " +
                cmAlSecondo(v_.risposte.velocitaMassima().velocita) + " cm/s): non verificata.");
            return;
        }
        for (const relazione::AltezzaVerificata& a : verificato.altezze) {
            const analisi::Risposta& r = a.risposta;
            scrittore_.paragrafo(valore + QString(": altezza h = %1 cm, riempimento h/H = %2 %, "
                                                  "velocità V = %3 cm/s, portata Q = %4 l/s.")
                                              .arg(centimetri(r.altezza), percento(r.riempimento),
                                                   cmAlSecondo(r.velocita),
                                                   litriAlSecondo(r.portata)));
            for (const relazione::Controllo& c : a.controlli) {
                limite(c);
            }
        }
    }

    // A limit in words with the values compared: "velocità minima di
    // autopulizia: V = 86.31 cm/s ≥ 50 cm/s, verificata".
    void limite(const relazione::Controllo& c) {
        using Limite = relazione::Controllo::Limite;
        const progetto::Verifiche& v = p_.verifiche;
        const bool minimo = c.limite == Limite::VelocitaMinima;
        const bool riempimento = c.limite == Limite::RiempimentoMassimo;
        const progetto::Casella& casella = minimo        ? v.velocitaMinima
                                           : riempimento ? v.riempimentoMassimo
                                                         : v.velocitaMassima;
        const QString unita = riempimento ? "%" : "cm/s";
        scrittore_.paragrafo(
            QString("– %1: %2 = %3 %4 %5 %6 %7, %8.")
                .arg(q(relazione::nomeLimite(c.limite)), relazione::simboloLimite(c.limite),
                     aConfronto(c.valore, c.soglia, riempimento ? "##0.0" : "###0.#0"), unita,
                     minimo ? (c.rispettato ? "≥" : "<") : (c.rispettato ? "≤" : ">"),
                     sogliaUsata(casella, c.soglia / 100), unita,
                     c.rispettato ? "verificata" : "non verificata"));
    }

    void riferimenti() {
        scrittore_.vuota();
        scrittore_.paragrafo("Valori di riferimento, non verifiche:");
        Tabella t;
        t.righe = {{"", "h (cm)", "h/H (%)", "V (cm/s)", "Q (l/s)"}};
        for (const auto& [etichetta, r] :
             {std::pair{"Sezione piena", v_.risposte.piena()},
              {"Velocità massima della sezione", v_.risposte.velocitaMassima()},
              {"Portata massima della sezione", v_.risposte.portataMassima()}}) {
            t.righe.push_back({etichetta, centimetri(r.altezza), percento(r.riempimento),
                               cmAlSecondo(r.velocita), litriAlSecondo(r.portata)});
        }
        t.larghezzeCm = {4, 2.5, 2.5, 2.5, 2.5};
        t.aDestra = {false, true, true, true, true};
        scrittore_.tabella(t);
    }

    // The section's own verdict; with a line of reaches it is only the
    // typical section's, and the line's conclusions follow at the end.
    void conclusione() {
        scrittore_.vuota();
        const int soddisfatte = v_.soddisfatte;
        const int mancate = v_.nonSoddisfatte;
        if (conTratti_) {
            scrittore_.paragrafo(
                soddisfatte + mancate == 0
                    ? QString("Esito della sezione tipo: nessuna verifica.")
                    : QString("Esito della sezione tipo: %1 verifiche soddisfatte su %2.")
                          .arg(soddisfatte)
                          .arg(soddisfatte + mancate));
        } else if (soddisfatte + mancate == 0) {
            scrittore_.paragrafo("Conclusione: la relazione riporta la scala di deflusso della "
                                 "sezione, senza verifiche.");
        } else if (mancate == 0) {
            scrittore_.paragrafo(
                QString("Conclusione: tutte le verifiche sono soddisfatte; la sezione è idonea "
                        "%1.")
                    .arg(v_.velocita && (v_.portata || v_.portataMinima)
                             ? "alle portate e alla velocità di progetto"
                         : v_.velocita ? "alla velocità di progetto"
                                       : "alle portate di progetto"));
        } else {
            QStringList quali;
            for (const std::string& mancata : v_.mancate) {
                quali << q(mancata);
            }
            scrittore_.paragrafo(
                QString("Conclusione: %1 su %2 %3%4; la sezione non è idonea così com'è.")
                    .arg(mancate == 1 ? QString("1 verifica")
                                      : QString("%1 verifiche").arg(mancate))
                    .arg(soddisfatte + mancate)
                    .arg(mancate == 1 ? "non è soddisfatta" : "non sono soddisfatte")
                    .arg(quali.isEmpty() ? QString() : " (" + quali.join(", ") + ")"));
        }
    }

    // One statement on everything checked: every reach, the network's
    // shape and the typical section; the work is called fit only when
    // nothing fails, and what fails is named.
    void conclusioni() {
        scrittore_.sezione("6 Conclusioni");
        QStringList difetti;
        if (!erroriRete_.isEmpty()) {
            difetti << "la rete ha errori di forma (" + erroriRete_.join("; ") + ")";
        }
        if (!nonVerificati_.isEmpty()) {
            difetti << QString(nonVerificati_.size() == 1 ? "non verificato il tratto %1"
                                                          : "non verificati i tratti %1")
                           .arg(nonVerificati_.join("; "));
        }
        if (v_.nonSoddisfatte > 0) {
            QStringList quali;
            for (const std::string& mancata : v_.mancate) {
                quali << q(mancata);
            }
            difetti << QString("la sezione tipo non soddisfa %1 verifiche su %2%3")
                           .arg(v_.nonSoddisfatte)
                           .arg(v_.soddisfatte + v_.nonSoddisfatte)
                           .arg(quali.isEmpty() ? QString() : " (" + quali.join(", ") + ")");
        }
        const QString tratti =
            trattiVerificati_ == trattiTotali_
                ? QString(trattiTotali_ == 1 ? "Verificato l'unico tratto"
                                             : "Verificati tutti i %1 tratti")
                      .arg(trattiTotali_)
                : QString("Verificati %1 tratti su %2").arg(trattiVerificati_).arg(trattiTotali_);
        if (difetti.isEmpty()) {
            scrittore_.paragrafo(
                tratti +
                (v_.soddisfatte > 0 ? " e la sezione tipo alle portate di progetto" : QString()) +
                ": le verifiche sono soddisfatte e l'opera è idonea.");
        } else {
            scrittore_.paragrafo(tratti + "; " + difetti.join("; ") +
                                 ". L'opera non è idonea così com'è.");
        }
    }

    // Who signs, and with what the report was made.
    void firma() {
        scrittore_.vuota(true);
        scrittore_.vuota(true);
        scrittore_.paragrafo(
            QString("Il progettista%1")
                .arg(p_.dati.progettista.empty() ? QString() : ", " + q(p_.dati.progettista)),
            QString(), true);
        scrittore_.vuota(true);
        scrittore_.paragrafo("______________________________", true);
        scrittore_.vuota();
        scrittore_.paragrafo(
            QString("Relazione composta con Sezione inglese %1.").arg(versioneProgramma),
            QString());
    }

    // The table's law: Bazin's coefficient as typed, with the list entry's
    // words; another law (the command line's) by its name and coefficient.
    std::vector<QString> rigaLeggeTabella() const {
        const formule::Resistenza r = t_.ingressi.resistenza();
        if (r.legge == formule::Legge::Bazin) {
            return {"Coefficiente di scabrezza di Bazin γ (tabella)",
                    coefficienteComeScritto(p_.ingressi.coefficiente, dimensioni()), "m½"};
        }
        return {"Legge di resistenza (tabella)",
                q(formule::nomeLegge(r.legge)) + ", " + q(testoResistenza(r)), ""};
    }

    // The answers' law, its coefficient as typed, and the water's
    // temperature for Colebrook–White.
    std::vector<std::vector<QString>> righeLeggeVerifiche() const {
        const progetto::Verifiche& v = p_.verifiche;
        const formule::Legge legge = sezione_.resistenza.legge;
        std::vector<std::vector<QString>> righe{
            {"Legge di resistenza delle verifiche", q(formule::nomeLegge(legge)), ""}};
        if (v_.leggeVerifiche.dellaTabella) {
            righe.push_back({"Coefficiente γ delle verifiche", "quello della tabella", "m½"});
        } else {
            righe.push_back({QString("Coefficiente %1 delle verifiche")
                                 .arg(q(formule::simboloCoefficiente(legge))),
                             comeScritto(v.scabrezza) + (v_.leggeVerifiche.resistenza
                                                             ? QString()
                                                             : " (non valido: si usa la tabella)"),
                             q(formule::unitaCoefficiente(legge))});
        }
        if (legge == formule::Legge::Colebrook) {
            righe.push_back({"Temperatura dell'acqua", comeScritto(v.temperatura), "°C"});
        }
        return righe;
    }

    // The line's reaches: a summary, a table of results, the reaches' own
    // laws, the reasons of those that fail or cannot be computed.
    // The rows as the window reads them; one that cannot be read is counted
    // and named, not computed.
    void verificaDeiTratti(const std::vector<progetto::RigaLetta>& righe) {
        scrittore_.sezione("5 Verifica dei tratti");
        std::vector<tratti::Tratto> lette;
        for (const progetto::RigaLetta& riga : righe) {
            if (riga.tratto) {
                lette.push_back(*riga.tratto);
            }
        }
        const tratti::Impostazioni impostazioni =
            progetto::impostazioniTratti(p_.verifiche, p_.rete, sezione_.resistenza, p_.catalogo);
        const tratti::EsitiRete rete =
            *tratti::calcolaRete(lette, progetto::pozzettiDi(p_.pozzetti), impostazioni);
        const std::vector<tratti::Esito>& esiti = rete.esiti;
        const auto verificati = std::count_if(esiti.begin(), esiti.end(),
                                              [](const tratti::Esito& e) { return e.verificato; });
        const auto calcolati = std::count_if(esiti.begin(), esiti.end(),
                                             [](const tratti::Esito& e) { return e.calcolato; });
        const auto totale = static_cast<qsizetype>(righe.size());
        trattiVerificati_ = verificati;
        trattiTotali_ = totale;
        for (const tratti::ErroreRete& errore : rete.errori) {
            erroriRete_.push_back(q(errore.motivo));
        }
        const bool leggiProprie =
            std::any_of(lette.begin(), lette.end(),
                        [](const tratti::Tratto& t) { return t.resistenza.has_value(); });
        const auto plurale = [](qsizetype n, const char* uno, const char* molti) {
            return QString("%1 %2").arg(n).arg(n == 1 ? uno : molti);
        };
        QString sommario =
            QString("%1: %2, %3")
                .arg(plurale(totale, "tratto", "tratti"),
                     plurale(verificati, "verificato", "verificati"),
                     plurale(calcolati - verificati, "non verificato", "non verificati"));
        if (totale > calcolati) {
            sommario += ", " + plurale(totale - calcolati, "non calcolato", "non calcolati");
        }
        scrittore_.paragrafo(sommario + ".", true);
        scrittore_.paragrafo(
            QString("Ogni tratto è verificato alla portata di progetto (velocità minima e "
                    "massima, riempimento massimo) e alla portata minima (velocità minima di "
                    "autopulizia), con i limiti e la legge di resistenza delle verifiche "
                    "(%1, %2)%3; un raggio seguito da * è scelto dal catalogo: il più "
                    "piccolo, non minore di quelli a monte, che rispetta tutti i limiti o, quando "
                    "nessuno li rispetta, il più piccolo entro il riempimento, e il tratto non "
                    "è verificato.")
                .arg(q(formule::nomeLegge(sezione_.resistenza.legge)),
                     q(testoResistenza(sezione_.resistenza)),
                     leggiProprie ? ", tranne i tratti che hanno una legge propria, indicata "
                                    "sotto la tabella"
                                  : ""),
            true);
        // Two tables of the reaches, in the 17 cm between the margins: where
        // each runs and at what size and levels, then its water.
        Tabella luogo;
        luogo.righe = {
            {"Tratto", "Da", "A", "L", "Sezione", "i", "Scorrimento", "Scorrimento", "Salto",
             "Ricopri-"},
            {"", "", "", "(m)", "(cm)", "(m/m)", "monte (m)", "valle (m)", "(m)", "mento (m)"}};
        luogo.larghezzeCm = {1.8, 1.3, 1.3, 1.3, 1.8, 1.6, 2.1, 2.1, 1.4, 1.7};
        Tabella acqua;
        acqua.righe = {
            {"Tratto", "Q", "Q/Qpiena", "h", "h/H", "V", "Qmin", "hmin", "Vmin", "Esito"},
            {"", "(l/s)", "", "(cm)", "(%)", "(cm/s)", "(l/s)", "(cm)", "(cm/s)", ""}};
        acqua.larghezzeCm = {1.8, 1.3, 1.6, 1.2, 1.2, 1.4, 1.3, 1.3, 1.4, 3.1};
        for (Tabella* t : {&luogo, &acqua}) {
            t->righeIntestazione = 2;
            t->aDestra = std::vector<bool>(10, true);
            t->aDestra.front() = false;
            t->comeScritte = {true};
        }
        luogo.aDestra[1] = luogo.aDestra[2] = false;
        acqua.aDestra.back() = false;
        // Each reach's note begins with its name, as written.
        std::vector<std::pair<QString, QString>> leggi;
        std::vector<std::pair<QString, QString>> motivi;
        std::size_t k = 0;
        for (const progetto::RigaLetta& riga : righe) {
            const QString nome = q(riga.nome());
            if (!riga.tratto) {
                for (Tabella* t : {&luogo, &acqua}) {
                    std::vector<QString> vuota(10, "—");
                    vuota.front() = nome;
                    t->righe.push_back(vuota);
                }
                acqua.righe.back().back() = "non calcolato";
                motivi.emplace_back(nome,
                                    QString(": non calcolato, «%1»: %2.")
                                        .arg(q(riga.errore->colonna()), q(riga.errore->motivo())));
                nonVerificati_.push_back(nome + " (non calcolato: " + q(riga.errore->motivo()) +
                                         ")");
                continue;
            }
            const tratti::Tratto& tratto = *riga.tratto;
            const tratti::Esito& e = esiti[k++];
            luogo.righe.push_back(rigaLuogo(tratto, e, riga.celle));
            acqua.righe.push_back(rigaAcqua(tratto, e));
            if (tratto.resistenza) {
                const formule::Resistenza propria = tratto.resistenzaDi(impostazioni.resistenza);
                leggi.emplace_back(nome, QString(": legge di %1, %2.")
                                             .arg(q(formule::nomeLegge(propria.legge)),
                                                  q(testoResistenza(propria))));
            }
            if (!e.verificato) {
                motivi.emplace_back(nome, ": " + q(e.motivo) + ".");
                nonVerificati_.push_back(nome + " (" + q(e.motivo) + ")");
            }
        }
        scrittore_.tabella(luogo);
        scrittore_.vuota();
        scrittore_.tabella(acqua);
        pozzetti(rete);
        for (const auto& nota : {leggi, motivi}) {
            for (const auto& [nome, testo] : nota) {
                scrittore_.paragrafo(nome, testo);
            }
        }
        profili(lette, rete);
    }

    // Each tree's longest path, a figure a sheet, turned to stand along the
    // page: landscape sheets at their printed scales.
    void profili(const std::vector<tratti::Tratto>& lette, const tratti::EsitiRete& rete) {
        const tratti::Percorsi percorsi(lette, rete);
        for (const tratti::Albero& albero : rete.alberi) {
            const std::vector<std::string> teste = percorsi.teste(albero.sbocco);
            if (teste.empty()) {
                continue;
            }
            tratti::Profilo profilo;
            try {
                profilo = percorsi.da(teste.front());
            } catch (const std::invalid_argument& e) {
                scrittore_.paragrafo(QString("Profilo longitudinale verso %1 non disegnato: %2.")
                                         .arg(q(albero.sbocco), q(e.what())),
                                     true);
                continue;
            }
            constexpr double pixelPerMillimetro = 8;
            const ImpaginazioneProfilo imp = impaginaProfilo(
                profilo, foglioDelProfilo, std::nullopt, std::nullopt, false, misuraDelProfilo);
            for (std::size_t f = 0; f < imp.fogli.size(); ++f) {
                const QImage foglio =
                    immagineDelFoglio(profilo, imp, f, pixelPerMillimetro, scrittore_.separatore())
                        .transformed(QTransform().rotate(-90));
                QString didascalia =
                    QString("Profilo longitudinale da %1 a %2")
                        .arg(q(profilo.pozzetti.front().nome), q(profilo.pozzetti.back().nome));
                if (imp.fogli.size() > 1) {
                    didascalia += QString(", foglio %1 di %2").arg(f + 1).arg(imp.fogli.size());
                }
                didascalia += QString(": scala orizzontale 1:%1, verticale 1:%2.")
                                  .arg(imp.scalaOrizzontale)
                                  .arg(imp.scalaVerticale);
                scrittore_.figura(foglio, foglioDelProfilo.height() / 10, didascalia);
            }
        }
    }

    // A reach's results in the table's columns, the slope as typed or as
    // the quotas give it.
    // A reach's manholes, length, size ("60/90", starred when chosen), slope
    // (as typed, or as the quotas give it) and levels.
    static std::vector<QString> rigaLuogo(const tratti::Tratto& tratto, const tratti::Esito& e,
                                          const tratti::CelleTratto& celle) {
        const auto oTrattino = [](const std::string& testo) {
            return testo.empty() ? QString("—") : q(testo);
        };
        const auto metri = [](std::optional<double> valore) {
            return valore ? q(Format(*valore, "0.00")) : QString("—");
        };
        return {q(tratto.nome),
                oTrattino(tratto.pozzettoMonte),
                oTrattino(tratto.pozzettoValle),
                tratto.lunghezza ? q(CStr(*tratto.lunghezza)) : QString("—"),
                e.raggio > 0 ? q(TestoSezione(e.raggio)) + (e.dimensionato ? "*" : "")
                             : QString("—"),
                tratto.pendenza ? q(celle[tratti::Pendenza]).trimmed() : seiCifre(e.pendenza),
                metri(e.quotaMonte),
                metri(e.quotaValle),
                metri(e.salto),
                metri(e.ricoprimento)};
    }

    // Its flows and water, against the full section's flow, and its verdict.
    static std::vector<QString> rigaAcqua(const tratti::Tratto& tratto, const tratti::Esito& e) {
        const auto altezza = [](const std::optional<analisi::Risposta>& r) {
            return r ? centimetri(r->altezza) : QString("—");
        };
        const auto velocitaDi = [](const std::optional<analisi::Risposta>& r) {
            return r ? cmAlSecondo(r->velocita) : QString("—");
        };
        return {q(tratto.nome),
                q(CStr(tratto.portata)),
                e.portataPiena > 0 ? q(Format(tratto.portata / 1000 / e.portataPiena, "0.00"))
                                   : QString("—"),
                altezza(e.progetto),
                e.progetto ? percento(e.progetto->riempimento) : QString("—"),
                velocitaDi(e.progetto),
                tratto.portataMinima ? q(CStr(*tratto.portataMinima)) : QString("—"),
                altezza(e.minima),
                velocitaDi(e.minima),
                e.verdetto()};
    }

    // The manholes the reaches join: ground, invert, drop, depth.
    void pozzetti(const tratti::EsitiRete& rete) {
        Tabella t;
        t.righe = {
            {"Pozzetto", "Terreno (m)", "Scorrimento (m)", "Salto (m)", "Profondità (m)", "Nota"}};
        t.larghezzeCm = {2.6, 2.4, 2.8, 2.0, 2.6, 2.6};
        t.aDestra = {false, true, true, true, true, false};
        t.comeScritte = {true};
        const auto metri = [](std::optional<double> valore) {
            return valore ? q(Format(*valore, "0.00")) : QString("—");
        };
        for (const tratti::EsitoPozzetto& p : rete.pozzetti) {
            if (!p.usato) {
                continue;
            }
            const QString profondita = p.quotaTerreno && p.quotaFondo
                                           ? metri(*p.quotaTerreno - *p.quotaFondo)
                                           : QString("—");
            t.righe.push_back({q(p.nome), metri(p.quotaTerreno), metri(p.quotaFondo),
                               metri(p.salto), profondita,
                               p.sbocco ? QString("sbocco") : QString()});
        }
        if (t.righe.size() > 1) {
            scrittore_.vuota();
            scrittore_.tabella(t);
        }
        scrittore_.vuota();
    }

    QString dimensioni() const {
        const std::string testo = TestoSezione(t_.ingressi.raggio); // "40/60"
        return q(testo).replace('/', " × ");
    }

    // As typed, and what the table used when it had to be bounded.
    QString incremento() const {
        const QString scritto = comeScritto(p_.ingressi.incremento);
        const double usato = t_.ingressi.incremento;
        if (p_.ingressi.incremento.vuota() || p_.ingressi.incremento.valore() == usato) {
            return scritto;
        }
        return scritto + " (usato " + q(CStr(usato)) + ")";
    }

    // The heights the figures mark: the minimum flow's, then the design
    // flow's.
    std::vector<LivelloAcqua> livelliPrincipali() const {
        std::vector<LivelloAcqua> livelli;
        if (richieste_.altezzaMinima) {
            livelli.push_back({"Qmin", richieste_.altezzaMinima->altezza, true});
        }
        int i = 0;
        for (const analisi::Risposta& r : richieste_.altezzePortata) {
            livelli.push_back({QString("Q%1").arg(++i), r.altezza});
        }
        return livelli;
    }

    static Tabella intestazioneTabella() {
        Tabella t;
        t.righe = {{"h", "A", "P", "R", "V", "Q"},
                   {"(cm)", "(m²)", "(m)", "(m)", "(cm/s)", "(l/s)"}};
        t.righeIntestazione = 2;
        t.larghezzeCm = {2.4, 2.4, 2.8, 2.8, 2.4, 2.4};
        t.aDestra = std::vector<bool>(6, true);
        return t;
    }

    std::vector<QString> rigaTabella(int k) const {
        std::vector<QString> riga;
        for (int colonna = 1; colonna <= 6; ++colonna) {
            riga.push_back(q(TestoColonna(colonna, t_.riga(k))));
        }
        return riga;
    }

    ScrittoreRelazione scrittore_;
    const progetto::Progetto& p_;
    const calcolo::Tabella& t_;
    const relazione::VerdettiSezione v_;
    const analisi::Sezione& sezione_;
    const analisi::Limiti& limiti_;
    const analisi::RisposteRichieste& richieste_;
    // The line of reaches, for the conclusions: how many pass, and each
    // one that does not, with its reasons; the network's faults.
    bool conTratti_ = false;
    qsizetype trattiVerificati_ = 0;
    qsizetype trattiTotali_ = 0;
    QStringList nonVerificati_;
    QStringList erroriRete_;
};

} // namespace

void scriviRelazioneCalcolo(QTextDocument& documento, const progetto::Progetto& progetto,
                            const calcolo::Tabella& tabella, Separatore separatore) {
    const progetto::Dati& d = progetto.dati;
    QString soggetto = "Verifica idraulica di un collettore a sezione inglese";
    if (!d.opera.empty() || !d.tratto.empty()) {
        soggetto += " – " + q(d.opera) + (d.opera.empty() || d.tratto.empty() ? "" : ", ") +
                    (d.tratto.empty() ? QString() : "tratto " + q(d.tratto));
    }
    impostaProprieta(documento,
                     {"Relazione di calcolo idraulico", q(d.progettista), soggetto,
                      d.opera.empty() ? QString("Relazione di calcolo idraulico") : q(d.opera)});
    Relazione(documento, progetto, tabella, separatore).scrivi();
    documento.setModified(true);
}
