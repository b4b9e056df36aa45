#include "figure/foglio_profilo.h"

#include "file/utf8.h"
#include "numeri/conversioni.h"
#include "numeri/formato.h"
#include "tratti/parole.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <span>
#include <string>
#include <unordered_map>

using disegno::Colore;
using disegno::Orizzontale;
using disegno::Penna;
using disegno::Punto;
using disegno::Rettangolo;
using disegno::Stile;
using disegno::Testo;
using disegno::Verticale;

const std::vector<std::string_view> stratiDelProfilo = {
    "CONDOTTE", "TERRENO", "PELO_LIBERO", "CIELO",   "SCORRIMENTO", "NON_VERIFICATI",
    "POZZETTI", "TESTI",   "QUOTE",       "TABELLA", "NOTE",        "CARTIGLIO"};

namespace {

// The sheet's layout, mm at full size.
constexpr double margine = 10;
constexpr double rigaTitolo = 10; // each of the title block's two rows: two lines of the least text
constexpr double colonnaTitoli = 40; // the table rows' titles, the levels' axis
constexpr double fasciaLegenda = 7;  // the lines' keys, under the drawing
constexpr double rigaTratto = 6;
constexpr double sopraIlTerreno = 14;    // room for the manholes' names
constexpr double trattoLeggibile = 14;   // the least width a reach is given when fitted
constexpr double bordoInterno = 6;       // between the frame and the first or last manhole
constexpr double altezzaMinimaTesto = 2; // printed, mm

// The texts' sizes, capitals mm at full size.
constexpr double testoValori = 2;
constexpr double testoTitoliRighe = 2.2;
constexpr double testoNomi = 2.4;
constexpr double testoCartiglio = 2.5;

// The manholes' rows: their values stand upright, each row as high as its
// longest value, at least `minima`.
struct RigaPozzetti {
    const char* titolo;
    double minima; // mm
};
constexpr std::array<RigaPozzetti, 7> righePozzetti = {{{"Pozzetto", 8},
                                                        {"Progressiva (m)", 8},
                                                        {"Quota terreno (m)", 8},
                                                        {"Quota cielo (m)", 8},
                                                        {"Quota pelo libero (m)", 8},
                                                        {"Quota scorrimento (m)", 8},
                                                        {"Profondità (m)", 8}}};
// A manhole's name is given at most so much of its row; a longer one goes
// to the notes.
constexpr double nomeMassimo = 24;
constexpr std::array<const char*, 5> righeTratti = {"Lunghezza (m)", "Pendenza (‰)", "Sezione (cm)",
                                                    "Portata di progetto (l/s)", "h/H"};

constexpr Colore coloreTerreno{140, 90, 40};
constexpr Colore coloreAcqua{30, 95, 190};
constexpr Colore coloreAcquaMinima{90, 160, 220};
constexpr Colore coloreRottura{210, 30, 30};
constexpr Colore coloreCondotta{235, 235, 235};
constexpr Colore coloreAcquaPiena{205, 225, 245};

bool eguale(double a, double b) {
    return std::fabs(a - b) <= 1e-9 * std::max(1.0, std::fabs(b));
}

// The usual scales of a profile, 1:N.
std::optional<double> scalaUsuale(double minima, const std::vector<double>& usuali) {
    for (const double n : usuali) {
        if (n >= minima * (1 - 1e-12)) {
            return n;
        }
    }
    return std::nullopt;
}

const std::vector<double> scaleOrizzontali = {100,  200,   250,   500,   1000,  2000,  2500,
                                              5000, 10000, 20000, 25000, 50000, 100000};
const std::vector<double> scaleVerticali = {10,    20,    25,     50,     100,    200,    250,
                                            500,   1000,  2000,   2500,   5000,   10000,  20000,
                                            25000, 50000, 100000, 200000, 250000, 500000, 1000000};

// A text's size at full size, so that it prints at least 2 mm high.
double misuraTesto(double nominale, double misura) {
    return std::max(nominale, altezzaMinimaTesto / misura);
}

// A level that can be drawn: an infinite one, or none, is unknown.
std::optional<double> finita(std::optional<double> quota) {
    return quota && std::isfinite(*quota) ? quota : std::nullopt;
}

std::string numero(double valore, const char* modello, Separatore separatore) {
    return std::isfinite(valore) ? Format(valore, modello, separatore) : "–";
}

// A value of the manholes' table: one, or two where the reach arriving and
// the one leaving differ, written side by side.
struct Valore {
    std::string arrivo, partenza; // `partenza` empty for one value

    std::string comeTesto() const { return partenza.empty() ? arrivo : arrivo + " / " + partenza; }
};

Valore dueQuote(std::optional<double> arrivo, std::optional<double> partenza,
                Separatore separatore) {
    arrivo = finita(arrivo);
    partenza = finita(partenza);
    if (arrivo && partenza && !eguale(*arrivo, *partenza)) {
        return {numero(*arrivo, "0.00", separatore), numero(*partenza, "0.00", separatore)};
    }
    if (arrivo || partenza) {
        return {numero(arrivo ? *arrivo : *partenza, "0.00", separatore), {}};
    }
    return {"–", {}};
}

// A manhole's values in the table, row by row.
std::array<Valore, righePozzetti.size()> valoriPozzetto(const tratti::Profilo& profilo,
                                                        std::size_t i, Separatore separatore) {
    using L = tratti::LivelliProfilo;
    const tratti::PozzettoProfilo& pz = profilo.pozzetti[i];
    const tratti::TrattoProfilo* arriva = i > 0 ? &profilo.tratti[i - 1] : nullptr;
    const tratti::TrattoProfilo* parte = i < profilo.tratti.size() ? &profilo.tratti[i] : nullptr;
    const auto livello = [&](tratti::Linea linea) {
        return dueQuote(
            arriva ? tratti::livelloSulTratto(profilo, *arriva, arriva->a, linea) : std::nullopt,
            parte ? tratti::livelloSulTratto(profilo, *parte, parte->da, linea) : std::nullopt,
            separatore);
    };
    const std::optional<double> fondo = finita(pz.fondo());
    const std::optional<double> terreno = finita(pz.terreno);
    return {Valore{pz.nome, {}},
            Valore{numero(pz.progressiva, "0.00", separatore), {}},
            Valore{terreno ? numero(*terreno, "0.00", separatore) : "–", {}},
            livello(&L::cielo),
            livello(&L::acquaProgetto),
            dueQuote(pz.fondoArrivo, pz.fondoPartenza, separatore),
            Valore{terreno && fondo ? numero(*terreno - *fondo, "0.00", separatore) : "–", {}}};
}

std::array<std::string, righeTratti.size()> valoriTratto(const tratti::TrattoProfilo& t,
                                                         Separatore separatore) {
    return {numero(t.lunghezza(), "0.00", separatore),
            numero(t.pendenza * 1000, "0.00", separatore), t.sezione(),
            numero(t.portata, "0.0", separatore),
            t.riempimento ? numero(*t.riempimento, "0.00", separatore) : "–"};
}

// The heights of the manholes' rows, mm at full size: each holds its
// longest value upright, a name at most `nomeMassimo`.
std::array<double, righePozzetti.size()> altezzeRighe(const tratti::Profilo& profilo,
                                                      double testo) {
    std::array<double, righePozzetti.size()> altezze{};
    for (std::size_t r = 0; r < righePozzetti.size(); ++r) {
        altezze[r] = righePozzetti[r].minima;
    }
    for (std::size_t i = 0; i < profilo.pozzetti.size(); ++i) {
        const auto valori = valoriPozzetto(profilo, i, Separatore::Punto);
        for (std::size_t r = 0; r < valori.size(); ++r) {
            const double serve = std::max(disegno::larghezza(valori[r].arrivo, testo),
                                          disegno::larghezza(valori[r].partenza, testo)) +
                                 2;
            altezze[r] = std::max(altezze[r], r == 0 ? std::min(serve, nomeMassimo) : serve);
        }
    }
    return altezze;
}

double larghezzaDisegno(DimensioniFoglio foglio) {
    return foglio.larghezza - 2 * margine - colonnaTitoli;
}

// The width the path may take on a sheet.
double campoDelPercorso(DimensioniFoglio foglio) {
    return larghezzaDisegno(foglio) - 2 * bordoInterno;
}

// The sheet as it is laid out, its furniture at full size.
DimensioniFoglio foglioVirtuale(const ImpaginazioneProfilo& imp) {
    return {imp.foglio.larghezza / imp.misura, imp.foglio.altezza / imp.misura};
}

// The layout's rows, or the least ones for a layout made by hand.
std::array<double, righePozzetti.size()> righeDi(const ImpaginazioneProfilo& imp) {
    std::array<double, righePozzetti.size()> righe{};
    for (std::size_t r = 0; r < righe.size(); ++r) {
        righe[r] = r < imp.righeTabella.size()
                       ? std::max(imp.righeTabella[r], righePozzetti[r].minima)
                       : righePozzetti[r].minima;
    }
    return righe;
}

double altezzaTabella(const ImpaginazioneProfilo& imp) {
    double altezza = righeTratti.size() * rigaTratto;
    for (const double r : righeDi(imp)) {
        altezza += r;
    }
    return altezza;
}

Rettangolo areaVirtuale(const ImpaginazioneProfilo& imp) {
    const DimensioniFoglio foglio = foglioVirtuale(imp);
    const double alto = margine + 2 * rigaTitolo + sopraIlTerreno;
    return {margine + colonnaTitoli, alto, larghezzaDisegno(foglio),
            foglio.altezza - margine - fasciaLegenda - altezzaTabella(imp) - alto};
}

// The levels a stretch of the path reaches, lowest and highest: only its
// own manholes and reaches are looked at.
std::optional<std::pair<double, double>> escursione(const tratti::Profilo& profilo, double da,
                                                    double a) {
    double basso = std::numeric_limits<double>::infinity();
    double alto = -basso;
    const auto tieni = [&](std::optional<double> z) {
        if (finita(z)) {
            basso = std::min(basso, *z);
            alto = std::max(alto, *z);
        }
    };
    const auto [primoPozzetto, finePozzetti] = profilo.pozzettiTra(da - 1e-9, a + 1e-9);
    for (std::size_t i = primoPozzetto; i < finePozzetti; ++i) {
        tieni(profilo.pozzetti[i].terreno);
        tieni(profilo.pozzetti[i].fondo());
    }
    const auto [primoTratto, fineTratti] = profilo.trattiTra(da - 1e-9, a + 1e-9);
    for (std::size_t k = primoTratto; k < fineTratti; ++k) {
        const tratti::TrattoProfilo& t = profilo.tratti[k];
        for (const double x : {std::max(t.da, da), std::min(t.a, a)}) {
            const tratti::LivelliProfilo l = tratti::livelliA(profilo, x);
            tieni(l.terreno);
            tieni(l.fondo);
            tieni(l.cielo);
        }
    }
    if (!(basso <= alto)) {
        return std::nullopt;
    }
    return std::pair{basso, alto};
}

// The path on sheets `campo` metres of it wide: a sheet ends at the
// farthest manhole it holds, and a reach longer than a sheet is cut where
// sheets end. Walked a manhole at a time, the cuts along a long reach
// counted at once: as many steps as manholes, whatever the scale, and the
// sheets counted before any is made.
class DivisoInFogli {
  public:
    DivisoInFogli(const tratti::Profilo& profilo, double campo)
        : campo_(campo), fine_(profilo.lunghezza()) {
        const std::vector<tratti::PozzettoProfilo>& pozzetti = profilo.pozzetti;
        double inizio = 0;
        std::size_t ultimo = 0; // the last manhole on a sheet so far
        while (ultimo + 1 < pozzetti.size()) {
            const double prossimo = pozzetti[ultimo + 1].progressiva;
            // A manhole where the last one stands is on its sheet already.
            if (!(prossimo > inizio + 1e-9)) {
                ++ultimo;
                continue;
            }
            const double tagli =
                std::max(0.0, std::ceil((prossimo - inizio - campo - 1e-9) / campo));
            const double partenza = inizio + tagli * campo;
            std::size_t fine = ultimo + 1;
            while (fine + 1 < pozzetti.size() &&
                   pozzetti[fine + 1].progressiva <= partenza + campo + 1e-9) {
                ++fine;
            }
            corse_.push_back({inizio, tagli, pozzetti[fine].progressiva});
            quanti_ += tagli + 1;
            inizio = pozzetti[fine].progressiva;
            ultimo = fine;
        }
    }

    // Infinite, or not a number, for a path that no sheets would hold.
    double quanti() const { return std::max(quanti_, 1.0); }

    // Only for as many sheets as may be made.
    std::vector<FoglioProfilo> fogli() const {
        std::vector<FoglioProfilo> fogli;
        fogli.reserve(static_cast<std::size_t>(quanti()));
        for (const Corsa& c : corse_) {
            const auto tagli = static_cast<std::size_t>(c.tagli);
            for (std::size_t m = 0; m < tagli; ++m) {
                fogli.push_back({c.inizio + m * campo_, c.inizio + (m + 1) * campo_});
            }
            fogli.push_back({c.inizio + c.tagli * campo_, c.fine});
        }
        if (fogli.empty()) {
            fogli.push_back({0, fine_});
        }
        return fogli;
    }

  private:
    // `tagli` sheets a whole `campo_` wide from `inizio`, then one to the
    // manhole at `fine`.
    struct Corsa {
        double inizio, tagli, fine;
    };
    std::vector<Corsa> corse_;
    double campo_;
    double fine_;
    double quanti_ = 0;
};

// The boxes of the texts put on a sheet, in cells of a grid: a text is
// checked against its neighbours only.
class Occupati {
  public:
    bool libero(const Rettangolo& r) const {
        bool esito = true;
        celle(r, [&](long long c) {
            if (const auto dove = celle_.find(c); dove != celle_.end()) {
                for (const Rettangolo& altro : dove->second) {
                    esito = esito && !altro.interseca(r);
                }
            }
        });
        return esito;
    }
    void prendi(const Rettangolo& r) {
        celle(r, [&](long long c) { celle_[c].push_back(r); });
    }

  private:
    static constexpr double lato = 10; // mm
    template <class Fa> static void celle(const Rettangolo& r, const Fa& fa) {
        const auto cella = [](double v) {
            return static_cast<long long>(std::floor(std::clamp(v, -1e6, 1e6) / lato));
        };
        for (long long i = cella(r.x); i <= cella(r.destra()); ++i) {
            for (long long j = cella(r.y); j <= cella(r.basso()); ++j) {
                fa(i * 1000003 + j);
            }
        }
    }
    std::unordered_map<long long, std::vector<Rettangolo>> celle_;
};

// A note's number as it is written: "(3)".
std::string segnoNota(std::size_t numero) {
    std::string segno(1, '(');
    segno += std::to_string(numero);
    segno += ')';
    return segno;
}

// A word longer than a line, in pieces that fit, broken between characters.
std::vector<std::string> spezzata(const std::string& parola, double altezza, double larghezza) {
    std::vector<std::string> pezzi(1);
    for (std::size_t i = 0; i < parola.size();) {
        char32_t c = 0;
        const std::size_t passo = std::max<std::size_t>(sequenzaUtf8(parola.substr(i), c), 1);
        const std::string carattere = parola.substr(i, passo);
        if (!pezzi.back().empty() &&
            disegno::larghezza(pezzi.back() + carattere, altezza) > larghezza) {
            pezzi.emplace_back();
        }
        pezzi.back() += carattere;
        i += passo;
    }
    return pezzi;
}

// Words broken into lines no longer than `larghezza` mm.
std::vector<std::string> aCapo(const std::string& testo, double altezza, double larghezza) {
    std::vector<std::string> righe;
    std::string riga;
    std::size_t i = 0;
    while (i < testo.size()) {
        std::size_t fine = testo.find(' ', i);
        if (fine == std::string::npos) {
            fine = testo.size();
        }
        const std::string parola = testo.substr(i, fine - i);
        const std::string prova = riga.empty() ? parola : riga + " " + parola;
        if (disegno::larghezza(prova, altezza) <= larghezza) {
            riga = prova;
        } else {
            if (!riga.empty()) {
                righe.push_back(riga);
            }
            std::vector<std::string> pezzi = spezzata(parola, altezza, larghezza);
            riga = pezzi.back();
            pezzi.pop_back();
            righe.insert(righe.end(), pezzi.begin(), pezzi.end());
        }
        i = fine + 1;
    }
    if (!riga.empty()) {
        righe.push_back(riga);
    }
    return righe;
}

// One sheet's drawing, its scales and its reference level; laid out at
// full size, then brought to the layout's measure.
class Foglio {
  public:
    Foglio(const tratti::Profilo& profilo, const ImpaginazioneProfilo& imp, std::size_t numero,
           Separatore separatore)
        : profilo_(profilo), imp_(imp), numero_(numero), stretto_(imp.fogli[numero]),
          separatore_(separatore), k_(imp.misura), area_(areaVirtuale(imp)),
          fasciaAlta_(area_.y - sopraIlTerreno), fasciaBassa_(area_.basso()),
          valori_(misuraTesto(testoValori, k_)),
          tratti_(profilo.trattiTra(stretto_.da + 1e-9, stretto_.a - 1e-9)),
          pozzetti_(profilo.pozzettiTra(stretto_.da - 1e-9, stretto_.a + 1e-9)) {
        const DimensioniFoglio foglio = foglioVirtuale(imp);
        d_.larghezza = foglio.larghezza;
        d_.altezza = foglio.altezza;
        d_.strati = stratiDelProfilo;
        livelli_ = escursione(profilo, stretto_.da, stretto_.a);
    }

    disegno::Disegno disegna() {
        cartiglio();
        tabella();
        posiziona(note());
        legenda();
        asseQuote();
        condotte();
        linee();
        pozzetti();
        etichetteTratti();
        return alla(k_);
    }

  private:
    double x(double progressiva) const {
        return area_.x + bordoInterno +
               (progressiva - stretto_.da) * 1000 / (imp_.scalaOrizzontale * k_);
    }
    // Where a level falls, however far off the sheet: a large number, not
    // an infinite one.
    double yVero(double quota) const {
        const double y = area_.basso() - (quota - base_) * 1000 / (imp_.scalaVerticale * k_);
        return std::isnan(y) ? 1e300 : std::clamp(y, -1e300, 1e300);
    }
    Punto puntoVero(double progressiva, double quota) const {
        return {x(progressiva), yVero(quota)};
    }
    // A level as a point, a mark or a text is put there: kept within the
    // drawing, where renderers and files are given no enormous coordinates.
    double y(double quota) const { return std::clamp(yVero(quota), fasciaAlta_, fasciaBassa_); }
    Punto punto(double progressiva, double quota) const { return {x(progressiva), y(quota)}; }

    static Punto incrocio(Punto a, Punto b, double livello) {
        return {a.x + (b.x - a.x) * (livello - a.y) / (b.y - a.y), livello};
    }
    // The part of a polygon within the band: a line is cut where it leaves
    // it, so that what shows keeps its true slope.
    std::vector<Punto> nellaFascia(std::vector<Punto> poligono, bool chiuso) const {
        for (const auto& [livello, sotto] : {std::pair{fasciaAlta_, false}, {fasciaBassa_, true}}) {
            const auto dentro = [&](Punto p) { return sotto ? p.y <= livello : p.y >= livello; };
            std::vector<Punto> tagliato;
            const std::size_t lati = chiuso ? poligono.size() : poligono.size() - 1;
            for (std::size_t i = 0; i < lati && !poligono.empty(); ++i) {
                const Punto a = poligono[i];
                const Punto b = poligono[(i + 1) % poligono.size()];
                if (dentro(a)) {
                    tagliato.push_back(a);
                }
                if (dentro(a) != dentro(b)) {
                    tagliato.push_back(incrocio(a, b, livello));
                }
            }
            if (!chiuso && !poligono.empty() && dentro(poligono.back())) {
                tagliato.push_back(poligono.back());
            }
            poligono = std::move(tagliato);
        }
        return poligono;
    }

    // A round step of the levels' axis (1, 2 or 5 times a power of ten,
    // from 0.1 m), some 8 mm apart on the sheet at any scale.
    double passoQuote() const {
        const double minimo = 8 * imp_.scalaVerticale * k_ / 1000;
        for (double decade = 0.1;; decade *= 10) {
            for (const double cifra : {1.0, 2.0, 5.0}) {
                if (cifra * decade >= minimo) {
                    return cifra * decade;
                }
            }
        }
    }

    std::string numero(double valore, const char* modello) const {
        return ::numero(valore, modello, separatore_);
    }

    Testo testo(std::string contenuto, Punto ancora, double altezza, Orizzontale o, Verticale v,
                double gradi = 0, Colore colore = disegno::nero) const {
        return {std::move(contenuto), ancora, misuraTesto(altezza, k_), o, v, gradi, colore};
    }
    // A text where nothing else is written: false, and nothing drawn, when
    // its place is taken.
    bool metti(std::string_view strato, const Testo& t) {
        const Rettangolo r = disegno::riquadro(t);
        if (!occupati_.libero(r)) {
            return false;
        }
        occupati_.prendi(r);
        d_.testo(strato, t);
        return true;
    }
    // A text whose place is its own by the layout.
    Rettangolo scrivi(std::string_view strato, const Testo& t) {
        const Rettangolo r = disegno::riquadro(t);
        occupati_.prendi(r);
        d_.testo(strato, t);
        return r;
    }
    // A note for what does not fit where it belongs; its number, "(3)",
    // put there in its stead when that fits.
    void inNota(std::string_view strato, std::string nota, Testo segno) {
        note_.push_back(std::move(nota));
        segno.testo = segnoNota(note_.size());
        metti(strato, segno);
    }

    Penna penna(Colore colore, double spessore, Stile stile = Stile::Continua) const {
        return {colore, spessore, stile};
    }

    std::span<const tratti::TrattoProfilo> trattiDelFoglio() const {
        return std::span(profilo_.tratti).subspan(tratti_.first, tratti_.second - tratti_.first);
    }
    std::pair<double, double> estremi(const tratti::TrattoProfilo& t) const {
        return {std::max(t.da, stretto_.da), std::min(t.a, stretto_.a)};
    }

    // The title block across the top: the work, the client, the designer;
    // the drawing, its scales, the date and the sheet's number.
    void cartiglio() {
        const Cartiglio& c = imp_.cartiglio;
        const double sinistra = margine;
        const double larghezza = d_.larghezza - 2 * margine;
        const double alto = margine;
        d_.rettangolo("CARTIGLIO", {sinistra, alto, larghezza, 2 * rigaTitolo},
                      penna(disegno::nero, 0.35));
        d_.linea("CARTIGLIO", {sinistra, alto + rigaTitolo},
                 {sinistra + larghezza, alto + rigaTitolo}, penna(disegno::nero, 0.2));
        std::string titolo = c.titolo;
        if (titolo.empty()) {
            titolo = "Profilo longitudinale da " + profilo_.pozzetti.front().nome + " a " +
                     profilo_.pozzetti.back().nome;
        }
        const std::string scale =
            "Scale: orizzontale 1:" + numero(imp_.scalaOrizzontale, "0") +
            ", verticale 1:" + numero(imp_.scalaVerticale, "0") + " (esagerazione " +
            numero(imp_.esagerazione(), modelloEsagerazione(imp_.esagerazione())) + "×)";
        const std::string tavola =
            "Tavola " + std::to_string(numero_ + 1) + " di " + std::to_string(imp_.fogli.size());
        const std::array<std::pair<std::string, double>, 3> prima = {
            {{"Opera: " + c.opera, 0.5},
             {"Committente: " + c.committente, 0.25},
             {"Progettista: " + c.progettista, 0.25}}};
        const std::array<std::pair<std::string, double>, 4> seconda = {
            {{titolo, 0.33}, {scale, 0.4}, {"Data: " + c.data, 0.14}, {tavola, 0.13}}};
        const auto riga = [&](const auto& celle, double y0) {
            double x0 = sinistra;
            for (std::size_t i = 0; i < celle.size(); ++i) {
                const double w = celle[i].second * larghezza;
                if (i > 0) {
                    d_.linea("CARTIGLIO", {x0, y0}, {x0, y0 + rigaTitolo},
                             penna(disegno::nero, 0.2));
                }
                cella(celle[i].first, {x0, y0, w, rigaTitolo});
                x0 += w;
            }
        };
        riga(prima, alto);
        riga(seconda, alto + rigaTitolo);
    }

    // A title block's text in its cell: smaller, then on two lines, where
    // it is long; never under the least size.
    void cella(const std::string& contenuto, const Rettangolo& r) {
        const double spazio = r.larghezza - 3;
        double altezza = misuraTesto(testoCartiglio, k_);
        const double minima = misuraTesto(altezzaMinimaTesto, k_);
        altezza = std::max(
            minima, std::min(altezza, altezza * spazio /
                                          std::max(disegno::larghezza(contenuto, altezza), 1e-9)));
        std::vector<std::string> righe = aCapo(contenuto, altezza, spazio);
        const double passo = disegno::corpo(altezza) * 1.15;
        const auto quante =
            static_cast<std::size_t>(std::max(1.0, std::floor((r.altezza - 1) / passo)));
        if (righe.size() > quante) {
            righe.resize(quante);
            // Shortened a character at a time until it and its mark fit.
            std::string& ultima = righe.back();
            while (!ultima.empty() && disegno::larghezza(ultima + "…", altezza) > spazio) {
                std::size_t taglio = ultima.size() - 1;
                while (taglio > 0 && (static_cast<unsigned char>(ultima[taglio]) & 0xC0) == 0x80) {
                    --taglio;
                }
                ultima.erase(taglio);
            }
            ultima += "…";
        }
        const double primo = r.y + r.altezza / 2 - passo * (righe.size() - 1) / 2.0;
        for (std::size_t i = 0; i < righe.size(); ++i) {
            scrivi("CARTIGLIO", {righe[i],
                                 {r.x + 1.5, primo + i * passo},
                                 altezza,
                                 Orizzontale::Sinistra,
                                 Verticale::Centro});
        }
    }

    // The pipe, light, and the water in it at the design flow.
    void condotte() {
        for (const tratti::TrattoProfilo& t : trattiDelFoglio()) {
            const auto [da, a] = estremi(t);
            const std::optional<double> f0 = finita(t.fondoA(da));
            const std::optional<double> f1 = finita(t.fondoA(a));
            if (!f0 || !f1 || !std::isfinite(t.altezzaPiena)) {
                continue;
            }
            d_.area("CONDOTTE",
                    nellaFascia({puntoVero(da, *f0), puntoVero(a, *f1),
                                 puntoVero(a, *f1 + t.altezzaPiena),
                                 puntoVero(da, *f0 + t.altezzaPiena)},
                                true),
                    coloreCondotta);
            if (finita(t.acquaProgetto)) {
                d_.area("PELO_LIBERO",
                        nellaFascia({puntoVero(da, *f0), puntoVero(a, *f1),
                                     puntoVero(a, *f1 + *t.acquaProgetto),
                                     puntoVero(da, *f0 + *t.acquaProgetto)},
                                    true),
                        coloreAcquaPiena);
            }
        }
    }

    // One line along the path, broken where its level is unknown; at a
    // manhole it steps from the reach arriving to the one leaving.
    void linea(std::string_view strato, tratti::Linea quale, Penna stilo,
               bool soloRotture = false) {
        std::vector<Punto> tratto;
        const auto chiudi = [&] {
            if (!tratto.empty()) {
                d_.polilinea(strato, nellaFascia(std::move(tratto), false), stilo);
            }
            tratto.clear();
        };
        for (const tratti::TrattoProfilo& t : trattiDelFoglio()) {
            if (soloRotture && t.verificato) {
                chiudi();
                continue;
            }
            const auto [da, a] = estremi(t);
            const std::optional<double> z0 =
                finita(tratti::livelloSulTratto(profilo_, t, da, quale));
            const std::optional<double> z1 =
                finita(tratti::livelloSulTratto(profilo_, t, a, quale));
            if (!z0 || !z1) {
                chiudi();
                continue;
            }
            tratto.push_back(puntoVero(da, *z0));
            tratto.push_back(puntoVero(a, *z1));
        }
        chiudi();
    }

    void linee() {
        using L = tratti::LivelliProfilo;
        linea("TERRENO", &L::terreno, penna(coloreTerreno, 0.35));
        linea("PELO_LIBERO", &L::acquaMinima, penna(coloreAcquaMinima, 0.25, Stile::Tratteggiata));
        linea("PELO_LIBERO", &L::acquaProgetto, penna(coloreAcqua, 0.3));
        linea("CIELO", &L::cielo, penna(disegno::nero, 0.3));
        linea("SCORRIMENTO", &L::fondo, penna(disegno::nero, 0.5));
        linea("NON_VERIFICATI", &L::cielo, penna(coloreRottura, 0.45), true);
        linea("NON_VERIFICATI", &L::fondo, penna(coloreRottura, 0.6), true);
    }

    void pozzetti() {
        for (std::size_t i = pozzetti_.first; i < pozzetti_.second; ++i) {
            const tratti::PozzettoProfilo& pz = profilo_.pozzetti[i];
            const double px = x(pz.progressiva);
            const std::optional<double> fondo = finita(pz.fondo());
            std::optional<double> cima = finita(pz.terreno);
            if (!cima && fondo) {
                // The crown of the deepest pipe, where the ground is unknown.
                double altezza = 0;
                for (std::size_t k : {i - 1, i}) {
                    if (k < profilo_.tratti.size()) {
                        altezza = std::max(altezza, profilo_.tratti[k].altezzaPiena);
                    }
                }
                cima = finita(*fondo + altezza);
            }
            double alto = area_.basso();
            if (fondo && cima) {
                d_.rettangolo("POZZETTI", {px - 0.8, y(*cima), 1.6, y(*fondo) - y(*cima)},
                              penna(disegno::nero, 0.25));
                alto = y(*cima);
            }
            if (finita(pz.fondoArrivo) && finita(pz.fondoPartenza) &&
                *pz.fondoArrivo - *pz.fondoPartenza > 0.005) {
                d_.linea("POZZETTI", punto(pz.progressiva, *pz.fondoArrivo),
                         punto(pz.progressiva, *pz.fondoPartenza), penna(disegno::nero, 0.3));
                const std::string salto =
                    "salto " + numero(*pz.fondoArrivo - *pz.fondoPartenza, "0.00");
                metti("TESTI", testo(salto, {px + 1.2, y(*pz.fondoPartenza) + 0.5}, testoValori,
                                     Orizzontale::Sinistra, Verticale::Sopra)) ||
                    metti("TESTI", testo(salto, {px - 1.2, y(*pz.fondoArrivo) - 0.5}, testoValori,
                                         Orizzontale::Destra, Verticale::Sotto)) ||
                    metti("TESTI", testo(salto, {px + 1.2, y(*pz.fondoArrivo) - 0.5}, testoValori,
                                         Orizzontale::Sinistra, Verticale::Sotto));
            }
            // The name across, or upright where the last one is too near;
            // the table has it anyway.
            const Punto ancora{px, std::max(alto - 1, fasciaAlta_ + 1)};
            metti("TESTI",
                  testo(pz.nome, ancora, testoNomi, Orizzontale::Centro, Verticale::Sotto)) ||
                metti("TESTI", testo(pz.nome, ancora, testoNomi, Orizzontale::Sinistra,
                                     Verticale::Centro, 90));
        }
    }

    // Each reach's section, slope and length above its crown, where they fit.
    void etichetteTratti() {
        for (const tratti::TrattoProfilo& t : trattiDelFoglio()) {
            if (!finita(t.fondoMonte) || !finita(t.fondoValle) || !std::isfinite(t.altezzaPiena)) {
                continue;
            }
            const auto [da, a] = estremi(t);
            const double spazio = x(a) - x(da) - 3;
            const std::string sezione = t.sezione();
            const std::string pieno = sezione + "  i = " + numero(t.pendenza * 1000, "0.00") +
                                      "‰  L = " + numero(t.lunghezza(), "0.00") + " m";
            const double h = misuraTesto(testoValori, k_);
            const std::string etichetta = disegno::larghezza(pieno, h) <= spazio ? pieno
                                          : disegno::larghezza(sezione, h) <= spazio
                                              ? sezione
                                              : std::string();
            if (etichetta.empty()) {
                continue;
            }
            // Above the crown along the whole label, which a steep reach
            // would otherwise cross.
            const double mezzo = (da + a) / 2;
            const double mezzaLarghezza =
                disegno::larghezza(etichetta, h) / 2 * imp_.scalaOrizzontale * k_ / 1000;
            const double cielo = std::max(*t.fondoA(std::max(da, mezzo - mezzaLarghezza)),
                                          *t.fondoA(std::min(a, mezzo + mezzaLarghezza))) +
                                 t.altezzaPiena;
            const Colore colore = t.verificato ? disegno::nero : coloreRottura;
            for (double su = 0.8; su < 8; su += 1.5) {
                if (metti("TESTI", testo(etichetta, {x(mezzo), y(cielo) - su}, testoValori,
                                         Orizzontale::Centro, Verticale::Sotto, 0, colore))) {
                    break;
                }
            }
        }
    }

    void asseQuote() {
        const double passo = passoQuote();
        const Penna sottile = penna(disegno::nero, 0.2);
        d_.linea("QUOTE", {area_.x, area_.y}, {area_.x, area_.basso()}, sottile);
        const double cima = base_ + area_.altezza * imp_.scalaVerticale * k_ / 1000;
        // Counted in steps: at levels so large that adding a step leaves
        // them as they were, the ticks still end.
        const double primo = std::ceil(base_ / passo);
        const double tacche =
            std::min(std::floor((cima + 1e-9) / passo) - primo, std::ceil(area_.altezza / 8));
        for (int i = 0; i <= tacche; ++i) {
            const double z = (primo + i) * passo;
            d_.linea("QUOTE", {area_.x - 1.5, y(z)}, {area_.x, y(z)}, sottile);
            metti("QUOTE", testo(numero(z, passo < 1 ? "0.0" : "0"), {area_.x - 2, y(z)},
                                 testoValori, Orizzontale::Destra, Verticale::Centro));
        }
        metti("QUOTE", testo("Quota di riferimento " + numero(base_, "0.00") + " m",
                             {area_.x + 1.5, area_.basso() - 1.2}, testoValori,
                             Orizzontale::Sinistra, Verticale::Sotto));
    }

    // The lines' keys, under the drawing.
    void legenda() {
        const double alto = area_.basso() + fasciaLegenda / 2;
        double px = area_.x;
        const auto voce = [&](Colore colore, Stile stile, const char* nome) {
            d_.linea("QUOTE", {px, alto}, {px + 6, alto}, penna(colore, 0.5, stile));
            px += 7;
            px = scrivi("QUOTE", testo(nome, {px, alto}, testoValori, Orizzontale::Sinistra,
                                       Verticale::Centro))
                     .destra() +
                 4;
        };
        voce(coloreTerreno, Stile::Continua, "terreno");
        voce(disegno::nero, Stile::Continua, "scorrimento e cielo");
        voce(coloreAcqua, Stile::Continua, "pelo libero di progetto");
        voce(coloreAcquaMinima, Stile::Tratteggiata, "pelo libero alla portata minima");
        voce(coloreRottura, Stile::Continua, "tratto non verificato (si vedano le note)");
    }

    void tabella() {
        const double sinistra = margine;
        const double destra = std::min(area_.destra(), x(stretto_.a) + bordoInterno);
        const double alto = area_.basso() + fasciaLegenda;
        const double fine = alto + altezzaTabella(imp_);
        const double titoli = misuraTesto(testoTitoliRighe, k_);
        d_.rettangolo("TABELLA", {sinistra, alto, destra - sinistra, fine - alto},
                      penna(disegno::nero, 0.25));
        d_.linea("TABELLA", {area_.x, alto}, {area_.x, fine}, penna(disegno::nero, 0.25));
        const std::array<double, righePozzetti.size()> altezze = righeDi(imp_);
        std::array<double, righePozzetti.size() + 1> bordi{alto};
        for (std::size_t r = 0; r < righePozzetti.size(); ++r) {
            bordi[r + 1] = bordi[r] + altezze[r];
            if (r > 0) {
                d_.linea("TABELLA", {sinistra, bordi[r]}, {destra, bordi[r]},
                         penna(disegno::nero, 0.15));
            }
            scrivi("TABELLA", {righePozzetti[r].titolo,
                               {sinistra + 1.5, (bordi[r] + bordi[r + 1]) / 2},
                               titoli,
                               Orizzontale::Sinistra,
                               Verticale::Centro});
        }
        const double sottoPozzetti = bordi.back();
        for (std::size_t r = 0; r < righeTratti.size(); ++r) {
            const double y0 = sottoPozzetti + r * rigaTratto;
            d_.linea("TABELLA", {sinistra, y0}, {destra, y0},
                     penna(disegno::nero, r == 0 ? 0.25 : 0.15));
            scrivi("TABELLA", {righeTratti[r],
                               {sinistra + 1.5, y0 + rigaTratto / 2},
                               titoli,
                               Orizzontale::Sinistra,
                               Verticale::Centro});
        }
        // The manholes' columns: their values upright on the manhole's
        // line, or beside the last one's where manholes stand close.
        double libera = area_.x;
        for (std::size_t i = pozzetti_.first; i < pozzetti_.second; ++i) {
            const double px = x(profilo_.pozzetti[i].progressiva);
            d_.linea("TABELLA", {px, alto}, {px, fine},
                     penna(disegno::nero, 0.1, Stile::Punteggiata));
            const auto valori = valoriPozzetto(profilo_, i, separatore_);
            // Upright, the value of the reach arriving left of the line,
            // that of the one leaving right of it.
            const double riga = disegno::corpo(valori_) * (disegno::ascesa + disegno::discesa);
            const double colonna = std::max(px, libera + riga + 0.5);
            const bool sta = colonna <= area_.destra() - 1;
            bool doppia = false;
            std::string nota;
            for (std::size_t r = 0; r < righePozzetti.size(); ++r) {
                const Valore& v = valori[r];
                const auto scritto = [&](const std::string& testoValore, double ascissa) {
                    const Testo t = testo(testoValore, {ascissa, bordi[r + 1] - 1}, testoValori,
                                          Orizzontale::Sinistra, Verticale::Base, 90);
                    return disegno::riquadro(t).altezza <= altezze[r] - 0.5 && metti("TABELLA", t);
                };
                const bool scritti =
                    sta && scritto(v.arrivo, colonna - 0.5) &&
                    (v.partenza.empty() ||
                     scritto(v.partenza,
                             colonna + 0.5 + disegno::corpo(valori_) * disegno::ascesa));
                doppia = doppia || !v.partenza.empty();
                if (!scritti) {
                    nota += (nota.empty() ? "" : ", ") + std::string(righePozzetti[r].titolo) +
                            " " + v.comeTesto();
                }
            }
            if (!nota.empty()) {
                inNota("TABELLA", "pozzetto " + profilo_.pozzetti[i].nome + ": " + nota,
                       testo("", {px, bordi[1] - 1}, testoValori, Orizzontale::Sinistra,
                             Verticale::Base, 90));
            }
            if (sta) {
                libera = colonna + (doppia ? riga + 0.5 : 0);
            }
        }
        // The reaches' values, centred between their manholes.
        for (const tratti::TrattoProfilo& t : trattiDelFoglio()) {
            const auto [da, a] = estremi(t);
            const double mezzo = (x(da) + x(a)) / 2;
            const Colore colore = t.verificato ? disegno::nero : coloreRottura;
            const auto valori = valoriTratto(t, separatore_);
            std::string nota;
            for (std::size_t r = 0; r < righeTratti.size(); ++r) {
                const Testo scritto =
                    testo(valori[r], {mezzo, sottoPozzetti + (r + 0.5) * rigaTratto}, testoValori,
                          Orizzontale::Centro, Verticale::Centro, 0, colore);
                const Rettangolo box = disegno::riquadro(scritto);
                if (!(box.x >= x(da) && box.destra() <= x(a) && metti("TABELLA", scritto))) {
                    nota +=
                        (nota.empty() ? "" : ", ") + std::string(righeTratti[r]) + " " + valori[r];
                }
            }
            if (!nota.empty()) {
                inNota("TABELLA", "tratto " + t.nome + ": " + nota,
                       testo("", {mezzo, sottoPozzetti + rigaTratto / 2}, testoValori,
                             Orizzontale::Centro, Verticale::Centro));
            }
        }
    }

    // Why the red reaches fail, then what did not fit in its place,
    // numbered, from the top of the drawing down. Returns where they end.
    double note() {
        std::vector<std::string> righe;
        for (const tratti::TrattoProfilo& t : trattiDelFoglio()) {
            if (!t.verificato) {
                righe.push_back("Non verificato " + t.nome + ": " +
                                tratti::motivoDi(t.rilievi, separatore_) + ".");
            }
        }
        for (std::size_t n = 0; n < note_.size(); ++n) {
            righe.push_back(segnoNota(n + 1) + " " + note_[n] + ".");
        }
        const double h = misuraTesto(testoValori, k_);
        const double passo = disegno::corpo(h) * 1.25;
        double py = fasciaAlta_ + 1;
        for (const std::string& riga : righe) {
            for (const std::string& pezzo : aCapo(riga, h, area_.larghezza - 4)) {
                if (py + passo >= area_.basso()) {
                    return py;
                }
                scrivi("NOTE", testo(pezzo, {area_.x + 2, py}, testoValori, Orizzontale::Sinistra,
                                     Verticale::Sopra, 0, coloreRottura));
                py += passo;
            }
        }
        return righe.empty() ? fasciaAlta_ : py;
    }

    // The levels in the middle of the drawing under the notes, or of the
    // whole drawing where they do not fit below them; the reference level a
    // round step under them.
    void posiziona(double sottoLeNote) {
        if (!livelli_) {
            return;
        }
        const auto [basso, alto] = *livelli_;
        const double passo = passoQuote();
        const double metro = 1000 / (imp_.scalaVerticale * k_); // mm a metre of level
        const double libera = area_.basso() - std::max(sottoLeNote + sopraIlTerreno, area_.y);
        const double centro = basso / 2 + alto / 2;
        const bool sta = (alto - basso) * metro <= libera;
        base_ = sta ? std::min(std::floor((centro - libera / 2 / metro) / passo) * passo, basso)
                    : centro - area_.altezza / 2 / metro;
        if (sta && (alto - base_) * metro > libera) {
            base_ = basso;
        }
        // Levels so large that a step of the axis no longer counts.
        if (!std::isfinite(base_)) {
            base_ = basso;
        }
    }

    // The drawing brought to the layout's measure.
    disegno::Disegno alla(double k) {
        if (k == 1) {
            return std::move(d_);
        }
        const auto porta = [k](Punto& p) { p = {p.x * k, p.y * k}; };
        d_.larghezza *= k;
        d_.altezza *= k;
        for (disegno::Elemento& e : d_.elementi) {
            std::visit(
                [&](auto& forma) {
                    using F = std::decay_t<decltype(forma)>;
                    if constexpr (std::is_same_v<F, Testo>) {
                        porta(forma.ancora);
                        forma.altezza *= k;
                    } else {
                        for (Punto& p : forma.punti) {
                            porta(p);
                        }
                        if constexpr (std::is_same_v<F, disegno::Polilinea>) {
                            forma.penna.spessore *= k;
                        }
                    }
                },
                e.forma);
        }
        return std::move(d_);
    }

    const tratti::Profilo& profilo_;
    const ImpaginazioneProfilo& imp_;
    std::size_t numero_;
    FoglioProfilo stretto_;
    Separatore separatore_;
    double k_; // the furniture's fraction: the sheet is laid out 1 / k_ as large, then scaled
    Rettangolo area_;
    double fasciaAlta_, fasciaBassa_;                       // mm: what is drawn lies within
    double valori_;                                         // the values' text size
    std::pair<std::size_t, std::size_t> tratti_, pozzetti_; // on the sheet, in the profile's
    std::optional<std::pair<double, double>> livelli_;      // the lowest and highest on the sheet
    double base_ = 0;                                       // the level at the drawing's bottom, m
    disegno::Disegno d_;
    Occupati occupati_;
    std::vector<std::string> note_;
};

// How many sheets, in words: a count beyond belief is not written out.
std::string quantiFogli(double fogli) {
    return fogli < 1e15 ? std::to_string(static_cast<unsigned long long>(fogli)) + " fogli"
                        : "più di un milione di miliardi di fogli";
}

// A layout refused, with the largest usual scale at which its sheets would
// do, if any; `fogliA` counts them at a scale.
template <class Conta>
[[noreturn]] void rifiutaIFogli(double fogli, std::size_t massimo, double scala, bool continuo,
                                const Conta& fogliA) {
    std::optional<double> cheBasta;
    for (const double n : scaleVerticali) {
        if (n > scala && fogliA(n) <= massimo) {
            cheBasta = n;
            break;
        }
    }
    std::string motivo =
        "alla scala orizzontale 1:" + CStr(scala) +
        (continuo ? " il disegno sarebbe largo quanto " : " il profilo richiederebbe ") +
        quantiFogli(fogli) + ", al più " + std::to_string(massimo);
    if (!cheBasta) {
        motivo = "il percorso è troppo lungo per essere disegnato: " + motivo +
                 (scala < scaleVerticali.back() ? ", e troppi anche a 1:1000000" : "");
    }
    throw TroppiFogli(motivo, cheBasta);
}

} // namespace

const char* const scaleAmmesse = "da 1:10 a 1:1000000";

bool scalaAmmessa(double denominatore) {
    return denominatore >= 10 && denominatore <= 1e6;
}

const char* modelloEsagerazione(double esagerazione) {
    return esagerazione >= 1 ? "0.##" : "0.####";
}

DimensioniFoglio misureFoglio(FormatoFoglio formato) {
    return formato == FormatoFoglio::A3 ? DimensioniFoglio{420, 297} : DimensioniFoglio{297, 210};
}

std::optional<std::size_t> foglioCheNonSta(const tratti::Profilo& profilo,
                                           const ImpaginazioneProfilo& imp) {
    const double altezza = areaVirtuale(imp).altezza * imp.misura;
    for (std::size_t f = 0; f < imp.fogli.size(); ++f) {
        if (const auto livelli = escursione(profilo, imp.fogli[f].da, imp.fogli[f].a);
            livelli && (livelli->second - livelli->first) * 1000 / imp.scalaVerticale > altezza) {
            return f;
        }
    }
    return std::nullopt;
}

std::string consiglioDiScala(const TroppiFogli& rifiuto) {
    return rifiuto.scalaCheBasta
               ? "; si scelga una scala orizzontale di 1:" + CStr(*rifiuto.scalaCheBasta) +
                     " o più piccola"
               : "";
}

ImpaginazioneProfilo impaginaProfilo(const tratti::Profilo& profilo, DimensioniFoglio foglio,
                                     std::optional<double> scalaOrizzontale,
                                     std::optional<double> scalaVerticale, bool continuo,
                                     double misura, std::size_t fogliMassimi) {
    for (const std::optional<double> scala : {scalaOrizzontale, scalaVerticale}) {
        if (scala && !scalaAmmessa(*scala)) {
            throw std::invalid_argument(std::string("serve una scala ") + scaleAmmesse);
        }
    }
    if (!(misura > 0 && std::isfinite(misura) && foglio.larghezza > 0 && foglio.altezza > 0 &&
          std::isfinite(foglio.larghezza) && std::isfinite(foglio.altezza))) {
        throw std::invalid_argument("il foglio non ha le misure di un foglio");
    }
    ImpaginazioneProfilo imp;
    imp.foglio = foglio;
    imp.misura = misura;
    const std::array<double, righePozzetti.size()> altezze =
        altezzeRighe(profilo, misuraTesto(testoValori, misura));
    imp.righeTabella.assign(altezze.begin(), altezze.end());
    const double lunghezza = std::max(profilo.lunghezza(), 1e-3);
    // On the sheet, mm.
    const double campo = campoDelPercorso(foglioVirtuale(imp)) * misura;
    if (!continuo && !(campo > 0 && areaVirtuale(imp).altezza > 10)) {
        throw std::invalid_argument("il foglio è troppo piccolo per disegnarvi il profilo");
    }
    if (scalaOrizzontale) {
        imp.scalaOrizzontale = *scalaOrizzontale;
    } else {
        // Whole on one sheet, unless a reach would be too narrow to read:
        // then the largest usual scale at which it is not.
        const double media = lunghezza / std::max<std::size_t>(profilo.tratti.size(), 1);
        const double leggibile = media * 1000 / (trattoLeggibile * misura);
        const double intera = lunghezza * 1000 / campo;
        if (intera <= leggibile) {
            imp.scalaOrizzontale =
                scalaUsuale(intera, scaleOrizzontali).value_or(scaleOrizzontali.back());
        } else {
            imp.scalaOrizzontale = scaleOrizzontali.front();
            for (const double n : scaleOrizzontali) {
                if (n <= leggibile) {
                    imp.scalaOrizzontale = n;
                }
            }
        }
    }
    // The sheets a scale needs, or the widths of the sheet for `continuo`.
    const auto fogliA = [&](double scala) {
        return continuo ? std::ceil((foglio.larghezza - campo + lunghezza * 1000 / scala) /
                                    foglio.larghezza)
                        : DivisoInFogli(profilo, campo * scala / 1000).quanti();
    };
    if (const double fogli = fogliA(imp.scalaOrizzontale); !(fogli <= fogliMassimi)) {
        rifiutaIFogli(fogli, fogliMassimi, imp.scalaOrizzontale, continuo, fogliA);
    }
    if (continuo) {
        imp.foglio.larghezza = std::max(
            foglio.larghezza, foglio.larghezza - campo + lunghezza * 1000 / imp.scalaOrizzontale);
        imp.fogli = {{0, profilo.lunghezza()}};
    } else {
        imp.fogli = DivisoInFogli(profilo, campo * imp.scalaOrizzontale / 1000).fogli();
    }
    if (scalaVerticale) {
        imp.scalaVerticale = *scalaVerticale;
    } else {
        double salto = 0;
        for (const FoglioProfilo& f : imp.fogli) {
            if (const auto livelli = escursione(profilo, f.da, f.a)) {
                salto = std::max(salto, livelli->second - livelli->first);
            }
        }
        // The levels fill the drawing but for a tenth, and a metre for the
        // names above the ground and a step of the axis. The levels fit
        // first: a steep short path may be drawn lower than true, its
        // exaggeration under 1.
        const double spazio = areaVirtuale(imp).altezza * misura;
        imp.scalaVerticale =
            scalaUsuale((salto * 1.1 + 1) * 1000 / std::max(spazio, 1.0), scaleVerticali)
                .value_or(scaleVerticali.back());
    }
    return imp;
}

Rettangolo areaDelDisegno(const ImpaginazioneProfilo& imp) {
    const Rettangolo area = areaVirtuale(imp);
    return {area.x * imp.misura, area.y * imp.misura, area.larghezza * imp.misura,
            area.altezza * imp.misura};
}

std::optional<double> progressivaA(const ImpaginazioneProfilo& imp, std::size_t foglio,
                                   double xMillimetri) {
    if (foglio >= imp.fogli.size()) {
        return std::nullopt;
    }
    const FoglioProfilo& f = imp.fogli[foglio];
    const double progressiva =
        f.da + (xMillimetri / imp.misura - areaVirtuale(imp).x - bordoInterno) *
                   imp.scalaOrizzontale * imp.misura / 1000;
    if (progressiva < f.da - 1e-9 || progressiva > f.a + 1e-9) {
        return std::nullopt;
    }
    return progressiva;
}

disegno::Disegno disegnoDelFoglio(const tratti::Profilo& profilo,
                                  const ImpaginazioneProfilo& impaginazione, std::size_t foglio,
                                  Separatore separatore) {
    const double misura = impaginazione.misura;
    if (foglio >= impaginazione.fogli.size() || profilo.tratti.empty() ||
        !scalaAmmessa(impaginazione.scalaOrizzontale) ||
        !scalaAmmessa(impaginazione.scalaVerticale) || !(misura > 0 && std::isfinite(misura))) {
        disegno::Disegno vuoto;
        vuoto.larghezza = impaginazione.foglio.larghezza;
        vuoto.altezza = impaginazione.foglio.altezza;
        vuoto.strati = stratiDelProfilo;
        return vuoto;
    }
    return Foglio(profilo, impaginazione, foglio, separatore).disegna();
}
