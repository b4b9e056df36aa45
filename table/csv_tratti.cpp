#include "table/csv_tratti.h"

#include "calc/errore_runtime.h"
#include "file/testo_visibile.h"
#include "file/utf8.h"
#include "numeri/conversioni.h"
#include "numeri/formato.h"
#include "table/tabella_risultati.h"
#include "table/testo_griglia.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <cstdio>
#include <optional>

namespace tratti {

namespace {

std::string_view senzaSpazi(std::string_view testo) {
    const std::size_t inizio = testo.find_first_not_of(" \t");
    if (inizio == std::string_view::npos) {
        return {};
    }
    return testo.substr(inizio, testo.find_last_not_of(" \t") - inizio + 1);
}

// Whether every cell of a row holds blanks at most.
template <typename Celle> bool tutteVuote(const Celle& celle) {
    return std::all_of(std::begin(celle), std::end(celle),
                       [](const std::string& c) { return senzaSpazi(c).empty(); });
}

// Whether a column holds a number, which an Italian file writes with a
// decimal comma.
bool numerica(std::size_t colonna) {
    return colonna != Nome && colonna != Legge;
}

std::string minuscolo(std::string_view testo) {
    std::string esito(testo);
    std::transform(esito.begin(), esito.end(), esito.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return esito;
}

struct Record {
    std::size_t riga = 0; // the file's line where it starts
    std::vector<std::string> campi;

    bool vuoto() const { return tutteVuote(campi); }
};

// RFC 4180 records, one at a time: a field in quotes may hold the
// separator, a line break and doubled quotes; lines end in CRLF or LF.
class LettoreCsv {
  public:
    LettoreCsv(std::string_view testo, char separatore) : testo_(testo), separatore_(separatore) {}

    std::optional<Record> prossimo() {
        if (posizione_ >= testo_.size()) {
            return std::nullopt;
        }
        Record record{riga_, {}};
        for (;;) {
            const bool traVirgolette = posizione_ < testo_.size() && testo_[posizione_] == '"';
            record.campi.push_back(traVirgolette ? campoTraVirgolette(record)
                                                 : campoSemplice(record));
            if (posizione_ >= testo_.size()) {
                return record;
            }
            const char c = testo_[posizione_++];
            if (c == '\n' || (c == '\r' && fineRiga())) {
                ++riga_;
                return record;
            }
        }
    }

  private:
    // The CR of a CRLF, consumed with its LF.
    bool fineRiga() {
        if (posizione_ < testo_.size() && testo_[posizione_] == '\n') {
            ++posizione_;
            return true;
        }
        return false;
    }

    bool fineCampo() const {
        if (posizione_ >= testo_.size()) {
            return true;
        }
        const char c = testo_[posizione_];
        return c == separatore_ || c == '\n' ||
               (c == '\r' && posizione_ + 1 < testo_.size() && testo_[posizione_ + 1] == '\n');
    }

    // A quote inside a field that does not begin with one is a field
    // quoted by mistake, or a quote a spreadsheet would have doubled.
    std::string campoSemplice(const Record& record) {
        const std::size_t inizio = posizione_;
        std::size_t caratteri = 0;
        while (!fineCampo()) {
            if (testo_[posizione_] == '"') {
                throw ErroreCsv(riga_, "",
                                "virgolette dentro il campo " +
                                    std::to_string(record.campi.size() + 1) +
                                    ", che non inizia con le virgolette");
            }
            conta(record, testo_[posizione_++], caratteri);
        }
        return std::string(testo_.substr(inizio, posizione_ - inizio));
    }

    // Counted as the field grows, so that a file of one endless field is
    // refused before it is copied; a character is a UTF-8 sequence.
    void conta(const Record& record, char byte, std::size_t& caratteri) const {
        if ((static_cast<unsigned char>(byte) & 0xC0) != 0x80 && ++caratteri > cellaMassima) {
            throw ErroreCsv(record.riga, "",
                            "il campo " + std::to_string(record.campi.size() + 1) + " supera " +
                                std::to_string(cellaMassima) + " caratteri");
        }
    }

    std::string campoTraVirgolette(const Record& record) {
        std::string campo;
        std::size_t caratteri = 0;
        for (++posizione_;; ++posizione_) {
            if (posizione_ >= testo_.size()) {
                throw ErroreCsv(record.riga, "", "virgolette aperte e mai chiuse");
            }
            const char c = testo_[posizione_];
            if (c == '"') {
                if (posizione_ + 1 < testo_.size() && testo_[posizione_ + 1] == '"') {
                    ++posizione_;
                } else {
                    break;
                }
            } else if (c == '\n') {
                ++riga_;
            }
            campo += c;
            conta(record, c, caratteri);
        }
        ++posizione_;
        if (!fineCampo()) {
            throw ErroreCsv(riga_, "", "testo dopo le virgolette che chiudono un campo");
        }
        return campo;
    }

    std::string_view testo_;
    char separatore_;
    std::size_t posizione_ = 0;
    std::size_t riga_ = 1;
};

// Where each known column stands in the file.
using Posizioni = std::array<std::optional<std::size_t>, colonne>;

std::string elencoColonne() {
    std::string elenco;
    for (const char* nome : nomiColonne) {
        elenco += elenco.empty() ? nome : std::string(", ") + nome;
    }
    return elenco;
}

Posizioni leggiIntestazione(const Record& intestazione) {
    Posizioni posizioni;
    const std::size_t riga = intestazione.riga;
    for (std::size_t i = 0; i < intestazione.campi.size(); ++i) {
        const std::string& scritto = intestazione.campi[i];
        const std::string nome = minuscolo(senzaSpazi(scritto));
        const auto trovato = std::find(nomiColonne.begin(), nomiColonne.end(), nome);
        if (trovato == nomiColonne.end()) {
            throw ErroreCsv(riga, scritto,
                            nome.empty()
                                ? "una colonna senza nome"
                                : "colonna sconosciuta (le colonne sono " + elencoColonne() + ")");
        }
        std::optional<std::size_t>& posizione = posizioni[trovato - nomiColonne.begin()];
        if (posizione) {
            throw ErroreCsv(riga, nome, "la colonna è ripetuta");
        }
        posizione = i;
    }
    for (const Colonna necessaria : {Nome, Portata}) {
        if (!posizioni[necessaria]) {
            throw ErroreCsv(riga, nomiColonne[necessaria], "manca la colonna");
        }
    }
    if (!posizioni[Pendenza]) {
        if (!posizioni[QuotaMonte] && !posizioni[QuotaValle]) {
            throw ErroreCsv(riga, "pendenza",
                            "manca la colonna, o le colonne quota_monte e quota_valle con la "
                            "lunghezza");
        }
        for (const Colonna quote : {QuotaMonte, QuotaValle, Lunghezza}) {
            if (!posizioni[quote]) {
                throw ErroreCsv(riga, nomiColonne[quote],
                                "manca la colonna: senza la pendenza, la danno le quote di monte "
                                "e di valle con la lunghezza");
            }
        }
    }
    return posizioni;
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
        t.nome = std::string(testo(Nome));
        if (t.nome.empty()) {
            errore(Nome, "manca il nome del tratto");
        }
        if (caratteriUtf8(t.nome) > nomeMassimo) {
            errore(Nome, "il nome supera " + std::to_string(nomeMassimo) + " caratteri");
        }
        t.lunghezza = positivo(Lunghezza);
        t.raggio = positivo(Raggio);
        t.portataMinima = positivo(PortataMinima);
        const std::optional<double> portata = positivo(Portata);
        if (!portata) {
            errore(Portata, "manca la portata di progetto");
        }
        t.portata = *portata;
        t.pendenza = positivo(Pendenza);
        t.quotaMonte = numero(QuotaMonte);
        t.quotaValle = numero(QuotaValle);
        if (!t.pendenza) {
            verificaQuote(t);
        }
        t.resistenza = resistenza();
        return t;
    }

  private:
    [[noreturn]] void errore(Colonna colonna, const std::string& motivo) const {
        throw ErroreCsv(riga_, nomiColonne[colonna], motivo);
    }

    std::string_view testo(Colonna colonna) const { return senzaSpazi(celle_[colonna]); }

    // A control character would reach the terminal or the spreadsheet as
    // it is; a tab or a line break, even quoted, would break the rows of a
    // table printed from the reaches.
    void verificaCaratteri() const {
        for (std::size_t c = 0; c < colonne; ++c) {
            if (caratteriUtf8(celle_[c]) > cellaMassima) {
                errore(static_cast<Colonna>(c),
                       "la cella supera " + std::to_string(cellaMassima) + " caratteri");
            }
            for (std::string_view resto = celle_[c]; !resto.empty();) {
                char32_t punto = 0;
                const std::size_t lunghezza = sequenzaUtf8(resto, punto);
                const bool controllo =
                    lunghezza > 0 && (punto < 0x20 || (punto >= 0x7F && punto < 0xA0));
                if (controllo) {
                    char codice[8];
                    std::snprintf(codice, sizeof codice, "U+%04X", static_cast<unsigned>(punto));
                    errore(static_cast<Colonna>(c),
                           std::string("contiene un carattere di controllo (") + codice +
                               "), che non è ammesso");
                }
                resto.remove_prefix(std::max<std::size_t>(lunghezza, 1));
            }
        }
    }
    // The text as written, quoted after the reason.
    [[noreturn]] void rifiuta(Colonna colonna, const std::string& motivo) const {
        errore(colonna, motivo + ": «" + std::string(testo(colonna)) + "»");
    }

    std::optional<double> numero(Colonna colonna) const {
        const std::string_view scritto = testo(colonna);
        if (scritto.empty()) {
            return std::nullopt;
        }
        // The other separator would be read as a thousands separator.
        if (scritto.find(virgolaDecimale_ ? '.' : ',') != std::string_view::npos) {
            rifiuta(colonna, virgolaDecimale_
                                 ? "in un file con il «;» il separatore decimale è la virgola"
                                 : "in un file con la «,» il separatore decimale è il punto");
        }
        std::string comeNumero(scritto);
        std::replace(comeNumero.begin(), comeNumero.end(), ',', '.');
        try {
            return CDbl(comeNumero);
        } catch (const ErroreRuntime& e) {
            rifiuta(colonna, e.tipo() == TipoErrore::Overflow
                                 ? "il numero è fuori dall'intervallo dei numeri"
                                 : "non è un numero");
        }
    }

    std::optional<double> positivo(Colonna colonna) const {
        const std::optional<double> valore = numero(colonna);
        if (valore && !(*valore > 0)) {
            rifiuta(colonna, "deve essere maggiore di zero");
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
CelleTratto celleDelRecord(const Record& record, const Posizioni& posizioni) {
    CelleTratto celle;
    for (std::size_t c = 0; c < colonne; ++c) {
        if (posizioni[c]) {
            celle[c] = record.campi[*posizioni[c]];
        }
    }
    return celle;
}

// Each reach of a file with its cells, in the file's order; a fault stops
// the reading where it stands, the first of the file.
// A file saved as "Unicode text" holds every other byte NUL: read as
// bytes, it would be refused for its first control character.
bool utf16(std::string_view testo) {
    if (testo.starts_with("\xFF\xFE") || testo.starts_with("\xFE\xFF")) {
        return true;
    }
    return testo.size() >= 4 && ((testo[0] != '\0' && testo[1] == '\0' && testo[3] == '\0') ||
                                 (testo[0] == '\0' && testo[2] == '\0' && testo[1] != '\0'));
}

template <typename Raccogli> void leggiFile(std::string_view testo, Raccogli raccogli) {
    if (utf16(testo)) {
        throw ErroreCsv(1, "",
                        "il file è in UTF-16 («testo Unicode»): va salvato come CSV in UTF-8");
    }
    constexpr std::string_view bom = "\xEF\xBB\xBF";
    if (testo.substr(0, bom.size()) == bom) {
        testo.remove_prefix(bom.size());
    }
    // Not UTF-8: as an Italian Excel saves a CSV.
    std::string convertito;
    if (primoNonUtf8(testo)) {
        convertito = daWindows1252(testo);
        testo = convertito;
    }
    const bool italiano = testo.substr(0, testo.find('\n')).find(';') != std::string_view::npos;
    LettoreCsv lettore(testo, italiano ? ';' : ',');
    std::optional<Record> intestazione = lettore.prossimo();
    while (intestazione && intestazione->vuoto()) {
        intestazione = lettore.prossimo();
    }
    if (!intestazione) {
        throw ErroreCsv(1, "", "manca l'intestazione con i nomi delle colonne");
    }
    const Posizioni posizioni = leggiIntestazione(*intestazione);
    std::size_t letti = 0;
    while (const std::optional<Record> record = lettore.prossimo()) {
        if (record->vuoto()) {
            continue;
        }
        if (record->campi.size() != intestazione->campi.size()) {
            throw ErroreCsv(record->riga, "",
                            "la riga ha " + std::to_string(record->campi.size()) +
                                " campi, l'intestazione " +
                                std::to_string(intestazione->campi.size()));
        }
        if (letti == trattiMassimi) {
            throw ErroreCsv(record->riga, "",
                            "troppi tratti: un file ne può avere al massimo " +
                                std::to_string(trattiMassimi));
        }
        ++letti;
        CelleTratto celle = celleDelRecord(*record, posizioni);
        Tratto tratto = trattoDaCelle(celle, record->riga, italiano);
        raccogli(std::move(celle), std::move(tratto), italiano, record->riga);
    }
}

// The shortest text in plain decimals that reads back to the same double:
// no exponent, so that an Italian spreadsheet takes it for a number.
std::string testoNumero(double valore) {
    char cifre[400]; // the longest double in plain decimals has 327 characters
    const auto fine =
        std::to_chars(std::begin(cifre), std::end(cifre), valore, std::chars_format::fixed).ptr;
    return std::string(cifre, fine);
}

std::string testoNumero(std::optional<double> valore) {
    return valore ? testoNumero(*valore) : std::string();
}

// The height in cm, with `riempimento` the filling in %, and the velocity
// in cm/s of an answer; empty fields where there is none.
void aggiungiRisposta(std::vector<std::string>& campi, const std::optional<analisi::Risposta>& r,
                      bool riempimento) {
    campi.push_back(r ? testoNumero(r->altezza * 100) : "");
    if (riempimento) {
        campi.push_back(r ? testoNumero(r->riempimento * 100) : "");
    }
    campi.push_back(r ? testoNumero(r->velocita * 100) : "");
}

std::string testoNelFormato(std::size_t righe, const RigaDi& riga, Formato formato) {
    switch (formato) {
    case Formato::Csv:
        return testoCsv(righe, riga);
    case Formato::CsvItaliano:
        return testoCsvItaliano(righe, riga, 1); // the reach's name is a name
    case Formato::Tabella:
        break;
    }
    return testoAllineato(righe, riga);
}

// Two header lines, then one line per reach, each made as it is written.
std::string testoTabellaEsiti(const std::vector<Tratto>& tratti, const std::vector<Esito>& esiti) {
    static const std::vector<std::string> intestazione[2] = {
        {"TRATTO", "RAGGIO", "PENDENZA", "Q", "ALTEZZA", "h/H", "V", "Q MIN", "ALTEZZA MIN",
         "V MIN", "Q PIENA"},
        {"", "(cm)", "(m/m)", "(l/sec)", "(cm)", "(%)", "(cm/sec)", "(l/sec)", "(cm)", "(cm/sec)",
         "(l/sec)"}};
    const auto riga = [&](std::size_t r) -> std::vector<std::string> {
        if (r < 2) {
            return intestazione[r];
        }
        const Tratto& t = tratti[r - 2];
        const Esito& e = esiti[r - 2];
        const auto altezza = [](const std::optional<analisi::Risposta>& a) {
            return a ? TestoValore(1, a->altezza) : "";
        };
        const auto velocita = [](const std::optional<analisi::Risposta>& a) {
            return a ? TestoValore(5, a->velocita) : "";
        };
        return {t.nome,
                Format(e.raggio, "0.0"),
                e.pendenza > 0 ? Format(e.pendenza, "0.0000##") : "",
                TestoValore(6, t.portata / 1000),
                altezza(e.progetto),
                e.progetto ? Format(e.progetto->riempimento * 100, "0.0") : "",
                velocita(e.progetto),
                t.portataMinima ? TestoValore(6, *t.portataMinima / 1000) : "",
                altezza(e.minima),
                velocita(e.minima),
                TestoValore(6, e.portataPiena)};
    };
    const auto verdetto = [&](std::size_t r) -> std::string {
        if (r < 2) {
            return r == 0 ? "ESITO" : "";
        }
        const Esito& e = esiti[r - 2];
        return e.verificato ? e.verdetto() : e.verdetto() + (": " + e.motivo);
    };
    return testoAllineato(tratti.size() + 2, riga, verdetto);
}

} // namespace

// The column's name and the reason may quote what the file holds: a NUL
// byte would cut the message short, a control character drive the terminal.
ErroreCsv::ErroreCsv(std::size_t riga, std::string colonna, const std::string& motivo)
    : std::runtime_error(testoVisibile("riga " + std::to_string(riga) +
                                       (colonna.empty() ? "" : ", colonna «" + colonna + "»") +
                                       ": " + motivo)),
      riga_(riga), colonna_(std::move(colonna)), motivo_(motivo) {}

Tratto trattoDaCelle(const CelleTratto& celle, std::size_t riga, bool virgolaDecimale) {
    return LetturaCelle(celle, riga, virgolaDecimale).tratto();
}

TrattiLetti leggiTrattiConRighe(std::string_view testo) {
    TrattiLetti letti;
    leggiFile(testo, [&](CelleTratto&&, Tratto&& tratto, bool, std::size_t riga) {
        letti.tratti.push_back(std::move(tratto));
        letti.righe.push_back(riga);
    });
    return letti;
}

std::vector<Tratto> leggiTratti(std::string_view testo) {
    return leggiTrattiConRighe(testo).tratti;
}

std::vector<CelleTratto> leggiCelleTratti(std::string_view testo) {
    std::vector<CelleTratto> righe;
    leggiFile(testo, [&](CelleTratto&& celle, Tratto&&, bool italiano, std::size_t) {
        for (std::size_t c = 0; c < colonne; ++c) {
            celle[c] = std::string(senzaSpazi(celle[c]));
            // Read, an Italian number has no point: the comma is its only
            // separator.
            if (italiano && numerica(c)) {
                std::replace(celle[c].begin(), celle[c].end(), ',', '.');
            }
        }
        righe.push_back(std::move(celle));
    });
    return righe;
}

std::string testoEsiti(const std::vector<Tratto>& tratti, const std::vector<Esito>& esiti,
                       Formato formato) {
    if (formato == Formato::Tabella) {
        return testoTabellaEsiti(tratti, esiti);
    }
    const auto riga = [&](std::size_t r) -> std::vector<std::string> {
        if (r == 0) {
            return {"tratto",
                    "raggio_cm",
                    "pendenza",
                    "portata_l_s",
                    "altezza_cm",
                    "riempimento_pct",
                    "velocita_cm_s",
                    "portata_minima_l_s",
                    "altezza_minima_cm",
                    "velocita_minima_cm_s",
                    "portata_piena_l_s",
                    "esito",
                    "motivo"};
        }
        const Tratto& t = tratti[r - 1];
        const Esito& e = esiti[r - 1];
        std::vector<std::string> campi = {t.nome, testoNumero(e.raggio),
                                          e.pendenza > 0 ? testoNumero(e.pendenza) : "",
                                          testoNumero(t.portata)};
        aggiungiRisposta(campi, e.progetto, true);
        campi.push_back(testoNumero(t.portataMinima));
        aggiungiRisposta(campi, e.minima, false);
        campi.insert(campi.end(), {testoNumero(e.portataPiena * 1000), e.verdetto(), e.motivo});
        return campi;
    };
    return testoNelFormato(tratti.size() + 1, riga, formato);
}

std::string testoTratti(const std::vector<Tratto>& tratti, Formato formato) {
    const auto riga = [&](std::size_t n) -> std::vector<std::string> {
        if (n == 0) {
            return {nomiColonne.begin(), nomiColonne.end()};
        }
        const Tratto& t = tratti[n - 1];
        const auto& r = t.resistenza;
        return {t.nome,
                testoNumero(t.lunghezza),
                testoNumero(t.pendenza),
                testoNumero(t.quotaMonte),
                testoNumero(t.quotaValle),
                testoNumero(t.raggio),
                testoNumero(t.portata),
                testoNumero(t.portataMinima),
                r ? std::string(formule::chiaveLegge(r->legge)) : "",
                r ? testoNumero(r->coefficiente) : ""};
    };
    return testoNelFormato(tratti.size() + 1, riga, formato);
}

namespace {

using progetto::Casella;
using progetto::RigaTratto;

// Where each column's text lives in a row: a box or a plain text.
struct Campo {
    Casella RigaTratto::*casella;
    std::string RigaTratto::*testo;
};
constexpr std::array<Campo, colonne> campi{{
    {nullptr, &RigaTratto::tratto},
    {&RigaTratto::lunghezza, nullptr},
    {&RigaTratto::pendenza, nullptr},
    {&RigaTratto::quotaMonte, nullptr},
    {&RigaTratto::quotaValle, nullptr},
    {&RigaTratto::raggio, nullptr},
    {&RigaTratto::portata, nullptr},
    {&RigaTratto::portataMinima, nullptr},
    {nullptr, &RigaTratto::legge},
    {&RigaTratto::scabrezza, nullptr},
}};

} // namespace

const std::string& testoCella(const RigaTratto& riga, std::size_t colonna) {
    const Campo& campo = campi[colonna];
    return campo.casella != nullptr ? (riga.*campo.casella).testo : riga.*campo.testo;
}

// A decimal comma, typed or pasted from an Italian spreadsheet, is held as
// a point: the cell then reads as the same number in an Italian file.
void scriviCella(RigaTratto& riga, std::size_t colonna, std::string testo) {
    if (numerica(colonna)) {
        std::replace(testo.begin(), testo.end(), ',', '.');
    }
    const Campo& campo = campi[colonna];
    if (campo.casella != nullptr) {
        riga.*campo.casella = Casella::daTesto(std::move(testo));
    } else {
        riga.*campo.testo = std::move(testo);
    }
}

CelleTratto celleDi(const RigaTratto& riga) {
    CelleTratto celle;
    for (std::size_t c = 0; c < colonne; ++c) {
        celle[c] = testoCella(riga, c);
    }
    return celle;
}

// A name too long to be a reach's is refused by its cell, and named by its
// beginning.
std::string RigaLetta::nome() const {
    const std::string_view scritto = senzaSpazi(celle[Nome]);
    if (scritto.empty()) {
        return "riga " + std::to_string(riga);
    }
    std::size_t byte = 0;
    for (std::size_t caratteri = 0; byte < scritto.size() && caratteri < nomeMassimo; ++caratteri) {
        char32_t punto = 0;
        byte += std::max<std::size_t>(sequenzaUtf8(scritto.substr(byte), punto), 1);
    }
    return byte < scritto.size() ? std::string(scritto.substr(0, byte)) + "…"
                                 : std::string(scritto);
}

std::optional<RigaLetta> leggiRiga(const RigaTratto& riga, std::size_t numero) {
    RigaLetta letta{celleDi(riga), numero, std::nullopt, std::nullopt};
    if (tutteVuote(letta.celle)) {
        return std::nullopt;
    }
    try {
        letta.tratto = trattoDaCelle(letta.celle, numero);
    } catch (const ErroreCsv& errore) {
        letta.errore = errore;
    }
    return letta;
}

std::vector<RigaLetta> leggiRighe(const std::vector<RigaTratto>& righe) {
    std::vector<RigaLetta> lette;
    for (std::size_t k = 0; k < righe.size(); ++k) {
        if (std::optional<RigaLetta> letta = leggiRiga(righe[k], k + 1)) {
            lette.push_back(std::move(*letta));
        }
    }
    return lette;
}

RigaTratto rigaDaCelle(const CelleTratto& celle) {
    RigaTratto riga;
    for (std::size_t c = 0; c < colonne; ++c) {
        scriviCella(riga, c, celle[c]);
    }
    return riga;
}

} // namespace tratti
