#include "relazione/relazione_calcolo.h"

#include "analisi/risposte.h"
#include "analisi/tabella_calcolata.h"
#include "analisi/verifiche.h"
#include "documenti/indice.h"
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
#include "tratti/parole.h"
#include "tratti/profilo.h"
#include "versione.h"

#include <QStringList>

#include <QTextDocument>
#include <algorithm>

#include <optional>

namespace {

// A profile in the report: a landscape sheet that stands along the page,
// within its margins with the caption, mm; its frame, table and texts at
// three quarters of a drawing's.
const QSizeF foglioDelProfilo(230, 160);
constexpr double misuraDelProfilo = 0.75;
// A report shows a path on at most so many pages; a longer one is exported
// on its own.
constexpr std::size_t fogliMassimiDelProfilo = 100;

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

// The exact geometry in words, after "la"/"sulla".
constexpr const char* geometriaEsatta =
    " geometria esatta: il profilo vero a quattro archi, senza costanti arrotondate (area piena "
    "4.5941 r², raggio idraulico pieno 0.5793 r).";

class Relazione {
  public:
    Relazione(QTextDocument& documento, const progetto::Progetto& progetto,
              const calcolo::Tabella& tabella, Separatore separatore)
        : scrittore_(documento, separatore), p_(progetto), t_(tabella),
          v_(relazione::verdettiSezione(progetto, tabella)), sezione_(v_.sezione),
          limiti_(v_.limiti), richieste_(v_.richieste) {}

    // Returns where the table of contents goes: after the title block.
    int scrivi() {
        // Blank rows of the window's table are no reaches.
        const std::vector<progetto::RigaLetta> righe = progetto::leggiRighe(p_.tratti);
        conTratti_ = !righe.empty();
        // Without reaches the typical section is the whole report.
        conSezioneTipo_ = !conTratti_ || p_.dati.sezioneTipo == "si";
        intestazione();
        const int indice = scrittore_.posizione();
        if (!conTratti_) {
            dati();
            metodo();
            risultati();
            verifiche();
        } else {
            const Linea linea = calcolaLinea(righe);
            premessa(linea);
            criteri(linea);
            metodo();
            verificaDellaRete(righe, linea);
            profili(linea);
            // The typical section only when asked for: a line is checked
            // reach by reach.
            if (conSezioneTipo_) {
                sezione("Sezione tipo");
                sottoparti_ = true;
                dati();
                risultati();
                verifiche();
                sottoparti_ = false;
            }
            conclusioni();
        }
        firma();
        return indice;
    }

  private:
    // The line's reaches as read, computed as a network.
    struct Linea {
        std::vector<tratti::Tratto> lette;
        tratti::Impostazioni impostazioni;
        tratti::EsitiRete rete;
    };

    Linea calcolaLinea(const std::vector<progetto::RigaLetta>& righe) const {
        Linea linea;
        for (const progetto::RigaLetta& riga : righe) {
            if (riga.tratto) {
                linea.lette.push_back(*riga.tratto);
            }
        }
        linea.impostazioni =
            progetto::impostazioniTratti(p_.verifiche, p_.rete, sezione_.resistenza, p_.catalogo);
        linea.rete = *tratti::calcolaRete(linea.lette, progetto::pozzettiDi(p_.pozzetti),
                                          linea.impostazioni);
        return linea;
    }

    // Headings numbered as they come: a section, or a part of the typical
    // section's when it is one.
    void sezione(const QString& titolo) {
        scrittore_.sezione(QString("%1 %2").arg(++capitolo_).arg(titolo));
        paragrafo_ = 0;
    }
    void sottosezione(const QString& titolo) {
        scrittore_.sottosezione(QString("%1.%2 %3").arg(capitolo_).arg(++paragrafo_).arg(titolo));
    }
    void parte(const QString& titolo) {
        if (sottoparti_) {
            sottosezione(titolo);
        } else {
            sezione(titolo);
        }
    }

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
        // With reaches the description opens the report's first section.
        if (!conTratti_ && !d.descrizione.empty()) {
            scrittore_.paragrafo("Descrizione dell'opera: " + q(d.descrizione), QString());
        }
    }

    void dati() {
        parte("Dati");
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
        scrittore_.tabella(t, "Dati della sezione, come inseriti.");

        scrittore_.figura(
            figuraSezione(t_.raggioM, t_.ingressi.geometria, livelliPrincipali(),
                          QSize(1800, 1500)),
            12,
            QString("Sezione ovoidale inglese r = %1 cm in scala, con le quote e i livelli "
                    "idrici alle portate di verifica.")
                .arg(comeScritto(i.raggio)));
    }

    // The section's geometry and the law; the table's own formulas and rows
    // only when the report holds the table.
    void metodo() {
        sezione("Metodo");
        const formule::Resistenza verifiche = sezione_.resistenza;
        const formule::Resistenza tabella = conSezioneTipo_ ? t_.ingressi.resistenza() : verifiche;
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
        const bool tabellari = (conSezioneTipo_ ? t_.ingressi.geometria : sezione_.geometria) ==
                               formule::Geometria::Tabellare;
        if (tabellari) {
            scrittore_.paragrafo(
                QString(conSezioneTipo_ ? "La tabella dei risultati usa" : "Le verifiche usano") +
                " le formule tabellari della sezione inglese, con le costanti arrotondate della "
                "tabella classica (4.79 r per il contorno e 3.02 r² per l'area all'altezza 2r). "
                "Nel fondo (h ≤ r/5) l'area bagnata è il segmento circolare dell'arco di raggio "
                "r/2, (r²/8)(2a − sin 2a), con a metà dell'angolo bagnato: la tabella classica vi "
                "scrive r²(a − sin a), che a h = r/5 sovrastima l'area del 14 %.");
        } else {
            scrittore_.paragrafo(QString(conSezioneTipo_ ? "La tabella dei risultati è calcolata"
                                                         : "Le verifiche sono svolte") +
                                 " sulla" + geometriaEsatta);
        }
        scrittore_.vuota();
        if (conSezioneTipo_ && sezione_.geometria != t_.ingressi.geometria) {
            scrittore_.paragrafo(sezione_.geometria == formule::Geometria::Esatta
                                     ? QString("Le verifiche usano invece la") + geometriaEsatta
                                     : QString("Le verifiche usano invece le formule tabellari."));
        } else if (conSezioneTipo_) {
            scrittore_.paragrafo("Le verifiche usano le stesse formule della tabella.");
        }
        scrittore_.paragrafo(
            "Le altezze cercate sono calcolate con precisione relativa migliore di 10⁻¹⁰.");
        if (conSezioneTipo_) {
            scrittore_.vuota();
            scrittore_.paragrafo(
                "Le righe «Max V» e «Max Q» della tabella sono alle altezze fisse 2.562 r e "
                "2.859 r della tabella classica; i massimi veri sono riportati fra i valori di "
                "riferimento.");
        }
    }

    void risultati() {
        parte("Risultati");
        scrittore_.paragrafo(QString("Tabella di deflusso con incremento dell'altezza di %1 mm.")
                                 .arg(q(CStr(t_.ingressi.incremento))));
        const int n = t_.numPassi;
        Tabella t = intestazioneTabella();
        for (int k = 1; k <= n; ++k) {
            t.righe.push_back(rigaTabella(k));
        }
        scrittore_.tabella(t, "Scala di deflusso della sezione.");
        if (std::any_of(t_.righe.begin(), t_.righe.end(),
                        [](const calcolo::Riga& r) { return r.velocita < 0; })) {
            scrittore_.paragrafo(QString("Le righe con «—» al posto di V e Q sono in ") +
                                 analisi::notaMotoNonTurbolento + ".");
        }
        for (const auto& [etichetta, k] :
             {std::pair{etichettaMassimaVelocita, n + 1}, {etichettaMassimaPortata, n + 2}}) {
            Tabella massimo = intestazioneTabella();
            massimo.righe.push_back(rigaTabella(k));
            scrittore_.tabella(massimo, QString(etichetta) + " riga all'altezza " +
                                            (k == n + 1 ? "2.562" : "2.859") +
                                            " r della tabella classica.");
        }

        const DatiScala scala{sezione_, analisi::righeTabellaConLegge(t_, sezione_.resistenza),
                              livelliPrincipali(), limiti_};
        scrittore_.figura(figuraScala(scala, QSize(1800, 1300)), 16,
                          "Scale di deflusso: portata e velocità in funzione dell'altezza "
                          "d'acqua, con le righe della tabella e le altezze di verifica.");
    }

    void verifiche() {
        using Quale = relazione::ValoreVerificato::Quale;
        parte("Verifiche");
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
        scrittore_.tabella(t, "Valori di riferimento della sezione.");
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
            scrittore_.paragrafo(
                QString("Conclusione: %1 su %2 %3%4; la sezione non è idonea così com'è.")
                    .arg(mancate == 1 ? QString("1 verifica")
                                      : QString("%1 verifiche").arg(mancate))
                    .arg(soddisfatte + mancate)
                    .arg(mancate == 1 ? "non è soddisfatta" : "non sono soddisfatte")
                    .arg(quali()));
        }
    }

    // The section's checks that fail, in brackets; empty when none is named.
    QString quali() const {
        QStringList nomi;
        for (const std::string& mancata : v_.mancate) {
            nomi << q(mancata);
        }
        return nomi.isEmpty() ? QString() : " (" + nomi.join(", ") + ")";
    }

    // One statement on everything checked: every reach, every manhole, the
    // network's shape and, when reported, the typical section; the work is
    // called fit only when nothing fails, and what fails is named.
    void conclusioni() {
        sezione("Conclusioni");
        QStringList difetti;
        if (!erroriRete_.isEmpty()) {
            difetti << "la rete ha errori di forma (" + erroriRete_.join("; ") + ")";
        }
        if (!nonVerificati_.isEmpty()) {
            difetti << QString(nonVerificati_.size() == 1 ? "non verificato il tratto %1"
                                                          : "non verificati i tratti %1")
                           .arg(nonVerificati_.join("; "));
        }
        if (!pozzettiNonVerificati_.isEmpty()) {
            difetti << QString(pozzettiNonVerificati_.size() == 1 ? "non verificato il pozzetto %1"
                                                                  : "non verificati i pozzetti %1")
                           .arg(pozzettiNonVerificati_.join("; "));
        }
        if (conSezioneTipo_ && v_.nonSoddisfatte > 0) {
            difetti << QString("la sezione tipo non soddisfa %1 verifiche su %2%3")
                           .arg(v_.nonSoddisfatte)
                           .arg(v_.soddisfatte + v_.nonSoddisfatte)
                           .arg(quali());
        }
        const QString tratti =
            trattiVerificati_ == trattiTotali_
                ? (trattiTotali_ == 1 ? QString("Verificato l'unico tratto")
                   : trattiTotali_ == 2
                       ? QString("Verificati entrambi i tratti")
                       : QString("Verificati tutti i %1 tratti").arg(trattiTotali_))
                : QString(trattiVerificati_ == 1 ? "Verificato %1 tratto su %2"
                                                 : "Verificati %1 tratti su %2")
                      .arg(trattiVerificati_)
                      .arg(trattiTotali_);
        if (difetti.isEmpty()) {
            QStringList verificati{tratti};
            if (conPozzetti_) {
                verificati << "tutti i pozzetti";
            }
            if (conSezioneTipo_ && v_.soddisfatte > 0) {
                verificati << "la sezione tipo alle portate di progetto";
            }
            const QString ultimo = verificati.takeLast();
            scrittore_.paragrafo(
                (verificati.isEmpty() ? ultimo : verificati.join(", ") + " e " + ultimo) +
                ": le verifiche sono soddisfatte e l'opera è idonea.");
        } else {
            scrittore_.paragrafo(tratti + "; " + difetti.join("; ") +
                                 ". L'opera non è idonea così com'è.");
        }
        // A drop manhole is a provision of the design, not a fault.
        if (const auto n = pozzettiDiSalto_.size(); n > 0) {
            scrittore_.paragrafo((n == 1 ? QString("Previsto 1 pozzetto di salto: ")
                                         : QString("Previsti %1 pozzetti di salto: ").arg(n)) +
                                 pozzettiDiSalto_.join(", ") + ".");
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

    // The work in the designer's words, and the line in figures.
    void premessa(const Linea& linea) {
        sezione("Premessa");
        if (!p_.dati.descrizione.empty()) {
            for (const QString& capoverso :
                 q(p_.dati.descrizione).split('\n', Qt::SkipEmptyParts)) {
                scrittore_.paragrafo(capoverso, QString());
            }
            scrittore_.vuota();
        }
        double lunghezza = 0;
        for (const tratti::Tratto& t : linea.lette) {
            lunghezza += t.lunghezza.value_or(0);
        }
        const auto pozzetti = std::count_if(linea.rete.pozzetti.begin(), linea.rete.pozzetti.end(),
                                            [](const tratti::EsitoPozzetto& p) { return p.usato; });
        QStringList sbocchi;
        for (const tratti::Albero& a : linea.rete.alberi) {
            sbocchi << q(a.sbocco);
        }
        const std::size_t n = linea.lette.size();
        QString rete = QString("La presente relazione riporta la verifica idraulica in moto "
                               "uniforme di %1 a sezione ovoidale di tipo inglese")
                           .arg(n == 1 ? QString("un tratto di fognatura")
                                       : QString("una rete di fognatura di %1 tratti").arg(n));
        if (lunghezza > 0) {
            rete +=
                QString(", per una lunghezza complessiva di %1 m").arg(numero(lunghezza, "0.0"));
        }
        if (pozzetti > 0) {
            rete += QString(", fra %1 pozzetti").arg(pozzetti);
        }
        if (!sbocchi.isEmpty()) {
            rete += sbocchi.size() == 1
                        ? ", con sbocco in " + sbocchi.front()
                        : QString(", in %1 reti con sbocco in ").arg(sbocchi.size()) +
                              sbocchi.join(", ");
        }
        scrittore_.paragrafo(rete + ".");
        QString verifiche = "Per ogni tratto sono verificate la velocità e il riempimento alle "
                            "portate di progetto e di tempo secco";
        verifiche +=
            pozzetti > 0 ? "; ai pozzetti, la continuità delle quote e il ricoprimento." : ".";
        verifiche += " Le sezioni non indicate sono dimensionate dal catalogo.";
        if (!sbocchi.isEmpty()) {
            verifiche += " I profili longitudinali riportano le quote e i livelli idrici.";
        }
        scrittore_.paragrafo(verifiche);
    }

    // Each criterion with its value and the source the designer gave.
    void criteri(const Linea& linea) {
        sezione("Criteri di verifica e riferimenti");
        const progetto::Verifiche& v = p_.verifiche;
        const progetto::Fonti& f = p_.dati.fonti;
        const tratti::Impostazioni& imp = linea.impostazioni;
        const auto fonte = [](const std::string& testo) {
            const QString scritta = q(testo).trimmed();
            return scritta.isEmpty() ? QString(progetto::fonteDelProgettista) : scritta;
        };
        const QString allineamento =
            imp.allineamento == tratti::Allineamento::Cieli
                ? "dei cieli: il cielo del tratto uscente non più alto del più basso dei cieli "
                  "entranti"
            : imp.allineamento == tratti::Allineamento::Pelo
                ? "dei peli liberi: il pelo libero del tratto uscente, alla portata di "
                  "progetto, non più alto del più basso degli entranti"
                : "dei fondi: lo scorrimento del tratto uscente uguale a quello degli entranti, "
                  "senza salti";
        Tabella t;
        t.righe = {{"Criterio", "Valore", "Fonte"},
                   {"Velocità minima di autopulizia, alla portata minima (tempo secco)",
                    sogliaUsata(v.velocitaMinima, imp.limiti.velocitaMinima) + " cm/s",
                    fonte(f.velocitaMinima)},
                   {"Velocità massima, alla portata di progetto",
                    sogliaUsata(v.velocitaMassima, imp.limiti.velocitaMassima) + " cm/s",
                    fonte(f.velocitaMassima)},
                   {"Riempimento massimo h/H, alla portata di progetto",
                    sogliaUsata(v.riempimentoMassimo, imp.limiti.riempimentoMassimo) + " %",
                    fonte(f.riempimentoMassimo)},
                   {"Legge di resistenza e coefficiente",
                    q(formule::nomeLegge(imp.resistenza.legge)) + ", " +
                        q(testoResistenza(imp.resistenza)),
                    fonte(f.legge)},
                   {"Allineamento ai pozzetti", allineamento, fonte(f.allineamento)},
                   {"Ricoprimento minimo sul cielo", numero(imp.ricoprimentoMinimo, "0.00") + " m",
                    fonte(f.ricoprimento)}};
        if (imp.profonditaMassima) {
            t.righe.push_back({"Profondità massima di scavo",
                               numero(*imp.profonditaMassima, "0.00") + " m",
                               fonte(std::string())});
        }
        if (imp.saltoMassimo) {
            t.righe.push_back({"Salto massimo senza pozzetto di salto",
                               numero(*imp.saltoMassimo, "0.00") + " m", fonte(std::string())});
        }
        t.larghezzeCm = {6.5, 4.5, 6};
        t.comeScritte = {false, false, true};
        scrittore_.tabella(t, "Criteri di verifica, valori adottati e fonti.");
        scrittore_.paragrafo(
            "Le velocità e il riempimento sono verificati in moto uniforme, alle altezze d'acqua "
            "che la legge di resistenza dà per le portate di ogni tratto; il catalogo delle "
            "sezioni, in raggi r (cm), è " +
            catalogo(imp.catalogo) + ".");
    }

    // The sizes from the smallest, as the sizing tries them.
    static QString catalogo(std::vector<double> raggi) {
        std::sort(raggi.begin(), raggi.end());
        QStringList testi;
        for (const double r : raggi) {
            testi << q(CStr(r));
        }
        return testi.join(", ");
    }

    // The reaches, the manholes, and what fails with the slopes that would
    // pass.
    void verificaDellaRete(const std::vector<progetto::RigaLetta>& righe, const Linea& linea) {
        sezione("Verifica della rete");
        sottosezione("Tratti");
        const std::vector<tratti::Esito>& esiti = linea.rete.esiti;
        const auto verificati = std::count_if(esiti.begin(), esiti.end(),
                                              [](const tratti::Esito& e) { return e.verificato; });
        const auto calcolati = std::count_if(esiti.begin(), esiti.end(),
                                             [](const tratti::Esito& e) { return e.calcolato; });
        const auto totale = static_cast<qsizetype>(righe.size());
        trattiVerificati_ = verificati;
        trattiTotali_ = totale;
        for (const tratti::ErroreRete& errore : linea.rete.errori) {
            erroriRete_.push_back(q(tratti::testoRilievo(errore.rilievo, scrittore_.separatore(),
                                                         tratti::Voce::Pozzetto)));
        }
        const bool leggiProprie =
            std::any_of(linea.lette.begin(), linea.lette.end(),
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
                                    "sotto le tabelle"
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
                const formule::Resistenza propria =
                    tratto.resistenzaDi(linea.impostazioni.resistenza);
                leggi.emplace_back(nome, QString(": legge di %1, %2.")
                                             .arg(q(formule::nomeLegge(propria.legge)),
                                                  q(testoResistenza(propria))));
            }
            if (!e.verificato) {
                const QString motivo = q(tratti::motivoDi(e, scrittore_.separatore()));
                motivi.emplace_back(nome, ": " + motivo + "." + pendenzeAmmesse(e));
                nonVerificati_.push_back(nome + " (" + motivo + ")");
            }
        }
        scrittore_.tabella(luogo, "Tratti: pozzetti, lunghezza, sezione (* scelta dal "
                                  "catalogo), pendenza e quote.");
        scrittore_.vuota();
        scrittore_.tabella(acqua, "Tratti: portate, livelli idrici, velocità ed esito.");
        for (const auto& [nome, testo] : leggi) {
            scrittore_.paragrafo(nome, testo);
        }
        pozzetti(linea.rete);
        sottosezione("Tratti non verificati");
        if (motivi.empty()) {
            scrittore_.paragrafo("Tutti i tratti sono verificati.");
        }
        for (const auto& [nome, testo] : motivi) {
            scrittore_.paragrafo(nome, testo);
        }
    }

    // The slopes within which a failing reach would pass at its size, when
    // its own is not among them.
    static QString pendenzeAmmesse(const tratti::Esito& e) {
        const bool entro = (!e.pendenzaMinima || e.pendenza >= *e.pendenzaMinima) &&
                           (!e.pendenzaMassima || e.pendenza <= *e.pendenzaMassima);
        if (!e.calcolato || (entro && !e.senzaPendenza)) {
            return {};
        }
        // As the reasons write them: three digits, rounded inward.
        const auto minima = [](double i) { return q(tratti::pendenzaArrotondata(i, true)); };
        const auto massima = [](double i) { return q(tratti::pendenzaArrotondata(i, false)); };
        if (e.senzaPendenza) {
            return " Alla sua sezione nessuna pendenza rispetta tutti i limiti.";
        }
        if (e.pendenzaMinima && e.pendenzaMassima) {
            return QString(" Alla sua sezione rispetta i limiti con pendenze da %1 a %2.")
                .arg(minima(*e.pendenzaMinima), massima(*e.pendenzaMassima));
        }
        if (e.pendenzaMinima) {
            return QString(" Alla sua sezione rispetta i limiti con pendenze da %1 in su.")
                .arg(minima(*e.pendenzaMinima));
        }
        if (e.pendenzaMassima) {
            return QString(" Alla sua sezione rispetta i limiti con pendenze fino a %1.")
                .arg(massima(*e.pendenzaMassima));
        }
        return {};
    }

    // Each tree's longest path, a figure a sheet, turned to stand along the
    // page: landscape sheets at their printed scales.
    void profili(const Linea& linea) {
        const tratti::Percorsi percorsi(linea.lette, linea.rete);
        bool titolo = false;
        for (const tratti::Albero& albero : linea.rete.alberi) {
            const std::vector<std::string> teste = percorsi.teste(albero.sbocco);
            if (teste.empty()) {
                continue;
            }
            if (!titolo) {
                sezione("Profili longitudinali");
                scrittore_.paragrafo("Per ogni rete è disegnato il percorso più lungo, dal "
                                     "pozzetto di testa allo sbocco.",
                                     true);
                titolo = true;
            }
            const auto nonDisegnato = [&](const std::string& motivo) {
                scrittore_.paragrafo(QString("Profilo longitudinale verso %1 non disegnato: %2.")
                                         .arg(q(albero.sbocco), q(motivo)),
                                     true);
            };
            tratti::Profilo profilo;
            ImpaginazioneProfilo imp;
            try {
                profilo = percorsi.da(teste.front());
                imp = impaginaProfilo(profilo, foglioDelProfilo, std::nullopt, std::nullopt, false,
                                      misuraDelProfilo, fogliMassimiDelProfilo);
            } catch (const TroppiFogli& e) {
                nonDisegnato(e.what() + std::string(e.scalaCheBasta ? "; lo si esporti a parte, "
                                                                      "in PDF o in DXF"
                                                                    : ""));
                continue;
            } catch (const std::invalid_argument& e) {
                nonDisegnato(e.what());
                continue;
            }
            if (const std::optional<std::size_t> foglio = foglioCheNonSta(profilo, imp)) {
                nonDisegnato("le quote del foglio " + std::to_string(*foglio + 1) +
                             " non stanno nel disegno nemmeno alla scala verticale 1:" +
                             CStr(imp.scalaVerticale));
                continue;
            }
            constexpr double pixelPerMillimetro = 6.5;
            const std::vector<QImage> fogli =
                immaginiDeiFogli(profilo, imp, pixelPerMillimetro, scrittore_.separatore(), true);
            for (std::size_t f = 0; f < fogli.size(); ++f) {
                const QImage& foglio = fogli[f];
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

    // A reach's manholes, length, size ("60/90", starred when chosen), slope
    // (as typed, or as the quotas give it) and levels.
    static std::vector<QString> rigaLuogo(const tratti::Tratto& tratto, const tratti::Esito& e,
                                          const tratti::CelleTratto& celle) {
        const auto oTrattino = [](const std::string& testo) {
            return testo.empty() ? QString("—") : q(testo);
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

    static QString metri(std::optional<double> valore) {
        return valore ? q(Format(*valore, "0.00")) : QString("—");
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

    // The manholes the reaches join: ground, invert, drop, cover, depth and
    // the continuity checks' verdict; then what fails at each.
    void pozzetti(const tratti::EsitiRete& rete) {
        sottosezione("Pozzetti");
        Tabella t;
        t.righe = {{"Pozzetto", "Terreno", "Scorrimento", "Salto", "Ricoprimento", "Profondità",
                    "Esito", "Nota"},
                   {"", "(m)", "(m)", "(m)", "(m)", "(m)", "", ""}};
        t.righeIntestazione = 2;
        t.larghezzeCm = {2.2, 1.8, 2.2, 1.5, 2.3, 2.1, 2.4, 2.5};
        t.aDestra = {false, true, true, true, true, true, false, false};
        t.comeScritte = {true, false, false, false, false, false, false, true};
        std::vector<std::pair<QString, QString>> difetti;
        for (const tratti::EsitoPozzetto& p : rete.pozzetti) {
            if (!p.usato && p.verificato()) {
                continue;
            }
            const QString profondita = p.quotaTerreno && p.quotaFondo
                                           ? metri(*p.quotaTerreno - *p.quotaFondo)
                                           : QString("—");
            const bool diSalto =
                std::any_of(p.rilievi.begin(), p.rilievi.end(), [](const tratti::Rilievo& r) {
                    return r.gravita() == tratti::Gravita::Provvedimento;
                });
            if (diSalto) {
                pozzettiDiSalto_ << q(p.nome);
            }
            t.righe.push_back({q(p.nome), metri(p.quotaTerreno), metri(p.quotaFondo),
                               metri(p.salto), metri(p.ricoprimento), profondita,
                               p.verificato() ? QString("verificato") : QString("non verificato"),
                               p.sbocco  ? QString("sbocco")
                               : diSalto ? QString("pozzetto di salto")
                                         : QString()});
            if (!p.verificato()) {
                QStringList testi;
                for (const tratti::Rilievo& r : p.rilievi) {
                    if (r.gravita() == tratti::Gravita::Difetto) {
                        testi << q(tratti::testoRilievo(r, scrittore_.separatore(),
                                                        tratti::Voce::Pozzetto));
                    }
                }
                difetti.emplace_back(q(p.nome), ": " + testi.join("; ") + ".");
                pozzettiNonVerificati_.push_back(q(p.nome) + " (" + testi.join("; ") + ")");
            }
        }
        conPozzetti_ = t.righe.size() > 2;
        if (!conPozzetti_) {
            scrittore_.paragrafo("I tratti non nominano pozzetti: nessuna verifica di continuità.");
            return;
        }
        scrittore_.paragrafo("A ogni pozzetto sono verificati la continuità delle quote "
                             "(nessuna contropendenza, l'allineamento adottato, nessuna sezione "
                             "che si riduce verso valle, il salto massimo se indicato) e, ai "
                             "due estremi di ogni tratto, il ricoprimento minimo e la "
                             "profondità massima.",
                             true);
        scrittore_.tabella(t, "Pozzetti: quote, salto, ricoprimento minimo sui cieli, "
                              "profondità ed esito delle verifiche.");
        for (const auto& [nome, testo] : difetti) {
            scrittore_.paragrafo(nome, testo);
        }
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
    QStringList pozzettiNonVerificati_;
    QStringList pozzettiDiSalto_;
    bool conPozzetti_ = false;
    QStringList erroriRete_;
    int capitolo_ = 0;
    int paragrafo_ = 0;
    bool conSezioneTipo_ = true; // the report holds the typical section and its table
    bool sottoparti_ = false;    // the typical section's parts are subsections
};

} // namespace

void scriviRelazioneCalcolo(QTextDocument& documento, const progetto::Progetto& progetto,
                            const valutazione::Valutazione& valutazione, Separatore separatore) {
    const calcolo::Tabella& tabella = *valutazione.tabella.tabella;
    const progetto::Dati& d = progetto.dati;
    QString soggetto = "Verifica idraulica di un collettore a sezione inglese";
    if (!d.opera.empty() || !d.tratto.empty()) {
        soggetto += " – " + q(d.opera) + (d.opera.empty() || d.tratto.empty() ? "" : ", ") +
                    (d.tratto.empty() ? QString() : "tratto " + q(d.tratto));
    }
    impostaProprieta(documento,
                     {"Relazione di calcolo idraulico", q(d.progettista), soggetto,
                      d.opera.empty() ? QString("Relazione di calcolo idraulico") : q(d.opera)});
    const int indice = Relazione(documento, progetto, tabella, separatore).scrivi();
    inserisciIndice(documento, indice);
    documento.setModified(true);
}
