#include "tratti/csv_tratti.h"

#include "errori/errore_runtime.h"
#include "file/caratteri_ammessi.h"
#include "file/testo_tabellare.h"
#include "file/utf8.h"
#include "numeri/caratteri_reali.h"
#include "numeri/conversioni.h"
#include "numeri/formato.h"
#include "numeri/misure.h"
#include "numeri/separatore.h"
#include "numeri/testo_valore.h"
#include "tratti/grandezze.h"
#include "tratti/parole.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <map>
#include <optional>

namespace tratti {

namespace {

std::string minuscolo(std::string_view testo) {
    std::string esito(testo);
    std::transform(esito.begin(), esito.end(), esito.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return esito;
}

// Where each known column stands in the file: the reach's, then the
// ground levels of its manholes.
constexpr std::size_t colonneFile = colonne + nomiColonneTerreno.size();
using Posizioni = std::array<std::optional<std::size_t>, colonneFile>;

const char* nomeColonnaFile(std::size_t colonna) {
    return colonna < colonne ? nomiColonne[colonna] : nomiColonneTerreno[colonna - colonne];
}

std::string elencoColonne() {
    std::string elenco;
    for (std::size_t c = 0; c < colonneFile; ++c) {
        elenco += (elenco.empty() ? "" : ", ") + std::string(nomeColonnaFile(c));
    }
    return elenco;
}

Posizioni leggiIntestazione(const csv::Record& intestazione) {
    Posizioni posizioni;
    const std::size_t riga = intestazione.riga;
    for (std::size_t i = 0; i < intestazione.campi.size(); ++i) {
        const std::string& scritto = intestazione.campi[i];
        const std::string nome = minuscolo(csv::senzaSpazi(scritto));
        std::size_t colonna = 0;
        while (colonna < colonneFile && nome != nomeColonnaFile(colonna)) {
            ++colonna;
        }
        if (colonna == colonneFile) {
            throw csv::Errore(riga, scritto,
                              nome.empty() ? "una colonna senza nome"
                                           : "colonna sconosciuta (le colonne sono " +
                                                 elencoColonne() + ")");
        }
        std::optional<std::size_t>& posizione = posizioni[colonna];
        if (posizione) {
            throw csv::Errore(riga, nome, "la colonna è ripetuta");
        }
        posizione = i;
    }
    for (const Colonna necessaria : {Nome, Portata}) {
        if (!posizioni[necessaria]) {
            throw csv::Errore(riga, nomiColonne[necessaria], "manca la colonna");
        }
    }
    if (!posizioni[Pendenza]) {
        if (!posizioni[QuotaMonte] && !posizioni[QuotaValle]) {
            throw csv::Errore(riga, "pendenza",
                              "manca la colonna, o le colonne quota_monte e quota_valle con la "
                              "lunghezza");
        }
        for (const Colonna quote : {QuotaMonte, QuotaValle, Lunghezza}) {
            if (!posizioni[quote]) {
                throw csv::Errore(riga, nomiColonne[quote],
                                  "manca la colonna: senza la pendenza, la danno le quote di monte "
                                  "e di valle con la lunghezza");
            }
        }
    }
    return posizioni;
}

// A number as a cell of the column holds it: "." its decimal separator, or
// with `virgolaDecimale` the comma (the other would read as a thousands
// separator); none for an empty cell. A fault names the column.
std::optional<double> numeroDellaCella(std::string_view scritto, bool virgolaDecimale,
                                       std::size_t riga, const char* colonna) {
    if (scritto.empty()) {
        return std::nullopt;
    }
    const auto rifiuta = [&](const std::string& motivo) {
        throw csv::Errore(riga, colonna, motivo + ": «" + std::string(scritto) + "»");
    };
    if (scritto.find(virgolaDecimale ? '.' : ',') != std::string_view::npos) {
        rifiuta(virgolaDecimale ? "in un file con il «;» il separatore decimale è la virgola"
                                : "in un file con la «,» il separatore decimale è il punto");
    }
    std::string comeNumero(scritto);
    std::replace(comeNumero.begin(), comeNumero.end(), ',', '.');
    try {
        return CDbl(comeNumero);
    } catch (const ErroreRuntime& e) {
        rifiuta(e.tipo() == TipoErrore::Overflow ? "il numero è fuori dall'intervallo dei numeri"
                                                 : "non è un numero");
    }
    return std::nullopt;
}

// A reach's cells read by the rules of the columns: every fault names its
// column.
class LetturaCelle {
  public:
    LetturaCelle(const CelleTratto& celle, std::size_t riga, bool virgolaDecimale)
        : celle_(celle), riga_(riga), virgolaDecimale_(virgolaDecimale) {}

    Tratto tratto() const {
        verificaCaratteri();
        Tratto t;
        t.nome = nome(Nome);
        if (t.nome.empty()) {
            errore(Nome, "manca il nome del tratto");
        }
        t.pozzettoMonte = nome(PozzettoMonte);
        t.pozzettoValle = nome(PozzettoValle);
        t.lunghezza = nelCampo(Lunghezza, campoLunghezza);
        t.raggio = nelCampo(Raggio, campoRaggio);
        t.portataMinima = nelCampo(PortataMinima, campoPortata);
        const std::optional<double> portata = nelCampo(Portata, campoPortata);
        if (!portata) {
            errore(Portata, "manca la portata di progetto");
        }
        t.portata = *portata;
        t.pendenza = nelCampo(Pendenza, campoPendenza);
        t.quotaMonte = nelCampo(QuotaMonte, campoQuota);
        t.quotaValle = nelCampo(QuotaValle, campoQuota);
        if (!t.pendenza) {
            verificaQuote(t);
        }
        t.resistenza = resistenza();
        t.esistente = esistente();
        return t;
    }

  private:
    [[noreturn]] void errore(Colonna colonna, const std::string& motivo) const {
        throw csv::Errore(riga_, nomiColonne[colonna], motivo);
    }

    std::string_view testo(Colonna colonna) const { return csv::senzaSpazi(celle_[colonna]); }

    std::string nome(Colonna colonna) const {
        std::string scritto(testo(colonna));
        if (caratteriUtf8(scritto) > nomeMassimo) {
            errore(colonna, "il nome supera " + std::to_string(nomeMassimo) + " caratteri");
        }
        return scritto;
    }

    // A cell holds a name or a word of one line: a tab or a line break, even
    // quoted, would break the rows of a table printed from the reaches.
    void verificaCaratteri() const {
        for (std::size_t c = 0; c < colonne; ++c) {
            if (caratteriUtf8(celle_[c]) > cellaMassima) {
                errore(static_cast<Colonna>(c),
                       "la cella supera " + std::to_string(cellaMassima) + " caratteri");
            }
            if (const std::optional<std::string> motivo = caratteriNonAmmessi(celle_[c])) {
                errore(static_cast<Colonna>(c), *motivo);
            }
        }
    }
    // The text as written, quoted after the reason.
    [[noreturn]] void rifiuta(Colonna colonna, const std::string& motivo) const {
        errore(colonna, motivo + ": «" + std::string(testo(colonna)) + "»");
    }

    std::optional<double> numero(Colonna colonna) const {
        return numeroDellaCella(testo(colonna), virgolaDecimale_, riga_, nomiColonne[colonna]);
    }

    std::optional<double> positivo(Colonna colonna) const {
        const std::optional<double> valore = numero(colonna);
        if (valore && !(*valore > 0)) {
            rifiuta(colonna, "deve essere maggiore di zero");
        }
        return valore;
    }

    // A physical quantity: one that cannot be is refused with its range.
    std::optional<double> nelCampo(Colonna colonna, const Campo& campo) const {
        const std::optional<double> valore =
            campo.minimo >= 0 ? positivo(colonna) : numero(colonna);
        if (valore) {
            if (const std::optional<std::string> motivo = fuoriCampo(*valore, campo)) {
                rifiuta(colonna, *motivo);
            }
        }
        return valore;
    }

    void verificaQuote(const Tratto& t) const {
        if (!t.quotaMonte || !t.quotaValle) {
            errore(t.quotaMonte   ? QuotaValle
                   : t.quotaValle ? QuotaMonte
                                  : Pendenza,
                   "manca la pendenza, o le quote di monte e di valle");
        }
        if (!t.lunghezza) {
            errore(Lunghezza, "manca la lunghezza, che con le quote dà la pendenza");
        }
        if (!(*t.quotaMonte > *t.quotaValle)) {
            errore(QuotaMonte, "la quota di monte «" + std::string(testo(QuotaMonte)) +
                                   "» non è più alta di quella di valle «" +
                                   std::string(testo(QuotaValle)) +
                                   "»: la pendenza deve essere maggiore di zero");
        }
        const double pendenza = *t.pendenzaDiCalcolo();
        if (const std::optional<std::string> motivo = fuoriCampo(pendenza, campoPendenza)) {
            errore(QuotaMonte, "la pendenza " + CStr(pendenza) + " delle quote «" +
                                   std::string(testo(QuotaMonte)) + "» e «" +
                                   std::string(testo(QuotaValle)) + "» sulla lunghezza «" +
                                   std::string(testo(Lunghezza)) + "» è " + *motivo);
        }
    }

    bool esistente() const {
        const std::string scritto = minuscolo(testo(Esistente));
        if (scritto == "si" || scritto == "sì") {
            return true;
        }
        if (!scritto.empty() && scritto != "no") {
            rifiuta(Esistente, "scrivere «si» per un tratto esistente, «no» o niente per uno "
                               "di progetto");
        }
        return false;
    }

    std::optional<formule::Resistenza> resistenza() const {
        const std::string chiave = minuscolo(testo(Legge));
        const std::optional<double> scabrezza = positivo(Scabrezza);
        if (chiave.empty()) {
            if (scabrezza) {
                errore(Legge, "manca la legge della scabrezza (bazin, kutter, strickler, manning "
                              "o colebrook)");
            }
            return std::nullopt;
        }
        const std::optional<formule::Legge> legge = formule::leggeDaChiave(chiave);
        if (!legge) {
            errore(Legge, "legge sconosciuta: «" + std::string(testo(Legge)) +
                              "» (bazin, kutter, strickler, manning o colebrook)");
        }
        const formule::Intervallo ammesso = formule::intervalloCoefficiente(*legge);
        const std::string coefficiente = " (" + std::string(formule::simboloCoefficiente(*legge)) +
                                         " in " + std::string(formule::unitaCoefficiente(*legge)) +
                                         ", da " + CStr(ammesso.minimo) + " a " +
                                         CStr(ammesso.massimo) + ")";
        const std::string nome(formule::nomeLegge(*legge));
        if (!scabrezza) {
            errore(Scabrezza, "manca la scabrezza della legge di " + nome + coefficiente);
        }
        if (!(*scabrezza >= ammesso.minimo && *scabrezza <= ammesso.massimo)) {
            errore(Scabrezza, "fuori dall'intervallo della legge di " + nome + ": «" +
                                  std::string(testo(Scabrezza)) + "»" + coefficiente);
        }
        return formule::Resistenza{*legge, *scabrezza};
    }

    const CelleTratto& celle_;
    std::size_t riga_;
    bool virgolaDecimale_;
};

// The cells of a record, by the columns the header names.
CelleTratto celleDelRecord(const csv::Record& record, const Posizioni& posizioni) {
    CelleTratto celle;
    for (std::size_t c = 0; c < colonne; ++c) {
        if (posizioni[c]) {
            celle[c] = record.campi[*posizioni[c]];
        }
    }
    return celle;
}

// The ground levels a file gives its manholes, in the order they come; one
// manhole given two levels is an error naming both lines.
class TerreniDelFile {
  public:
    void aggiungi(const csv::Record& record, const Posizioni& posizioni, const Tratto& tratto,
                  bool italiano) {
        const std::string* pozzetti[] = {&tratto.pozzettoMonte, &tratto.pozzettoValle};
        for (std::size_t i = 0; i < nomiColonneTerreno.size(); ++i) {
            const std::optional<std::size_t> posizione = posizioni[colonne + i];
            const char* colonna = nomiColonneTerreno[i];
            const std::string_view scritto =
                posizione ? csv::senzaSpazi(record.campi[*posizione]) : std::string_view();
            const std::optional<double> quota =
                numeroDellaCella(scritto, italiano, record.riga, colonna);
            if (quota) {
                if (const std::optional<std::string> motivo = fuoriCampo(*quota, campoQuota)) {
                    throw csv::Errore(record.riga, colonna,
                                      *motivo + ": «" + std::string(scritto) + "»");
                }
                aggiungi(*pozzetti[i], *quota, record.riga, colonna);
            }
        }
    }

    std::vector<Pozzetto> pozzetti() && { return std::move(pozzetti_); }

  private:
    void aggiungi(const std::string& nome, double quota, std::size_t riga, const char* colonna) {
        if (nome.empty()) {
            throw csv::Errore(riga, colonna,
                              "la quota del terreno è di un pozzetto: manca il suo nome");
        }
        const auto [dove, nuovo] = indici_.try_emplace(nome, pozzetti_.size());
        if (nuovo) {
            pozzetti_.push_back({nome, quota, ""});
            righe_.push_back(riga);
        } else if (*pozzetti_[dove->second].quotaTerreno != quota) {
            throw csv::Errore(riga, colonna,
                              "il pozzetto «" + nome + "» ha la quota del terreno " +
                                  CStr(*pozzetti_[dove->second].quotaTerreno) + " alla riga " +
                                  std::to_string(righe_[dove->second]) + " e " + CStr(quota) +
                                  " alla riga " + std::to_string(riga));
        }
    }

    std::map<std::string, std::size_t> indici_;
    std::vector<Pozzetto> pozzetti_;
    std::vector<std::size_t> righe_;
};

// Each reach of a file with its cells, in the file's order, and the
// manholes' ground levels; a fault stops the reading where it stands, the
// first of the file.
template <typename Raccogli>
std::vector<Pozzetto> leggiFile(std::string_view file, Raccogli raccogli) {
    const csv::Testo testo = csv::preparato(file);
    const bool italiano = testo.italiano;
    csv::Lettore lettore(testo);
    std::optional<csv::Record> intestazione = lettore.prossimo();
    while (intestazione && intestazione->vuoto()) {
        intestazione = lettore.prossimo();
    }
    if (!intestazione) {
        throw csv::Errore(1, "", "manca l'intestazione con i nomi delle colonne");
    }
    const Posizioni posizioni = leggiIntestazione(*intestazione);
    TerreniDelFile terreni;
    std::size_t letti = 0;
    while (const std::optional<csv::Record> record = lettore.prossimo()) {
        if (record->vuoto()) {
            continue;
        }
        if (record->campi.size() != intestazione->campi.size()) {
            throw csv::Errore(record->riga, "",
                              "la riga ha " + std::to_string(record->campi.size()) +
                                  " campi, l'intestazione " +
                                  std::to_string(intestazione->campi.size()));
        }
        if (letti == trattiMassimi) {
            throw csv::Errore(record->riga, "",
                              "troppi tratti: un file ne può avere al massimo " +
                                  std::to_string(trattiMassimi));
        }
        ++letti;
        CelleTratto celle = celleDelRecord(*record, posizioni);
        Tratto tratto = trattoDaCelle(celle, record->riga, italiano);
        terreni.aggiungi(*record, posizioni, tratto, italiano);
        raccogli(std::move(celle), std::move(tratto), italiano, record->riga);
    }
    return std::move(terreni).pozzetti();
}

// The shortest text in plain decimals that reads back to the same double:
// no exponent, so that an Italian spreadsheet takes it for a number.
std::string testoNumero(double valore) {
    char cifre[400]; // the longest double in plain decimals has 327 characters
    return std::string(cifre, caratteri::fisso(std::begin(cifre), std::end(cifre), valore));
}

std::string testoNumero(std::optional<double> valore) {
    return valore ? testoNumero(*valore) : std::string();
}

// The height in cm, with `riempimento` the filling in %, and the velocity
// in cm/s of an answer, computed: six significant digits; empty fields
// where there is none.
void aggiungiRisposta(std::vector<std::string>& campi, const std::optional<analisi::Risposta>& r,
                      bool riempimento) {
    campi.push_back(r ? SeiCifre(r->altezza * 100) : "");
    if (riempimento) {
        campi.push_back(r ? SeiCifre(r->riempimento * 100) : "");
    }
    campi.push_back(r ? SeiCifre(r->velocita * 100) : "");
}

// A level typed reads back as typed; one computed, to the millimetre.
std::string quota(std::optional<double> scritta, std::optional<double> usata) {
    return scritta ? testoNumero(*scritta) : usata ? Format(*usata, "0.000") : "";
}

std::string millimetri(std::optional<double> metri) {
    return metri ? Format(*metri, "0.000") : "";
}

std::string seiCifre(std::optional<double> valore) {
    return valore ? SeiCifre(*valore) : "";
}

// Whether the radius was chosen from the catalogue.
const char* scelto(const Esito& e) {
    return e.dimensionato ? "si" : "no";
}

// A reach's reasons; one that cannot be computed named by its line of the
// file, where there is one.
std::string motivoNelFile(const Esito& e, std::size_t k, const std::vector<std::size_t>& righe,
                          Separatore separatore) {
    const std::string motivo = motivoDi(e, separatore);
    return !e.calcolato && k < righe.size()
               ? "riga " + std::to_string(righe[k]) + " del file: " + motivo
               : motivo;
}

std::string testoNelFormato(std::size_t righe, const RigaDi& riga, Formato formato) {
    switch (formato) {
    case Formato::Csv:
        return testoCsv(righe, riga);
    case Formato::CsvItaliano:
        // The names of the reach and of its manholes are names: «1.1» stays.
        return testoCsvItaliano(righe, riga, PozzettoValle + 1);
    case Formato::Tabella:
        break;
    }
    return testoAllineato(righe, riga);
}

} // namespace

std::vector<std::vector<std::string>> celleEsiti(const std::vector<Tratto>& tratti,
                                                 const std::vector<Esito>& esiti,
                                                 Separatore separatore,
                                                 const std::vector<std::size_t>& righe) {
    static const std::vector<std::string> intestazione[2] = {
        {"TRATTO",      "DA",          "A",     "RAGGIO",  "SCELTO",      "PENDENZA", "Q",
         "ALTEZZA",     "h/H",         "V",     "Q MIN",   "ALTEZZA MIN", "V MIN",    "Q PIENA",
         "QUOTA MONTE", "QUOTA VALLE", "SALTO", "RICOPR.", "i MIN",       "i MAX"},
        {"",      "",     "",       "(cm)",  "",    "(m/m)", "(l/s)", "(cm)", "(%)",   "(cm/s)",
         "(l/s)", "(cm)", "(cm/s)", "(l/s)", "(m)", "(m)",   "(m)",   "(m)",  "(m/m)", "(m/m)"}};
    const auto riga = [&](std::size_t r) -> std::vector<std::string> {
        if (r < 2) {
            return intestazione[r];
        }
        const Tratto& t = tratti[r - 2];
        const Esito& e = esiti[r - 2];
        const auto misura = [&](Misura m, std::optional<double> valore) {
            return valore ? testoMisura(m, *valore, separatore) : "";
        };
        const auto altezza = [&](const std::optional<analisi::Risposta>& a) {
            return misura(Misura::Altezza, a ? std::optional(a->altezza) : std::nullopt);
        };
        const auto velocita = [&](const std::optional<analisi::Risposta>& a) {
            return misura(Misura::Velocita, a ? std::optional(a->velocita) : std::nullopt);
        };
        return std::vector<std::string>{
            t.nome,
            t.pozzettoMonte,
            t.pozzettoValle,
            testoMisura(Misura::Raggio, e.raggio, separatore),
            scelto(e),
            misura(Misura::Pendenza, e.pendenza > 0 ? std::optional(e.pendenza) : std::nullopt),
            testoMisura(Misura::Portata, t.portata / 1000, separatore),
            altezza(e.progetto),
            misura(Misura::Riempimento,
                   e.progetto ? std::optional(e.progetto->riempimento) : std::nullopt),
            velocita(e.progetto),
            misura(Misura::Portata,
                   t.portataMinima ? std::optional(*t.portataMinima / 1000) : std::nullopt),
            altezza(e.minima),
            velocita(e.minima),
            testoMisura(Misura::Portata, e.portataPiena, separatore),
            misura(Misura::Quota, e.quotaMonte),
            misura(Misura::Quota, e.quotaValle),
            misura(Misura::Dislivello, e.salto),
            misura(Misura::Dislivello, e.ricoprimento),
            misura(Misura::Pendenza, e.pendenzaMinima),
            misura(Misura::Pendenza, e.pendenzaMassima)};
    };
    const auto verdetto = [&](std::size_t r) -> std::string {
        if (r < 2) {
            return r == 0 ? "ESITO" : "";
        }
        const Esito& e = esiti[r - 2];
        std::string testo =
            e.verificato ? e.verdetto()
                         : e.verdetto() + (": " + motivoNelFile(e, r - 2, righe, separatore));
        if (const std::string avvisi = avvisiDi(e, separatore); !avvisi.empty()) {
            testo += " (avviso: " + avvisi + ")";
        }
        return testo;
    };
    std::vector<std::vector<std::string>> celle;
    celle.reserve(tratti.size() + 2);
    for (std::size_t r = 0; r < tratti.size() + 2; ++r) {
        celle.push_back(riga(r));
        celle.back().push_back(verdetto(r));
    }
    return celle;
}

namespace {

// Two header lines, then one line per reach, the verdict unaligned last.
std::string testoTabellaEsiti(const std::vector<Tratto>& tratti, const std::vector<Esito>& esiti,
                              Separatore separatore, const std::vector<std::size_t>& righe) {
    const std::vector<std::vector<std::string>> celle =
        celleEsiti(tratti, esiti, separatore, righe);
    return testoAllineato(
        celle.size(),
        [&](std::size_t r) {
            return std::vector<std::string>(celle[r].begin(), celle[r].end() - 1);
        },
        [&](std::size_t r) { return celle[r].back(); });
}

} // namespace

bool numerica(std::size_t colonna) {
    return colonna != Nome && colonna != PozzettoMonte && colonna != PozzettoValle &&
           colonna != Legge && colonna != Esistente;
}

Tratto trattoDaCelle(const CelleTratto& celle, std::size_t riga, bool virgolaDecimale) {
    return LetturaCelle(celle, riga, virgolaDecimale).tratto();
}

TrattiLetti leggiTrattiConRighe(std::string_view testo) {
    TrattiLetti letti;
    letti.pozzetti = leggiFile(testo, [&](CelleTratto&&, Tratto&& tratto, bool, std::size_t riga) {
        letti.tratti.push_back(std::move(tratto));
        letti.righe.push_back(riga);
    });
    return letti;
}

std::vector<Tratto> leggiTratti(std::string_view testo) {
    return leggiTrattiConRighe(testo).tratti;
}

CelleLette leggiCelleTratti(std::string_view testo) {
    CelleLette lette;
    std::vector<CelleTratto>& righe = lette.celle;
    lette.pozzetti =
        leggiFile(testo, [&](CelleTratto&& celle, Tratto&&, bool italiano, std::size_t) {
            for (std::size_t c = 0; c < colonne; ++c) {
                celle[c] = std::string(csv::senzaSpazi(celle[c]));
                // Read, an Italian number has no point: the comma is its only
                // separator.
                if (italiano && numerica(c)) {
                    std::replace(celle[c].begin(), celle[c].end(), ',', '.');
                }
            }
            righe.push_back(std::move(celle));
        });
    return lette;
}

std::string testoEsiti(const std::vector<Tratto>& tratti, const std::vector<Esito>& esiti,
                       Formato formato, Separatore separatore,
                       const std::vector<std::size_t>& righe) {
    if (formato == Formato::Tabella) {
        return testoTabellaEsiti(tratti, esiti, separatore, righe);
    }
    // The Italian file's reasons read as its numbers do.
    const Separatore delleParole =
        formato == Formato::CsvItaliano ? Separatore::Virgola : Separatore::Punto;
    const auto riga = [&](std::size_t r) -> std::vector<std::string> {
        if (r == 0) {
            return {"tratto",
                    "pozzetto_monte",
                    "pozzetto_valle",
                    "raggio_cm",
                    "raggio_scelto",
                    "pendenza",
                    "portata_l_s",
                    "altezza_cm",
                    "riempimento_pct",
                    "velocita_cm_s",
                    "portata_minima_l_s",
                    "altezza_minima_cm",
                    "velocita_minima_cm_s",
                    "portata_piena_l_s",
                    "quota_monte",
                    "quota_valle",
                    "salto_m",
                    "ricoprimento_min_m",
                    "pendenza_minima",
                    "pendenza_massima",
                    "esito",
                    "motivo",
                    "avvisi"};
        }
        const Tratto& t = tratti[r - 1];
        const Esito& e = esiti[r - 1];
        // As given, every digit; from the quotas, as the report prints it.
        const std::string pendenza = !(e.pendenza > 0) ? ""
                                     : t.pendenza      ? testoNumero(e.pendenza)
                                                       : SeiCifre(e.pendenza);
        std::vector<std::string> campi = {
            t.nome,    t.pozzettoMonte, t.pozzettoValle,       testoNumero(e.raggio),
            scelto(e), pendenza,        testoNumero(t.portata)};
        aggiungiRisposta(campi, e.progetto, true);
        campi.push_back(testoNumero(t.portataMinima));
        aggiungiRisposta(campi, e.minima, false);
        campi.insert(campi.end(),
                     {SeiCifre(e.portataPiena * 1000), quota(t.quotaMonte, e.quotaMonte),
                      quota(t.quotaValle, e.quotaValle), millimetri(e.salto),
                      millimetri(e.ricoprimento), seiCifre(e.pendenzaMinima),
                      seiCifre(e.pendenzaMassima), e.verdetto(),
                      motivoNelFile(e, r - 1, righe, delleParole), avvisiDi(e, delleParole)});
        return campi;
    };
    return testoNelFormato(tratti.size() + 1, riga, formato);
}

std::string testoTratti(const std::vector<Tratto>& tratti, Formato formato,
                        const std::vector<Pozzetto>& pozzetti) {
    std::map<std::string, double> terreni;
    for (const Pozzetto& p : pozzetti) {
        if (p.quotaTerreno) {
            terreni.emplace(p.nome, *p.quotaTerreno);
        }
    }
    const auto terreno = [&](const std::string& nome) {
        const auto trovato = terreni.find(nome);
        return trovato != terreni.end() ? testoNumero(trovato->second) : std::string();
    };
    // Only a line with a reach as built has the column: a file of a design
    // alone reads as it always did.
    const bool conEsistenti =
        std::any_of(tratti.begin(), tratti.end(), [](const Tratto& t) { return t.esistente; });
    const auto senzaEsistente = [&](std::vector<std::string> campi) {
        if (!conEsistenti) {
            campi.erase(campi.begin() + Esistente);
        }
        return campi;
    };
    const auto riga = [&](std::size_t n) -> std::vector<std::string> {
        if (n == 0) {
            std::vector<std::string> nomi(nomiColonne.begin(), nomiColonne.end());
            nomi.insert(nomi.end(), nomiColonneTerreno.begin(), nomiColonneTerreno.end());
            return senzaEsistente(std::move(nomi));
        }
        const Tratto& t = tratti[n - 1];
        const auto& r = t.resistenza;
        return senzaEsistente({t.nome, t.pozzettoMonte, t.pozzettoValle, testoNumero(t.lunghezza),
                               testoNumero(t.pendenza), testoNumero(t.quotaMonte),
                               testoNumero(t.quotaValle), testoNumero(t.raggio),
                               testoNumero(t.portata), testoNumero(t.portataMinima),
                               r ? std::string(formule::chiaveLegge(r->legge)) : "",
                               r ? testoNumero(r->coefficiente) : "", t.esistente ? "si" : "",
                               terreno(t.pozzettoMonte), terreno(t.pozzettoValle)});
    };
    return testoNelFormato(tratti.size() + 1, riga, formato);
}

} // namespace tratti
