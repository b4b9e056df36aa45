#include "relazione/relazione_calcolo.h"

#include "analisi/risposte.h"
#include "analisi/tabella_calcolata.h"
#include "analisi/verifiche.h"
#include "calc/calcolo.h"
#include "calc/resistenza.h"
#include "documenti/disegno_documento.h"
#include "documenti/indice.h"
#include "documenti/proprieta_documento.h"
#include "figure/disegno_svg.h"
#include "figure/esporta_profilo.h"
#include "figure/figura_profilo.h"
#include "figure/figura_scala.h"
#include "figure/figura_sezione.h"
#include "numeri/conversioni.h"
#include "numeri/formato.h"
#include "numeri/misure.h"
#include "numeri/sezione.h"
#include "progetto/voci_coefficiente.h"
#include "relazione/profilo_progetto.h"
#include "relazione/scrittore_relazione.h"
#include "relazione/testi_report.h"
#include "tratti/parole.h"
#include "tratti/profilo.h"
#include "valutazione/conclusione.h"
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
using valutazione::Controllo;
using valutazione::ValoreVerificato;

QString q(std::string_view testo) {
    return QString::fromUtf8(testo.data(), static_cast<qsizetype>(testo.size()));
}

// The report's numbers as people read them, each made with the separator
// asked for as it is made.
class Numeri {
  public:
    explicit Numeri(Separatore separatore) : separatore_(separatore) {}

    Separatore separatore() const { return separatore_; }

    // As CStr writes it, or with a pattern as Format takes it.
    QString operator()(double valore) const { return q(Format(valore, separatore_)); }
    QString operator()(double valore, std::string_view modello) const {
        return q(Format(valore, modello, separatore_));
    }

    // The section's answers, from SI units.
    QString centimetri(double metri) const { return (*this)(metri * 100, "###0.#0"); }
    QString percento(double frazione) const { return (*this)(frazione * 100, "##0.0"); }
    QString cmAlSecondo(double metriAlSecondo) const {
        return (*this)(metriAlSecondo * 100, "###0.#0");
    }
    QString litriAlSecondo(double metriCubiAlSecondo) const {
        return (*this)(metriCubiAlSecondo * 1000, "#####0.#0");
    }

    // A value checked against a limit, in the limit's units: the decimals of
    // the pattern, or those that keep it on its side of the limit.
    QString aConfronto(double valore, double limite, std::string_view modello) const {
        return q(FormatConfronto(valore, limite, modello, separatore_));
    }

    // A quantity of the line as every table of it prints it; a dash for
    // none.
    QString misura(Misura misura, std::optional<double> valore) const {
        return valore ? q(testoMisura(misura, *valore, separatore_)) : QString("—");
    }

  private:
    Separatore separatore_;
};

// A box as typed, or a dash for an empty one.
QString comeScritto(const progetto::Casella& casella) {
    return casella.vuota() ? QString("—") : q(casella.testo);
}

// "0.18: Tubaz. …" names a list entry: the program's value, and its words,
// written for pipes, with the section they are applied to. Another text
// stays as typed.
QString coefficienteComeScritto(const progetto::Casella& casella, const QString& sezione,
                                const Numeri& n) {
    for (const VoceCoefficiente& voce : vociCoefficiente) {
        const std::string testo = voce.testo;
        if (casella.testo == testo) {
            return n(voce.valore) + " (voce dell'elenco «" + q(testo.substr(testo.find(": ") + 2)) +
                   "», applicata alla sezione inglese " + sezione + " cm)";
        }
    }
    return comeScritto(casella);
}

// A law's formulas, as written in the method.
std::vector<QString> formuleLegge(formule::Legge legge, const Numeri& n) {
    switch (legge) {
    case formule::Legge::Bazin:
        return {"C = 87 √R / (√R + γ)", "V = C √(R · i)"};
    case formule::Legge::Kutter:
        return {"C = 100 √R / (m + √R)", "V = C √(R · i)"};
    case formule::Legge::Strickler:
        return {"V = Ks R²ᐟ³ i¹ᐟ²"};
    case formule::Legge::Manning:
        return {"V = R²ᐟ³ i¹ᐟ² / n"};
    case formule::Legge::Colebrook:
        return {QString("1/√λ = −2 log10( ks / (%1 R) + %2 / (Re √λ) )").arg(n(14.84), n(2.51)),
                "V = √(8 g R i / λ),  Re = 4 R V / ν",
                QString("ν = %1·10⁻⁶ / (1 + %2 T + %3 T²)").arg(n(1.792), n(0.0337), n(0.000221))};
    }
    return {};
}

// What a law's symbols stand for, after the common ones.
QString simboli(formule::Legge legge, const Numeri& n) {
    switch (legge) {
    case formule::Legge::Bazin:
        return ", C coefficiente di Chézy (m½/s), γ coefficiente di scabrezza di Bazin (m½)";
    case formule::Legge::Kutter:
        return ", C coefficiente di Chézy (m½/s), m coefficiente di scabrezza di Kutter (m½)";
    case formule::Legge::Strickler:
        return ", Ks coefficiente di Gauckler–Strickler (m¹ᐟ³/s)";
    case formule::Legge::Manning:
        return ", n coefficiente di Manning (s/m¹ᐟ³)";
    case formule::Legge::Colebrook:
        return QString(", λ indice di resistenza, ks scabrezza equivalente (mm nei dati, m nella "
                       "formula), Re numero di Reynolds, g = %1 m/s², ν viscosità cinematica "
                       "dell'acqua (m²/s) alla temperatura T (°C)")
            .arg(n(9.81));
    }
    return {};
}

// The exact geometry in words, after "la"/"sulla".
QString geometriaEsatta(const Numeri& n) {
    return QString(" geometria esatta: il profilo vero a quattro archi, senza costanti "
                   "arrotondate (area piena %1 r², raggio idraulico pieno %2 r).")
        .arg(n(4.5941), n(0.5793));
}

// "1 tratto", "2 tratti".
QString plurale(std::size_t n, const char* uno, const char* molti) {
    return QString("%1 %2").arg(n).arg(n == 1 ? uno : molti);
}

class Relazione {
  public:
    Relazione(QTextDocument& documento, const progetto::Progetto& progetto,
              const valutazione::Valutazione& valutazione, Separatore separatore,
              Avanzamento& avanzamento)
        : scrittore_(documento), n_(separatore), p_(progetto), v_(valutazione),
          t_(*valutazione.tabella.tabella), s_(valutazione.sezione), avanzamento_(avanzamento) {}

    // Returns where the table of contents goes: after the title block.
    int scrivi() {
        conTratti_ = v_.giudizio.tratti > 0;
        conSezioneTipo_ = v_.giudizio.sezioneTipo;
        if (avanzamento_.seguito()) {
            lavoro_ = lavoro();
            scrittore_.righeScritte = [this](int righe) { avanza(righe); };
            avanza(0);
        }
        intestazione();
        const int indice = scrittore_.posizione();
        if (!conTratti_) {
            dati();
            metodo();
            risultati();
            verifiche();
        } else {
            premessa();
            criteri();
            metodo();
            verificaDellaRete();
            profili();
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

    // Heard once the table of contents is in too.
    void finita() { avanzamento_(lavoro_, lavoro_); }

  private:
    // The work as rows of the long tables and reaches drawn in the profiles
    // (each reach in one path), an estimate: the short tables are rows too.
    std::int64_t lavoro() const {
        std::int64_t unita = 1;
        if (conTratti_ && v_.rete.esiti) {
            unita += 3 * static_cast<std::int64_t>(v_.rete.righe.size()) +
                     static_cast<std::int64_t>(v_.rete.esiti->pozzetti.size());
        }
        if (!conTratti_ || conSezioneTipo_) {
            unita += t_.numPassi;
        }
        return unita;
    }
    // The last unit is heard when the report is whole, outside.
    void avanza(std::int64_t unita) {
        fatto_ += unita;
        avanzamento_(std::min(fatto_, lavoro_ - 1), lavoro_);
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
                scrittore_.paragrafo(QString("%1: %2").arg(voce, q(valore)));
            }
        }
        if (!d.note.empty()) {
            scrittore_.paragrafo("Note: " + q(d.note));
        }
        // With reaches the description opens the report's first section.
        if (!conTratti_ && !d.descrizione.empty()) {
            scrittore_.paragrafo("Descrizione dell'opera: " + q(d.descrizione));
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

        // Made once: its SVG for the files, and painted as it is on the
        // screen and the .pdf.
        auto sezione = std::make_shared<const disegno::Disegno>(
            disegnoSezione(t_.raggioM, livelliPrincipali(), QSizeF(1800, 1500), n_.separatore()));
        scrittore_.disegno(
            QByteArray::fromStdString(disegno::svg(*sezione, "Sezione tipo")), QSizeF(12, 10),
            QString("Sezione ovoidale inglese r = %1 cm in scala, con le quote e i livelli "
                    "idrici alle portate di verifica.")
                .arg(comeScritto(i.raggio)),
            [sezione](QPainter& pittore, const QRectF& dove) {
                disegnaNelRettangolo(pittore, *sezione, dove, false);
            });
    }

    // The laws whose formulas the method writes: the table's when the
    // report holds it, then the checks' when it reads and differs.
    std::vector<formule::Legge> leggiDelMetodo() const {
        std::vector<formule::Legge> leggi;
        if (conSezioneTipo_) {
            leggi.push_back(t_.ingressi.resistenza().legge);
        }
        if (const std::optional<formule::Resistenza>& verifiche = s_.legge.resistenza;
            verifiche && (leggi.empty() || leggi.front() != verifiche->legge)) {
            leggi.push_back(verifiche->legge);
        }
        return leggi;
    }

    // The section's geometry and the law; the table's own formulas and rows
    // only when the report holds the table. A law that does not read is
    // stated nowhere: the checks were not made.
    void metodo() {
        sezione("Metodo");
        const std::vector<formule::Legge> leggi = leggiDelMetodo();
        QString secondo;
        if (leggi.size() == 2) {
            secondo = QString(" secondo %1 per la tabella e %2 per le verifiche")
                          .arg(q(formule::nomeLegge(leggi[0])), q(formule::nomeLegge(leggi[1])));
        } else if (leggi.size() == 1) {
            secondo = QString(" secondo %1").arg(q(formule::nomeLegge(leggi[0])));
        }
        scrittore_.paragrafo(
            "Il calcolo è svolto in moto uniforme. Per ogni altezza d'acqua h si ricavano "
            "l'area bagnata A e il contorno bagnato P della sezione, quindi il raggio "
            "idraulico, la velocità media" +
                secondo + " e la portata:",
            true);
        scrittore_.vuota(true);
        scrittore_.formula("R = A / P");
        QString simboliDelleLeggi;
        for (const formule::Legge legge : leggi) {
            for (const QString& formula : formuleLegge(legge, n_)) {
                scrittore_.formula(formula);
            }
            simboliDelleLeggi += simboli(legge, n_);
        }
        scrittore_.formula("Q = A · V");
        scrittore_.vuota();
        scrittore_.paragrafo("con R raggio idraulico (m), i pendenza del fondo (m/m), V velocità "
                             "media (m/s), Q portata (m³/s)" +
                             simboliDelleLeggi + ".");
        scrittore_.vuota();
        geometrie();
        if (s_.impedimento) {
            scrittore_.paragrafo("Le verifiche non sono state eseguite, perché non si legge " +
                                 q(valutazione::testoCasella(*s_.impedimento)) + ".");
        } else {
            scrittore_.paragrafo(
                "Le altezze cercate sono calcolate con precisione relativa migliore di 10⁻¹⁰.");
        }
        if (conSezioneTipo_) {
            scrittore_.vuota();
            scrittore_.paragrafo(
                QString("Le righe «Max V» e «Max Q» della tabella sono alle altezze fisse %1 r e "
                        "%2 r della tabella classica")
                    .arg(n_(Modulo2::altezzaMaxVelocita), n_(Modulo2::altezzaMaxPortata)) +
                (s_.risposte ? "; i massimi veri sono riportati fra i valori di riferimento."
                             : "."));
        }
    }

    // The geometry of the table, when the report holds it, and of the checks,
    // when they were made.
    void geometrie() {
        const analisi::Sezione* verifiche = s_.sezione ? &*s_.sezione : nullptr;
        if (!conSezioneTipo_ && verifiche == nullptr) {
            return;
        }
        const formule::Geometria prima =
            conSezioneTipo_ ? t_.ingressi.geometria : verifiche->geometria;
        if (prima == formule::Geometria::Tabellare) {
            scrittore_.paragrafo(
                QString(conSezioneTipo_ ? "La tabella dei risultati usa" : "Le verifiche usano") +
                QString(" le formule tabellari della sezione inglese, con le costanti arrotondate "
                        "della tabella classica (%1 r per il contorno e %2 r² per l'area "
                        "all'altezza 2r). Nel fondo (h ≤ r/5) l'area bagnata è il segmento "
                        "circolare dell'arco di raggio r/2, (r²/8)(2a − sin 2a), con a metà "
                        "dell'angolo bagnato: la tabella classica vi scrive r²(a − sin a), che a "
                        "h = r/5 sovrastima l'area del 14 %.")
                    .arg(n_(4.79), n_(3.02)));
        } else {
            scrittore_.paragrafo(QString(conSezioneTipo_ ? "La tabella dei risultati è calcolata"
                                                         : "Le verifiche sono svolte") +
                                 " sulla" + geometriaEsatta(n_));
        }
        scrittore_.vuota();
        if (conSezioneTipo_ && verifiche != nullptr &&
            verifiche->geometria != t_.ingressi.geometria) {
            scrittore_.paragrafo(verifiche->geometria == formule::Geometria::Esatta
                                     ? "Le verifiche usano invece la" + geometriaEsatta(n_)
                                     : QString("Le verifiche usano invece le formule tabellari."));
        } else if (conSezioneTipo_ && verifiche != nullptr) {
            scrittore_.paragrafo("Le verifiche usano le stesse formule della tabella.");
        }
    }

    void risultati() {
        parte("Risultati");
        scrittore_.paragrafo(QString("Tabella di deflusso con incremento dell'altezza di %1 mm.")
                                 .arg(n_(t_.ingressi.incremento)));
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
        for (const auto& [etichetta, k, altezza] :
             {std::tuple{etichettaMassimaVelocita, n + 1, Modulo2::altezzaMaxVelocita},
              {etichettaMassimaPortata, n + 2, Modulo2::altezzaMaxPortata}}) {
            Tabella massimo = intestazioneTabella();
            massimo.righe.push_back(rigaTabella(k));
            scrittore_.tabella(massimo, QString("%1 riga all'altezza %2 r della tabella classica.")
                                            .arg(etichetta, n_(altezza)));
        }
        curve();
    }

    // The rating curves of the checks' section with their heights; of the
    // table's own, when the checks were not made.
    void curve() {
        const bool conVerifiche = s_.risposte.has_value();
        const analisi::Sezione sezione =
            conVerifiche ? *s_.sezione
                         : analisi::Sezione{t_.raggioM, t_.ingressi.pendenza,
                                            t_.ingressi.resistenza(), t_.ingressi.geometria};
        DatiScala scala{sezione, analisi::righeTabellaConLegge(t_, sezione.resistenza),
                        livelliPrincipali(), s_.limiti};
        scala.separatore = n_.separatore();
        auto figura = std::make_shared<const disegno::Disegno>(
            ScalaDiDeflusso(scala).disegno(QSizeF(1800, 1300)));
        scrittore_.disegno(QByteArray::fromStdString(disegno::svg(*figura, "Scale di deflusso")),
                           QSizeF(16, 16.0 * 1300 / 1800),
                           conVerifiche
                               ? "Scale di deflusso: portata e velocità in funzione dell'altezza "
                                 "d'acqua, con le righe della tabella e le altezze di verifica."
                               : "Scale di deflusso: portata e velocità in funzione dell'altezza "
                                 "d'acqua, con le righe della tabella.",
                           [figura](QPainter& pittore, const QRectF& dove) {
                               disegnaNelRettangolo(pittore, *figura, dove, false);
                           });
    }

    void verifiche() {
        using Quale = ValoreVerificato::Quale;
        parte("Verifiche");
        if (!s_.portata && !s_.portataMinima && !s_.velocita && s_.illeggibili.empty()) {
            scrittore_.paragrafo("Non sono state indicate portate né velocità di progetto: "
                                 "nessuna verifica da svolgere.");
        }
        const progetto::Verifiche& v = p_.verifiche;
        const auto casella = [&v](Quale quale) -> const progetto::Casella& {
            return quale == Quale::Portata         ? v.portataProgetto
                   : quale == Quale::PortataMinima ? v.portataMinima
                                                   : v.velocitaProgetto;
        };
        for (const Quale quale : s_.illeggibili) {
            const QString nome = q(valutazione::nomeValore(quale));
            scrittore_.vuota();
            scrittore_.paragrafo(
                QString("%1 «%2»: non è un numero positivo scritto con il "
                        "punto decimale, non verificata.")
                    .arg(nome.left(1).toUpper() + nome.mid(1), q(casella(quale).testo)));
        }
        for (const ValoreVerificato& valore : s_.verifiche) {
            const QString simbolo =
                valore.quale == Quale::Portata
                    ? QString("Q = %1 l/s").arg(comeScritto(v.portataProgetto))
                : valore.quale == Quale::PortataMinima
                    ? QString("Qmin = %1 l/s").arg(comeScritto(v.portataMinima))
                    : QString("V = %1 cm/s").arg(comeScritto(v.velocitaProgetto));
            verificaValore(valore, simbolo);
        }
        if (s_.risposte) {
            riferimenti(*s_.risposte);
        }
        // The section's own verdict; with a line of reaches it is only the
        // typical section's, and the line's conclusions follow at the end.
        scrittore_.vuota();
        scrittore_.paragrafo(q(valutazione::conclusioneSezione(v_, n_.separatore())));
    }

    // Each height of a value, then each limit in words with the values
    // compared.
    void verificaValore(const ValoreVerificato& verificato, const QString& simbolo) {
        const QString nome = q(valutazione::nomeValore(verificato.quale));
        const QString valore = nome.left(1).toUpper() + nome.mid(1) + " " + simbolo;
        scrittore_.vuota();
        if (verificato.altezze.empty()) {
            scrittore_.paragrafo(valore +
                                 ": la sezione non la raggiunge (portata massima della sezione " +
                                 n_.litriAlSecondo(s_.risposte->portataMassima().portata) +
                                 " l/s, velocità massima della sezione " +
                                 n_.cmAlSecondo(s_.risposte->velocitaMassima().velocita) +
                                 " cm/s): non verificata.");
            return;
        }
        for (const valutazione::AltezzaVerificata& a : verificato.altezze) {
            const analisi::Risposta& r = a.risposta;
            scrittore_.paragrafo(
                valore + QString(": altezza h = %1 cm, riempimento h/H = %2 %, "
                                 "velocità V = %3 cm/s, portata Q = %4 l/s.")
                             .arg(n_.centimetri(r.altezza), n_.percento(r.riempimento),
                                  n_.cmAlSecondo(r.velocita), n_.litriAlSecondo(r.portata)));
            for (const Controllo& c : a.controlli) {
                limite(c);
            }
        }
    }

    // A limit in words with the values compared: "velocità minima di
    // autopulizia: V = 86.31 cm/s ≥ 50 cm/s, verificata".
    void limite(const Controllo& c) {
        using Limite = Controllo::Limite;
        const progetto::Verifiche& v = p_.verifiche;
        const bool minimo = c.limite == Limite::VelocitaMinima;
        const bool riempimento = c.limite == Limite::RiempimentoMassimo;
        const progetto::Casella& casella = minimo        ? v.velocitaMinima
                                           : riempimento ? v.riempimentoMassimo
                                                         : v.velocitaMassima;
        const QString unita = riempimento ? "%" : "cm/s";
        scrittore_.paragrafo(
            QString("– %1: %2 = %3 %4 %5 %6 %7, %8.")
                .arg(q(valutazione::nomeLimite(c.limite)), valutazione::simboloLimite(c.limite),
                     n_.aConfronto(c.valore, c.soglia, riempimento ? "##0.0" : "###0.#0"), unita,
                     minimo ? (c.rispettato ? "≥" : "<") : (c.rispettato ? "≤" : ">"),
                     sogliaUsata(casella, c.soglia / 100), unita,
                     c.rispettato ? "verificata" : "non verificata"));
    }

    // A limit as checked, in the units of its box: the one typed, or the
    // proposal where the box gives none.
    QString sogliaUsata(const progetto::Casella& casella, double limite) const {
        const QString usata = n_(limite * 100);
        return casella.testo == CStr(limite * 100) ? usata : usata + " (proposta)";
    }

    void riferimenti(const analisi::Risposte& risposte) {
        scrittore_.vuota();
        scrittore_.paragrafo("Valori di riferimento, non verifiche:");
        Tabella t;
        t.righe = {{"", "h (cm)", "h/H (%)", "V (cm/s)", "Q (l/s)"}};
        for (const auto& [etichetta, r] :
             {std::pair{"Sezione piena", risposte.piena()},
              {"Velocità massima della sezione", risposte.velocitaMassima()},
              {"Portata massima della sezione", risposte.portataMassima()}}) {
            t.righe.push_back({etichetta, n_.centimetri(r.altezza), n_.percento(r.riempimento),
                               n_.cmAlSecondo(r.velocita), n_.litriAlSecondo(r.portata)});
        }
        t.larghezzeCm = {4, 2.5, 2.5, 2.5, 2.5};
        t.aDestra = {false, true, true, true, true};
        scrittore_.tabella(t, "Valori di riferimento della sezione.");
    }

    // The verdict, what fails counted by check and tabled item by item, the
    // exceptions and the provisions, as the evaluation judges them.
    void conclusioni() {
        sezione("Conclusioni");
        const std::string deroghe =
            tabellaDeroghe_ > 0 ? "tabella " + std::to_string(tabellaDeroghe_) : "";
        const valutazione::ConclusioneLinea c =
            valutazione::conclusioneLinea(v_, n_.separatore(), deroghe);
        scrittore_.paragrafo(q(c.giudizio));
        elenco(c.conteggi);
        if (!c.mancanze.empty()) {
            Tabella t;
            t.righe.emplace_back();
            for (const char* colonna : valutazione::colonneMancanze) {
                t.righe[0].push_back(colonna);
            }
            for (const valutazione::Mancanza& m : c.mancanze) {
                t.righe.push_back({q(m.elemento), q(m.verifica),
                                   m.valori.empty() ? QString("—") : q(m.valori), q(m.rimedio)});
            }
            t.larghezzeCm = {2.6, 3.4, 6.2, 4.8};
            t.aDestra = {false, false, false, false};
            scrittore_.vuota();
            scrittore_.tabella(t, valutazione::didascaliaMancanze);
        }
        elenco(c.deroghe);
        elenco(c.provvedimenti);
    }

    // A lead-in and its lines, as the limits are listed.
    void elenco(const valutazione::Elenco& e) {
        if (e.voci.empty()) {
            return;
        }
        scrittore_.vuota();
        scrittore_.paragrafo(q(e.titolo), true);
        for (std::size_t i = 0; i < e.voci.size(); ++i) {
            scrittore_.paragrafo("– " + q(e.voci[i]) + (i + 1 < e.voci.size() ? ";" : "."));
        }
    }

    // Who signs, and with what the report was made.
    void firma() {
        scrittore_.vuota(true);
        scrittore_.vuota(true);
        scrittore_.paragrafo(
            QString("Il progettista%1")
                .arg(p_.dati.progettista.empty() ? QString() : ", " + q(p_.dati.progettista)),
            true);
        scrittore_.vuota(true);
        scrittore_.paragrafo("______________________________", true);
        scrittore_.vuota();
        scrittore_.paragrafo(
            QString("Relazione composta con Sezione inglese %1.").arg(versioneProgramma));
    }

    // The table's law: Bazin's coefficient as typed, with the list entry's
    // words; another law (the command line's) by its name and coefficient.
    std::vector<QString> rigaLeggeTabella() const {
        const formule::Resistenza r = t_.ingressi.resistenza();
        if (r.legge == formule::Legge::Bazin) {
            return {"Coefficiente di scabrezza di Bazin γ (tabella)",
                    coefficienteComeScritto(p_.ingressi.coefficiente, dimensioni(), n_), "m½"};
        }
        return {"Legge di resistenza (tabella)",
                q(formule::nomeLegge(r.legge)) + ", " + q(testoResistenza(r, n_.separatore())), ""};
    }

    // The answers' law as chosen, its coefficient as typed, and the water's
    // temperature for Colebrook–White; a box that does not read says so.
    std::vector<std::vector<QString>> righeLeggeVerifiche() const {
        const progetto::Verifiche& v = p_.verifiche;
        const formule::Legge legge =
            formule::leggeDaChiave(v.legge).value_or(formule::Legge::Bazin);
        const auto letta = [this](const progetto::Casella& casella, const char* chiave) {
            const bool ferma = s_.impedimento && s_.impedimento->chiave == chiave;
            return comeScritto(casella) + (ferma ? " (non si legge)" : "");
        };
        std::vector<std::vector<QString>> righe{
            {"Legge di resistenza delle verifiche", q(formule::nomeLegge(legge)), ""}};
        if (s_.legge.dellaTabella) {
            righe.push_back({"Coefficiente γ delle verifiche", "quello della tabella", "m½"});
        } else {
            righe.push_back({QString("Coefficiente %1 delle verifiche")
                                 .arg(q(formule::simboloCoefficiente(legge))),
                             letta(v.scabrezza, "verifiche.scabrezza"),
                             q(formule::unitaCoefficiente(legge))});
        }
        if (legge == formule::Legge::Colebrook) {
            righe.push_back(
                {"Temperatura dell'acqua", letta(v.temperatura, "verifiche.temperatura"), "°C"});
        }
        return righe;
    }

    // The work in the designer's words, and the line in figures.
    void premessa() {
        sezione("Premessa");
        if (!p_.dati.descrizione.empty()) {
            for (const QString& capoverso :
                 q(p_.dati.descrizione).split('\n', Qt::SkipEmptyParts)) {
                scrittore_.paragrafo(capoverso);
            }
            scrittore_.vuota();
        }
        const valutazione::Rete& rete = v_.rete;
        double lunghezza = 0;
        for (const tratti::Tratto& t : rete.tratti) {
            lunghezza += t.lunghezza.value_or(0);
        }
        std::size_t pozzetti = 0;
        QStringList sbocchi;
        if (rete.esiti) {
            pozzetti = static_cast<std::size_t>(
                std::count_if(rete.esiti->pozzetti.begin(), rete.esiti->pozzetti.end(),
                              [](const tratti::EsitoPozzetto& p) { return p.usato; }));
            for (const tratti::Albero& a : rete.esiti->alberi) {
                sbocchi << q(a.sbocco);
            }
        }
        const std::size_t n = rete.tratti.size();
        QString testo = QString("La presente relazione riporta la verifica idraulica in moto "
                                "uniforme di %1 a sezione ovoidale di tipo inglese")
                            .arg(n == 1 ? QString("un tratto di fognatura")
                                        : QString("una rete di fognatura di %1 tratti").arg(n));
        if (lunghezza > 0) {
            testo += QString(", per una lunghezza complessiva di %1 m").arg(n_(lunghezza, "0.0"));
        }
        if (pozzetti > 0) {
            testo += QString(", fra %1 pozzetti").arg(pozzetti);
        }
        if (!sbocchi.isEmpty()) {
            testo += sbocchi.size() == 1
                         ? ", con sbocco in " + sbocchi.front()
                         : QString(", in %1 reti con sbocco in ").arg(sbocchi.size()) +
                               sbocchi.join(", ");
        }
        scrittore_.paragrafo(testo + ".");
        QString verifiche = "Per ogni tratto sono verificate la velocità e il riempimento alle "
                            "portate di progetto e di tempo secco";
        verifiche +=
            pozzetti > 0 ? "; ai pozzetti, la continuità delle quote e il ricoprimento." : ".";
        verifiche += " Le sezioni non indicate sono dimensionate dal catalogo.";
        if (!sbocchi.isEmpty()) {
            verifiche += " I profili longitudinali riportano le quote e i livelli idrici.";
        }
        scrittore_.paragrafo(verifiche);
        QStringList esistenti;
        for (const tratti::Tratto& t : rete.tratti) {
            if (t.esistente) {
                esistenti << q(t.nome);
            }
        }
        if (!esistenti.isEmpty()) {
            scrittore_.paragrafo((esistenti.size() == 1
                                      ? QString("Il tratto %1 è esistente: se ne verificano la "
                                                "sezione e le quote rilevate, che il progetto "
                                                "non cambia.")
                                      : QString("I tratti %1 sono esistenti: se ne verificano "
                                                "le sezioni e le quote rilevate, che il "
                                                "progetto non cambia."))
                                     .arg(esistenti.join(", ")));
        }
        if (!rete.deroghe.empty()) {
            scrittore_.paragrafo("Dove un controllo non è soddisfatto per ragioni che il "
                                 "progettista ha valutato, la deroga è indicata con il suo "
                                 "motivo; il tratto o il pozzetto risulta «verificato con "
                                 "deroga», e ogni altro controllo resta valido.");
        }
    }

    // Why the reaches were not checked: the box that stops the line.
    QString trattiNonVerificati() const {
        const std::optional<valutazione::CasellaSbagliata>& casella = v_.linea.impedimento;
        return "I tratti non sono stati verificati" +
               (casella ? ", perché non si legge " + q(valutazione::testoCasella(*casella))
                        : QString()) +
               ".";
    }

    // Each criterion with its value and the source the designer gave.
    void criteri() {
        sezione("Criteri di verifica e riferimenti");
        if (!v_.linea.impostazioni) {
            scrittore_.paragrafo(trattiNonVerificati());
            return;
        }
        const progetto::Verifiche& v = p_.verifiche;
        const progetto::Fonti& f = p_.dati.fonti;
        const tratti::Impostazioni& imp = *v_.linea.impostazioni;
        const auto fonte = [](const std::string& testo) {
            const QString scritta = q(testo).trimmed();
            return scritta.isEmpty() ? QString(progetto::fonteDelProgettista) : scritta;
        };
        const auto metri = [this](double valore) {
            return n_.misura(Misura::Dislivello, valore) + " m";
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
                   {"Legge di resistenza e coefficiente", leggeELCoefficiente(imp.resistenza),
                    fonte(f.legge)},
                   {"Allineamento ai pozzetti", allineamento, fonte(f.allineamento)},
                   {"Ricoprimento minimo sul cielo", metri(imp.ricoprimentoMinimo),
                    fonte(f.ricoprimento)}};
        if (imp.profonditaMassima) {
            t.righe.push_back({"Profondità massima di scavo", metri(*imp.profonditaMassima),
                               fonte(std::string())});
        }
        if (imp.saltoMassimo) {
            t.righe.push_back({"Salto massimo senza pozzetto di salto", metri(*imp.saltoMassimo),
                               fonte(std::string())});
        }
        t.larghezzeCm = {6.5, 4.5, 6};
        scrittore_.tabella(t, "Criteri di verifica, valori adottati e fonti.");
        scrittore_.paragrafo(
            "Le velocità e il riempimento sono verificati in moto uniforme, alle altezze d'acqua "
            "che la legge di resistenza dà per le portate di ogni tratto; il catalogo delle "
            "sezioni, in raggi r (cm), è " +
            catalogo(imp.catalogo) + ".");
    }

    // "Bazin, γ = 0.18".
    QString leggeELCoefficiente(const formule::Resistenza& resistenza) const {
        return q(formule::nomeLegge(resistenza.legge)) + ", " +
               q(testoResistenza(resistenza, n_.separatore()));
    }

    // The sizes from the smallest, as the sizing tries them.
    QString catalogo(std::vector<double> raggi) const {
        std::sort(raggi.begin(), raggi.end());
        QStringList testi;
        for (const double r : raggi) {
            testi << n_(r);
        }
        return testi.join(", ");
    }

    // The reaches, the manholes, and what fails with the slopes that would
    // pass; none of it when the reaches were not checked.
    void verificaDellaRete() {
        sezione("Verifica della rete");
        if (!v_.rete.esiti) {
            scrittore_.paragrafo(trattiNonVerificati());
            return;
        }
        const tratti::EsitiRete& esiti = *v_.rete.esiti;
        const tratti::Impostazioni& imp = *v_.linea.impostazioni;
        sottosezione("Tratti");
        const valutazione::Giudizio& g = v_.giudizio;
        const std::size_t nonCalcolati = g.nonCalcolati + g.illeggibili;
        QString sommario = QString("%1: %2, %3")
                               .arg(plurale(g.tratti, "tratto", "tratti"),
                                    plurale(g.verificati, "verificato", "verificati"),
                                    plurale(g.tratti - g.verificati - nonCalcolati,
                                            "non verificato", "non verificati"));
        if (nonCalcolati > 0) {
            sommario += ", " + plurale(nonCalcolati, "non calcolato", "non calcolati");
        }
        scrittore_.paragrafo(sommario + ".", true);
        const bool leggiProprie =
            std::any_of(v_.rete.tratti.begin(), v_.rete.tratti.end(),
                        [](const tratti::Tratto& t) { return t.resistenza.has_value(); });
        scrittore_.paragrafo(
            QString("Ogni tratto è verificato alla portata di progetto (velocità minima e "
                    "massima, riempimento massimo) e alla portata minima (velocità minima di "
                    "autopulizia), con i limiti e la legge di resistenza delle verifiche "
                    "(%1)%2; un raggio seguito da * è scelto dal catalogo: il più "
                    "piccolo, non minore di quelli a monte, che rispetta tutti i limiti o, quando "
                    "nessuno li rispetta, il più piccolo entro il riempimento, e il tratto non "
                    "è verificato.")
                .arg(leggeELCoefficiente(imp.resistenza),
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
        }
        luogo.aDestra[1] = luogo.aDestra[2] = false;
        acqua.aDestra.back() = false;
        // Each reach's note begins with its name, as written.
        QStringList leggi;
        QStringList motivi;
        std::size_t k = 0;
        for (const progetto::RigaLetta& riga : v_.rete.righe) {
            const QString nome = q(riga.nome());
            if (!riga.tratto) {
                for (Tabella* t : {&luogo, &acqua}) {
                    std::vector<QString> vuota(10, "—");
                    vuota.front() = nome;
                    t->righe.push_back(vuota);
                }
                acqua.righe.back().back() = "non calcolato";
                motivi << nome + QString(": non calcolato, «%1»: %2.")
                                     .arg(q(riga.errore->colonna()), q(riga.errore->motivo()));
                continue;
            }
            const tratti::Tratto& tratto = *riga.tratto;
            const tratti::Esito& e = esiti.esiti[k++];
            luogo.righe.push_back(rigaLuogo(tratto, e));
            acqua.righe.push_back(rigaAcqua(tratto, e));
            if (tratto.resistenza) {
                leggi << nome + ": legge di " +
                             leggeELCoefficiente(tratto.resistenzaDi(imp.resistenza)) + ".";
            }
            if (!e.verificato) {
                motivi << nome + ": " + q(tratti::motivoDi(e, n_.separatore())) + "." +
                              pendenzeAmmesse(e);
            }
        }
        scrittore_.tabella(luogo, "Tratti: pozzetti, lunghezza, sezione (* scelta dal "
                                  "catalogo), pendenza e quote.");
        scrittore_.vuota();
        scrittore_.tabella(acqua, "Tratti: portate, livelli idrici, velocità ed esito.");
        for (const QString& legge : leggi) {
            scrittore_.paragrafo(legge);
        }
        pozzetti(esiti);
        sottosezione("Tratti non verificati");
        if (motivi.empty()) {
            scrittore_.paragrafo("Tutti i tratti sono verificati.");
        }
        for (const QString& motivo : motivi) {
            scrittore_.paragrafo(motivo);
        }
        deroghe();
    }

    // The designer's exceptions: each check accepted, the values found and
    // the reason; one that accepted nothing says why.
    void deroghe() {
        const std::vector<tratti::DerogaApplicata>& applicate = v_.rete.derogheApplicate;
        if (applicate.empty()) {
            return;
        }
        sottosezione("Deroghe");
        Tabella t;
        t.righe = {{"Elemento", "Controllo", "Valori riscontrati", "Motivo della deroga"}};
        t.larghezzeCm = {2.6, 3.2, 5.8, 5.4};
        t.aDestra = {false, false, false, false};
        for (const tratti::DerogaApplicata& a : applicate) {
            const tratti::Deroga& d = a.deroga;
            QStringList valori;
            for (const tratti::Rilievo& r : a.rilievi) {
                valori << q(tratti::testoRilievo(r, n_.separatore(), d.voce));
            }
            const bool senzaMotivo = !tratti::motivoDato(d.motivo);
            if (senzaMotivo) {
                valori = QStringList{"deroga non applicata: manca il motivo"};
            } else if (valori.isEmpty()) {
                valori << "nessuno: il controllo è soddisfatto, la deroga non serve";
            }
            t.righe.push_back(
                {(d.voce == tratti::Voce::Tratto ? "tratto " : "pozzetto ") + q(d.nome),
                 q(std::string(tratti::nomeControllo(d.controllo))), valori.join("; "),
                 senzaMotivo ? QString("—") : q(d.motivo)});
        }
        tabellaDeroghe_ = scrittore_.tabella(t, "Deroghe: controlli accettati dal progettista, "
                                                "con i valori e il motivo.");
    }

    // The slopes within which a failing reach would pass at its size, when
    // its own is not among them.
    QString pendenzeAmmesse(const tratti::Esito& e) const {
        const std::string rimedio = tratti::rimedioDi(e, n_.separatore());
        if (rimedio.empty()) {
            return {};
        }
        return e.senzaPendenza
                   ? QString(" Alla sua sezione nessuna pendenza rispetta tutti i limiti.")
                   : " Alla sua sezione rispetta i limiti con " + q(rimedio) + ".";
    }

    // Every path of each tree, the main line first and then its branches,
    // a figure a sheet, turned to stand along the page: landscape sheets at
    // the scales the project chose, or fitted to them.
    void profili() {
        if (!v_.rete.esiti) {
            return;
        }
        const tratti::EsitiRete& esiti = *v_.rete.esiti;
        const tratti::Percorsi percorsi(v_.rete.tratti, esiti);
        bool titolo = false;
        for (const tratti::Albero& albero : esiti.alberi) {
            const std::vector<tratti::Percorso> tracciati = percorsi.daDisegnare(albero.sbocco);
            if (tracciati.empty()) {
                continue;
            }
            if (!titolo) {
                sezione("Profili longitudinali");
                scrittore_.paragrafo(
                    "Per ogni rete è disegnato prima il collettore principale, il percorso più "
                    "lungo dal pozzetto di testa allo sbocco, poi ciascun ramo, dal suo pozzetto "
                    "di testa fino al pozzetto in cui si innesta in un percorso già disegnato: "
                    "i rami più lunghi per primi, ciascuno seguito dai rami che si innestano in "
                    "esso.",
                    true);
                titolo = true;
            }
            for (const tratti::Percorso& tracciato : tracciati) {
                profilo(percorsi, tracciato, tracciati.front().testa);
            }
        }
    }

    // "collettore principale", or "ramo fino all'innesto in P7 nel
    // collettore principale" / "nel ramo da B0".
    static QString ruolo(const tratti::Percorso& tracciato, const std::string& principale) {
        if (tracciato.principale()) {
            return "collettore principale";
        }
        return QString("ramo fino all'innesto in %1 %2")
            .arg(q(tracciato.fine), tracciato.innesto == principale
                                        ? QString("nel collettore principale")
                                        : "nel ramo da " + q(tracciato.innesto));
    }

    void profilo(const tratti::Percorsi& percorsi, const tratti::Percorso& tracciato,
                 const std::string& principale) {
        const QString nome =
            QString("Profilo longitudinale da %1 a %2").arg(q(tracciato.testa), q(tracciato.fine));
        const auto nonDisegnato = [&](const QString& motivo) {
            scrittore_.paragrafo(QString("%1 non disegnato: %2.").arg(nome, motivo), true);
        };
        tratti::Profilo profilo;
        try {
            profilo = percorsi.da(tracciato.testa, tracciato.fine);
        } catch (const std::invalid_argument& e) {
            nonDisegnato(q(e.what()));
            return;
        }
        const auto impagina = [&](std::optional<double> orizzontale,
                                  std::optional<double> verticale) {
            ImpaginazioneProfilo imp =
                impaginaProfilo(profilo, foglioDelProfilo, orizzontale, verticale, false,
                                misuraDelProfilo, fogliMassimiDelProfilo);
            imp.cartiglio = cartiglioDelProfilo(p_.dati, profilo);
            return imp;
        };
        // The project's scales where the path fits the report's sheets at
        // them; else fitted, and said so.
        const progetto::DisegnoProfilo& scelte = p_.profilo;
        std::optional<ImpaginazioneProfilo> imp;
        if (scelte.scalaOrizzontale || scelte.scalaVerticale) {
            try {
                imp = impagina(scelte.scalaOrizzontale, scelte.scalaVerticale);
                if (foglioCheNonSta(profilo, *imp)) {
                    imp.reset();
                }
            } catch (const std::invalid_argument&) {
                imp.reset();
            }
            if (!imp) {
                scrittore_.paragrafo(QString("Il profilo da %1 a %2 non sta nei fogli della "
                                             "relazione alle scale scelte nel progetto: è "
                                             "disegnato alle scale adatte al foglio.")
                                         .arg(q(tracciato.testa), q(tracciato.fine)),
                                     true);
            }
        }
        try {
            if (!imp) {
                imp = impagina(std::nullopt, std::nullopt);
            }
        } catch (const TroppiFogli& e) {
            nonDisegnato(q(e.what()) + (e.scalaCheBasta ? "; lo si esporti a parte, "
                                                          "in PDF o in DXF"
                                                        : ""));
            return;
        } catch (const std::invalid_argument& e) {
            nonDisegnato(q(e.what()));
            return;
        }
        if (const std::optional<std::size_t> foglio = foglioCheNonSta(profilo, *imp)) {
            nonDisegnato(QString("le quote del foglio %1 non stanno nel disegno nemmeno alla "
                                 "scala verticale 1:%2")
                             .arg(*foglio + 1)
                             .arg(n_(imp->scalaVerticale)));
            return;
        }
        const auto tratti = static_cast<std::int64_t>(profilo.tratti.size());
        const auto fogli = static_cast<std::int64_t>(imp->fogli.size());
        for (std::size_t f = 0; f < imp->fogli.size(); ++f) {
            const auto numero = static_cast<std::int64_t>(f);
            avanza(tratti * (numero + 1) / fogli - tratti * numero / fogli);
            QString didascalia = nome + ", " + ruolo(tracciato, principale);
            if (imp->fogli.size() > 1) {
                didascalia += QString(", foglio %1 di %2").arg(f + 1).arg(imp->fogli.size());
            }
            didascalia += QString(": scala orizzontale 1:%1, verticale 1:%2.")
                              .arg(n_(imp->scalaOrizzontale), n_(imp->scalaVerticale));
            // The sheet made once: its SVG for the files, and painted as it
            // is on the screen and the .pdf.
            auto foglio = std::make_shared<const disegno::Disegno>(
                disegnoDelFoglio(profilo, *imp, f, n_.separatore()));
            scrittore_.disegno(
                QByteArray::fromStdString(disegno::svg(*foglio, "Profilo longitudinale", true)),
                foglioDelProfilo.transposed() / 10, didascalia,
                [foglio](QPainter& pittore, const QRectF& dove) {
                    disegnaNelRettangolo(pittore, *foglio, dove, true);
                },
                true);
        }
    }

    // A reach's manholes, length, size ("60/90", starred when chosen), slope
    // and levels.
    std::vector<QString> rigaLuogo(const tratti::Tratto& tratto, const tratti::Esito& e) const {
        const auto oTrattino = [](const std::string& testo) {
            return testo.empty() ? QString("—") : q(testo);
        };
        return {
            q(tratto.nome),
            oTrattino(tratto.pozzettoMonte),
            oTrattino(tratto.pozzettoValle),
            n_.misura(Misura::Lunghezza, tratto.lunghezza),
            e.raggio > 0 ? q(TestoSezione(e.raggio, n_.separatore())) + (e.dimensionato ? "*" : "")
                         : QString("—"),
            n_.misura(Misura::Pendenza, e.pendenza > 0 ? std::optional(e.pendenza) : std::nullopt),
            n_.misura(Misura::Quota, e.quotaMonte),
            n_.misura(Misura::Quota, e.quotaValle),
            n_.misura(Misura::Dislivello, e.salto),
            n_.misura(Misura::Dislivello, e.ricoprimento)};
    }

    // Its flows and water, against the full section's flow, and its verdict.
    std::vector<QString> rigaAcqua(const tratti::Tratto& tratto, const tratti::Esito& e) const {
        const auto altezza = [this](const std::optional<analisi::Risposta>& r) {
            return n_.misura(Misura::Altezza, r ? std::optional(r->altezza) : std::nullopt);
        };
        const auto velocita = [this](const std::optional<analisi::Risposta>& r) {
            return n_.misura(Misura::Velocita, r ? std::optional(r->velocita) : std::nullopt);
        };
        const auto portata = [this](std::optional<double> litriAlSecondo) {
            return n_.misura(Misura::Portata,
                             litriAlSecondo ? std::optional(*litriAlSecondo / 1000) : std::nullopt);
        };
        return {q(tratto.nome),
                portata(tratto.portata),
                e.portataPiena > 0 ? n_(tratto.portata / 1000 / e.portataPiena, "0.00")
                                   : QString("—"),
                altezza(e.progetto),
                n_.misura(Misura::Riempimento,
                          e.progetto ? std::optional(e.progetto->riempimento) : std::nullopt),
                velocita(e.progetto),
                portata(tratto.portataMinima),
                altezza(e.minima),
                velocita(e.minima),
                QString(e.verdetto()) + (tratto.esistente ? " (esistente)" : "")};
    }

    // The manholes the reaches join: ground, invert, drop, cover, depth and
    // the continuity checks' verdict; then what fails at each.
    void pozzetti(const tratti::EsitiRete& esiti) {
        sottosezione("Pozzetti");
        Tabella t;
        t.righe = {{"Pozzetto", "Terreno", "Scorrimento", "Salto", "Ricoprimento", "Profondità",
                    "Esito", "Nota"},
                   {"", "(m)", "(m)", "(m)", "(m)", "(m)", "", ""}};
        t.righeIntestazione = 2;
        t.larghezzeCm = {2.2, 1.8, 2.2, 1.5, 2.3, 2.1, 2.4, 2.5};
        t.aDestra = {false, true, true, true, true, true, false, false};
        const std::vector<std::string>& diSalto = v_.giudizio.pozzettiDiSalto;
        QStringList difetti;
        for (const tratti::EsitoPozzetto& p : esiti.pozzetti) {
            if (!p.usato && p.verificato()) {
                continue;
            }
            const bool salto = std::find(diSalto.begin(), diSalto.end(), p.nome) != diSalto.end();
            t.righe.push_back({q(p.nome), n_.misura(Misura::Quota, p.quotaTerreno),
                               n_.misura(Misura::Quota, p.quotaFondo),
                               n_.misura(Misura::Dislivello, p.salto),
                               n_.misura(Misura::Dislivello, p.ricoprimento),
                               n_.misura(Misura::Dislivello, p.profondita),
                               !p.verificato() ? QString("non verificato")
                               : p.conDeroga() ? QString("verificato con deroga")
                                               : QString("verificato"),
                               p.sbocco ? QString("sbocco")
                               : salto  ? QString("pozzetto di salto")
                                        : QString()});
            if (!p.verificato()) {
                QStringList testi;
                for (const tratti::Rilievo& r : p.rilievi) {
                    if (r.gravita() == tratti::Gravita::Difetto) {
                        testi << q(
                            tratti::testoRilievo(r, n_.separatore(), tratti::Voce::Pozzetto));
                    }
                }
                difetti << q(p.nome) + ": " + testi.join("; ") + ".";
            }
        }
        if (t.righe.size() == 2) {
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
        for (const QString& difetto : difetti) {
            scrittore_.paragrafo(difetto);
        }
    }

    QString dimensioni() const {
        return q(TestoSezione(t_.ingressi.raggio, n_.separatore())).replace('/', " × ");
    }

    // As typed, and what the table used when it had to be bounded.
    QString incremento() const {
        const QString scritto = comeScritto(p_.ingressi.incremento);
        const double usato = t_.ingressi.incremento;
        if (p_.ingressi.incremento.vuota() || p_.ingressi.incremento.valore() == usato) {
            return scritto;
        }
        return scritto + " (usato " + n_(usato) + ")";
    }

    // The heights the figures mark: the minimum flow's, then the design
    // flow's.
    std::vector<LivelloAcqua> livelliPrincipali() const {
        std::vector<LivelloAcqua> livelli;
        if (s_.richieste.altezzaMinima) {
            livelli.push_back({"Qmin", s_.richieste.altezzaMinima->altezza, true});
        }
        int i = 0;
        for (const analisi::Risposta& r : s_.richieste.altezzePortata) {
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
            riga.push_back(q(testoDellaColonna(colonna, t_.riga(k), n_.separatore())));
        }
        return riga;
    }

    ScrittoreRelazione scrittore_;
    const Numeri n_;
    const progetto::Progetto& p_;
    const valutazione::Valutazione& v_;
    const calcolo::Tabella& t_;
    const valutazione::Sezione& s_;
    bool conTratti_ = false;
    int tabellaDeroghe_ = 0;     // its number, once written
    bool conSezioneTipo_ = true; // the report holds the typical section and its table
    bool sottoparti_ = false;    // the typical section's parts are subsections
    int capitolo_ = 0;
    int paragrafo_ = 0;
    Avanzamento& avanzamento_;
    std::int64_t lavoro_ = 1;
    std::int64_t fatto_ = 0;
};

} // namespace

void scriviRelazioneCalcolo(QTextDocument& documento, const progetto::Progetto& progetto,
                            const valutazione::Valutazione& valutazione, Separatore separatore,
                            Avanzamento avanzamento) {
    const progetto::Dati& d = progetto.dati;
    QString soggetto = "Verifica idraulica di un collettore a sezione inglese";
    if (!d.opera.empty() || !d.tratto.empty()) {
        soggetto += " – " + q(d.opera) + (d.opera.empty() || d.tratto.empty() ? "" : ", ") +
                    (d.tratto.empty() ? QString() : "tratto " + q(d.tratto));
    }
    impostaProprieta(documento,
                     {"Relazione di calcolo idraulico", q(d.progettista), soggetto,
                      d.opera.empty() ? QString("Relazione di calcolo idraulico") : q(d.opera)});
    Relazione relazione(documento, progetto, valutazione, separatore, avanzamento);
    inserisciIndice(documento, relazione.scrivi());
    relazione.finita();
    documento.setModified(true);
}
