#pragma once

#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The project file (.sezione): UTF-8 JSON that keeps the main window's
// inputs as they were typed, the design values and limits of "Scala di
// deflusso e verifiche", and the project's data. Keys this program does not
// use are kept and written back unchanged.
namespace progetto {

inline constexpr const char* nomeFormato = "sezione-inglese";
inline constexpr int versioneFormato = 1;
inline constexpr std::size_t dimensioneMassima = 1024 * 1024;
// The most characters a text of the project may hold.
inline constexpr std::size_t testoMassimo = 100000;
inline constexpr const char* estensione = ".sezione";

// A box as the file keeps it: the text the box shows and, when the file
// holds a number, the number itself. An empty box is null in the file.
struct Casella {
    std::string testo;
    std::optional<double> numero;

    // What the user typed: kept as a number where the number's own text is
    // the very same, so the file reads naturally; else as the text.
    static Casella daTesto(std::string testo);
    // The number, or the text read as the window reads its box (Val).
    double valore() const;
    bool vuota() const { return testo.empty(); }

    bool operator==(const Casella&) const = default;
};

// The boxes of the main window; the coefficient's is the chosen list
// entry's text, or what was typed.
struct Ingressi {
    Casella raggio;
    Casella pendenza;
    Casella coefficiente;
    Casella incremento;
    std::string nomeFile;

    bool operator==(const Ingressi&) const = default;
};

// The boxes of "Scala di deflusso e verifiche".
struct Verifiche {
    std::string geometria = "tabellare";
    Casella portataProgetto;    // l/s
    Casella portataMinima;      // l/s, the dry-weather flow
    Casella velocitaProgetto;   // cm/s
    Casella velocitaMinima;     // cm/s
    Casella velocitaMassima;    // cm/s
    Casella riempimentoMassimo; // %
    // The resistance law of the answers, by its key ("bazin", "manning"…),
    // its coefficient (for Bazin, empty: the table's γ) and, for
    // Colebrook–White, the water's temperature (°C).
    std::string legge = "bazin";
    Casella scabrezza;
    Casella temperatura;

    bool operator==(const Verifiche&) const = default;
};

// The sources the report cites for its criteria ("fonti"), as written: a
// new project's propose only what is certain, and leave the rest to the
// designer.
struct Fonti {
    std::string velocitaMinima;
    std::string velocitaMassima;
    std::string riempimentoMassimo;
    std::string legge; // the resistance law and its coefficient
    std::string allineamento;
    std::string ricoprimento;

    bool operator==(const Fonti&) const = default;
};

// What a source left to the designer says.
inline constexpr const char* fonteDelProgettista = "a cura del progettista";

// "Dati del progetto".
struct Dati {
    std::string opera;
    std::string tratto;
    std::string committente;
    std::string progettista;
    std::string data; // as written; a new project's today, as 07/12/2026
    std::string note;
    std::string descrizione; // "Descrizione dell'opera", for the report's opening
    // Whether the report holds the typical section: "si" or "no"; empty:
    // only when the project has no reaches.
    std::string sezioneTipo;
    Fonti fonti;

    bool operator==(const Dati&) const = default;
};

// A key this program does not use, as the file wrote it: the key and its
// value in their JSON text, byte for byte.
struct VoceAltrui {
    std::string chiave;
    std::string valore;

    bool operator==(const VoceAltrui&) const = default;
};
using VociAltrui = std::vector<VoceAltrui>;

// A reach of "Verifica dei tratti" as its row's cells hold it, under the
// keys of the reaches' CSV (tratto, pozzetto_monte, pozzetto_valle,
// lunghezza, pendenza, quota_monte, quota_valle, raggio, portata,
// portata_minima, legge, scabrezza, esistente).
struct RigaTratto {
    std::string tratto;
    std::string pozzettoMonte;
    std::string pozzettoValle;
    Casella lunghezza;     // m
    Casella pendenza;      // m/m
    Casella quotaMonte;    // m
    Casella quotaValle;    // m
    Casella raggio;        // cm; empty: size it
    Casella portata;       // l/s
    Casella portataMinima; // l/s
    std::string legge;     // empty: the project's
    Casella scabrezza;
    VociAltrui altre;           // the file's other keys of the reach
    std::string esistente = {}; // "si": as built; empty: designed

    bool operator==(const RigaTratto&) const = default;
};

// A manhole of the line, as its row holds it (pozzetto, quota_terreno,
// nota, allineamento).
struct RigaPozzetto {
    std::string pozzetto;
    Casella quotaTerreno; // m
    std::string nota;
    VociAltrui altre;
    std::string allineamento = {}; // "cieli", "pelo", "fondo", "nessuna"; empty: the line's

    bool operator==(const RigaPozzetto&) const = default;
};

// A failing check the designer accepts, with the reason: of a reach or of
// a manhole, named by one of the two ("deroghe").
struct RigaDeroga {
    std::string tratto;
    std::string pozzetto;
    std::string controllo; // "autopulizia", "velocita_massima", "riempimento"…
    std::string motivo;
    VociAltrui altre;

    bool operator==(const RigaDeroga&) const = default;
};

// How the line's reaches are joined and covered ("rete").
struct Rete {
    std::string allineamento = "cieli"; // "cieli", "pelo" or "fondo"
    Casella ricoprimentoMinimo;         // m; a new project's 1
    Casella profonditaMassima;          // m; empty: not checked
    Casella saltoMassimo;               // m; empty: not checked

    bool operator==(const Rete&) const = default;
};

// How the longitudinal profiles are drawn ("profilo"): the scales chosen,
// as the denominators of 1:N, and the sheet of an export ("A3" or "A4").
// None chosen: scales fitted to the sheet, and A3. The file holds the part
// only when something is chosen.
struct DisegnoProfilo {
    std::optional<double> scalaOrizzontale, scalaVerticale;
    std::string foglio;

    bool vuoto() const { return !scalaOrizzontale && !scalaVerticale && foglio.empty(); }
    bool operator==(const DisegnoProfilo&) const = default;
};

// The scales a profile may be drawn at, 1:10 to 1:1,000,000.
inline constexpr double scalaProfiloMinima = 10, scalaProfiloMassima = 1e6;

// What the file holds beside the known keys, at the top and in each part
// ("ingressi", "verifiche", "progetto", "rete", "profilo"), in the file's
// order.
struct Originale {
    VociAltrui radice;
    std::map<std::string, VociAltrui, std::less<>> parti;

    bool operator==(const Originale&) const = default;
};

struct Progetto {
    Ingressi ingressi;
    Verifiche verifiche;
    Dati dati;
    Rete rete;
    std::vector<RigaTratto> tratti;
    std::vector<RigaPozzetto> pozzetti;
    std::vector<RigaDeroga> deroghe;
    DisegnoProfilo profilo;
    std::vector<double> catalogo; // radii of the standard sizes, cm; empty: the usual ones
    Originale originale;          // the file's keys not used here

    bool operator==(const Progetto&) const = default;
};

// A new project: the window's start-up inputs, the proposed limits.
Progetto progettoNuovo();

// Reads and checks a project file. Nothing is returned from a bad file:
// ErroreFile says "Impossibile aprire «…»: " and what is wrong, with the
// line and column of a syntax error, or the key of a value that cannot be
// used (a text longer than testoMassimo, or one that is not Unicode).
Progetto leggiProgetto(const std::string& percorso);
// The same for a text already read; `nome` names it in messages.
Progetto progettoDaTesto(std::string_view testo, const std::string& nome);

// The file's text: the known keys in a fixed order, then the others.
std::string testoProgetto(const Progetto& progetto);
// Writes it whole or not at all (the old file stays on any failure).
void scriviProgetto(const std::string& percorso, const Progetto& progetto);

} // namespace progetto
