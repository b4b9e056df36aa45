#include "cli/opzioni.h"

#include "cli/progetto_cli.h"
#include "cli/uscite.h"
#include "documenti/salvataggio.h"
#include "errori/errore_runtime.h"
#include "figure/esporta_profilo.h"
#include "figure/figura_profilo.h"
#include "file/errore_file.h"
#include "file/testo_visibile.h"
#include "numeri/conversioni.h"
#include "tratti/grandezze.h"

#include <cmath>

namespace {

double valoreNumerico(const std::string& opzione, const std::string& testo) {
    // An Italian decimal comma would read as a thousands separator: 0,010
    // would be 10 and 1,500 would be 1500. No comma, then.
    if (testo.find(',') != std::string::npos) {
        throw ErroreUso("il valore di " + opzione +
                        " ha una virgola: il separatore decimale è il "
                        "punto e le migliaia non si separano: «" +
                        testo + "»");
    }
    try {
        return CDbl(testo);
    } catch (const ErroreRuntime& e) {
        if (e.tipo() == TipoErrore::Overflow) {
            throw ErroreUso("il valore di " + opzione + " è fuori dall'intervallo dei numeri: «" +
                            testo + "»");
        }
        throw ErroreUso("il valore di " + opzione + " non è un numero: «" + testo + "»");
    }
}

double valorePositivo(const std::string& opzione, const std::string& testo) {
    const double valore = valoreNumerico(opzione, testo);
    if (!(valore > 0)) {
        throw ErroreUso("il valore di " + opzione + " deve essere maggiore di zero: «" + testo +
                        "»");
    }
    return valore;
}

// A quantity of the network: positive, and within the range of what can
// be built.
double nelCampo(const std::string& opzione, const std::string& testo, const tratti::Campo& campo) {
    const double valore = valorePositivo(opzione, testo);
    if (const std::optional<std::string> motivo = tratti::fuoriCampo(valore, campo)) {
        throw ErroreUso("il valore di " + opzione + " è " + *motivo + ": «" + testo + "»");
    }
    return valore;
}

OpzioniCli::Formato formato(const std::string& testo) {
    if (testo == "si") {
        return OpzioniCli::Formato::Si;
    }
    if (testo == "tabella") {
        return OpzioniCli::Formato::Tabella;
    }
    if (testo == "csv") {
        return OpzioniCli::Formato::Csv;
    }
    if (testo == "csv-it") {
        return OpzioniCli::Formato::CsvItaliano;
    }
    throw ErroreUso("formato sconosciuto per --formato: «" + testo +
                    "» (tabella, csv, csv-it o si)");
}

formule::Geometria geometria(const std::string& testo) {
    if (testo == "tabellare") {
        return formule::Geometria::Tabellare;
    }
    if (testo == "esatta") {
        return formule::Geometria::Esatta;
    }
    throw ErroreUso("geometria sconosciuta per --geometria: «" + testo + "» (tabellare o esatta)");
}

formule::Legge legge(const std::string& testo) {
    if (const std::optional<formule::Legge> l = formule::leggeDaChiave(testo)) {
        return *l;
    }
    throw ErroreUso("legge sconosciuta per --legge: «" + testo +
                    "» (bazin, kutter, strickler, manning o colebrook)");
}

// The water's temperature, in its range: 0 °C, not a positive number, is
// the least.
double temperatura(const std::string& opzione, const std::string& testo) {
    const double valore = valoreNumerico(opzione, testo);
    const formule::Intervallo ammessa = formule::intervalloTemperatura;
    if (!(valore >= ammessa.minimo && valore <= ammessa.massimo)) {
        throw ErroreUso("il valore di " + opzione + " è fuori dall'intervallo da " +
                        CStr(ammessa.minimo) + " a " + CStr(ammessa.massimo) + " °C: «" + testo +
                        "»");
    }
    return valore;
}

int punti(const std::string& opzione, const std::string& testo) {
    const double valore = valorePositivo(opzione, testo);
    if (valore != std::floor(valore) || valore > puntiCurvaMassimi) {
        throw ErroreUso("il valore di " + opzione + " deve essere un numero intero da 1 a " +
                        std::to_string(puntiCurvaMassimi) + ": «" + testo + "»");
    }
    return static_cast<int>(valore);
}

// Radii in cm separated by commas, each a positive number.
std::vector<double> catalogo(const std::string& opzione, const std::string& testo) {
    std::vector<double> raggi;
    for (std::size_t inizio = 0;;) {
        const std::size_t virgola = testo.find(',', inizio);
        const std::string raggio = testo.substr(inizio, virgola - inizio);
        if (raggio.empty()) {
            throw ErroreUso("il valore di " + opzione +
                            " ha un raggio vuoto: i raggi in cm vanno separati da una virgola "
                            "(25,30,35): «" +
                            testo + "»");
        }
        raggi.push_back(nelCampo(opzione, raggio, tratti::campoRaggio));
        if (virgola == std::string::npos) {
            return raggi;
        }
        inizio = virgola + 1;
    }
}

void verificaAllineamento(const std::string& testo) {
    if (!tratti::allineamentoDaNome(testo)) {
        throw ErroreUso("allineamento sconosciuto per --allineamento: «" + testo +
                        "» (cieli, pelo o fondo)");
    }
}

} // namespace

const char* const testoAiuto =
    "Uso: sezione-inglese-cli [opzioni]\n"
    "Tabella di moto uniforme di una tubazione a sezione inglese (larghezza 2r, altezza 3r),\n"
    "velocità secondo Chézy con il coefficiente di Bazin, o secondo un'altra legge di\n"
    "resistenza (--legge).\n"
    "\n"
    "  --raggio CM          raggio caratteristico in cm (predefinito 20)\n"
    "  --pendenza M         pendenza in m/m (predefinita 0.01)\n"
    "  --incremento MM      incremento dell'altezza in mm (predefinito 100)\n"
    "  --coefficiente G     coefficiente di scabrezza di Bazin (predefinito 0.18)\n"
    "  --legge L            la legge di resistenza, per tutto ciò che viene stampato:\n"
    "                       bazin (predefinita), kutter, strickler (Gauckler–Strickler),\n"
    "                       manning o colebrook (Colebrook–White)\n"
    "  --scabrezza X        il coefficiente della legge: γ di Bazin (m½), m di Kutter\n"
    "                       (m½), Ks di Strickler (m¹ᐟ³/s), n di Manning (s/m¹ᐟ³),\n"
    "                       ks di Colebrook–White (mm); necessario con ogni legge\n"
    "                       tranne bazin, per la quale vale come --coefficiente\n"
    "  --temperatura T      con colebrook, la temperatura dell'acqua in °C, da 0 a 40\n"
    "                       (predefinita 15)\n"
    "  --formato F          tabella: allineata, come la griglia della finestra (predefinito)\n"
    "                       csv: i testi della griglia, in CSV\n"
    "                       csv-it: gli stessi per i fogli di calcolo in italiano: «;»\n"
    "                       tra i campi, virgola decimale, UTF-8 con BOM\n"
    "                       si: valori SI non arrotondati, in CSV\n"
    "  --separatore S       virgola o punto (predefinito): il separatore decimale della\n"
    "                       tabella, di --documento, --relazione e --file; csv e si\n"
    "                       hanno sempre il punto, csv-it sempre la virgola\n"
    "  --documento FILE     scrive anche il documento della relazione; il formato segue\n"
    "                       l'estensione: .docx, .odt, .pdf, .html\n"
    "  --relazione FILE     scrive anche la relazione di calcolo (dati come scritti,\n"
    "                       metodo, risultati, verifiche, figure); con --tratti, o con\n"
    "                       un progetto che ha tratti, la relazione della rete; il\n"
    "                       formato segue l'estensione: .docx, .odt, .pdf, .html\n"
    "  --file FILE          scrive anche il file dei risultati, come «Scrivi su file»:\n"
    "                       testo leggibile, o i testi della griglia se FILE finisce in\n"
    "                       .csv; senza estensione si aggiunge .txt; sovrascrive\n"
    "  --portata L_S        al posto della tabella, le altezze a cui la portata vale L_S\n"
    "                       l/s (righe Q1, Q2, … dalla più bassa), poi le righe Piena,\n"
    "                       Vmax e Qmax (altezze vere dei massimi)\n"
    "  --velocita CM_S      lo stesso per una velocità in cm/s (righe V1, V2, …);\n"
    "                       si può dare insieme a --portata\n"
    "  --portata-minima L_S la portata di tempo secco in l/s: la riga Qmin, all'altezza\n"
    "                       più bassa a cui la portata vale L_S, dopo le righe di\n"
    "                       --portata e --velocita e prima di Piena, Vmax e Qmax\n"
    "  --curva N            al posto della tabella, N altezze equidistanti k × 3r / N,\n"
    "                       k = 1 … N (N da 1 a 100000), senza etichette\n"
    "  --geometria G        tabellare: le formule della tabella classica (predefinita)\n"
    "                       esatta: il profilo vero a quattro archi, senza costanti\n"
    "                       arrotondate; vale per tutto ciò che viene stampato\n"
    "  --progetto FILE      ogni ingresso dal file di progetto (.sezione): raggio,\n"
    "                       pendenza, coefficiente e incremento per la tabella; la\n"
    "                       geometria e la legge della finestra di analisi per le\n"
    "                       risposte e i tratti; le opzioni date insieme prevalgono\n"
    "                       sul file, ovunque stiano (--coefficiente anche sulla\n"
    "                       legge di Bazin del file)\n"
    "  --verifiche          con --progetto, al posto della tabella, ciò che --portata,\n"
    "                       --velocita e --portata-minima stampano per la portata e la\n"
    "                       velocità di progetto e la portata minima del file (le\n"
    "                       opzioni prevalgono anche qui)\n"
    "  --tratti FILE.csv    al posto della tabella, la verifica di ogni tratto del file\n"
    "                       (colonne tratto, portata, pendenza o quota_monte e\n"
    "                       quota_valle con lunghezza, e raggio, portata_minima, legge,\n"
    "                       scabrezza): una riga di esito per tratto, in tabella, csv o\n"
    "                       csv-it; un tratto senza raggio prende il più piccolo del\n"
    "                       catalogo che rispetta i limiti\n"
    "  --velocita-minima CM_S, --velocita-massima CM_S, --riempimento-massimo PERCENTO\n"
    "                       con --tratti, i limiti delle verifiche (predefiniti 50, 400\n"
    "                       e 70, o quelli di --progetto)\n"
    "  --catalogo R1,R2,…   con --tratti, i raggi in cm tra cui scegliere (predefiniti\n"
    "                       25,30,35,40,45,50,60,70,80,90,100, o quelli di --progetto)\n"
    "                       Un tratto che nomina i pozzetti (pozzetto_monte,\n"
    "                       pozzetto_valle) è in rete: ha un raggio non minore di quelli\n"
    "                       a monte, le quote portate da monte, le verifiche di\n"
    "                       continuità; terreno_monte e terreno_valle danno le quote\n"
    "                       del terreno dei pozzetti, insieme a quelle di --progetto\n"
    "  --allineamento A     con --tratti, come si allinea ai pozzetti un tratto sui\n"
    "                       tratti che vi entrano: cieli (predefinito), pelo (il pelo\n"
    "                       libero alla portata di progetto) o fondo (senza salti)\n"
    "  --ricoprimento-minimo M, --profondita-massima M, --salto-massimo M\n"
    "                       con --tratti, in m: il terreno sopra il cielo del tratto\n"
    "                       (predefinito 1.00), lo scavo dal terreno allo scorrimento\n"
    "                       e il salto oltre il quale serve un pozzetto di salto\n"
    "                       (predefiniti: nessun limite); l'allineamento e i limiti\n"
    "                       della rete sono altrimenti quelli di --progetto\n"
    "  --profilo FILE       con --tratti o con i tratti di --progetto, scrive anche il\n"
    "                       profilo longitudinale (.pdf, .svg, .png o .dxf) del percorso\n"
    "                       dal pozzetto di testa allo sbocco; il PDF in fogli A3, o\n"
    "                       A4 se il progetto di --progetto li sceglie\n"
    "  --da POZZETTO        il pozzetto di testa del profilo (predefinito: quello del\n"
    "                       percorso più lungo)\n"
    "  --scala-orizzontale N, --scala-verticale N\n"
    "                       le scale 1:N del profilo (predefinite: quelle di --progetto,\n"
    "                       o adatte al foglio)\n"
    "  --help               questo aiuto\n"
    "  --version            la versione\n"
    "\n"
    "I numeri delle opzioni hanno il punto decimale (0.005): la virgola separa i\n"
    "raggi di --catalogo. Le caselle delle finestre e dei file di progetto accettano\n"
    "anche la virgola decimale.\n"
    "L'incremento è tenuto tra 3 × raggio / 100 e 30 × raggio, come nella finestra.\n"
    "Stato d'uscita: 0 fatto (anche con tratti non verificati); 2 uso errato, valore\n"
    "non positivo o non numerico, due uscite (--documento, --relazione, --file,\n"
    "--profilo) sullo stesso file o un'uscita sul file di --progetto o --tratti, o\n"
    "file di progetto o dei tratti che non si può leggere, con un valore non valido o\n"
    "con una rete sbagliata (una diramazione, un anello, un tratto da un pozzetto a\n"
    "sé stesso); 1 errore di calcolo, o file o uscita standard che non si possono\n"
    "scrivere.\n";

namespace {

// The box of the project that an option fills, as typed; none for an
// option that fills no box.
progetto::Casella* casellaScritta(progetto::Progetto& p, const std::string& opzione) {
    const std::pair<const char*, progetto::Casella*> caselle[] = {
        {"--raggio", &p.ingressi.raggio},
        {"--pendenza", &p.ingressi.pendenza},
        {"--incremento", &p.ingressi.incremento},
        {"--coefficiente", &p.ingressi.coefficiente},
        {"--portata", &p.verifiche.portataProgetto},
        {"--velocita", &p.verifiche.velocitaProgetto},
        {"--portata-minima", &p.verifiche.portataMinima},
        {"--velocita-minima", &p.verifiche.velocitaMinima},
        {"--velocita-massima", &p.verifiche.velocitaMassima},
        {"--riempimento-massimo", &p.verifiche.riempimentoMassimo},
        {"--scabrezza", &p.verifiche.scabrezza},
        {"--temperatura", &p.verifiche.temperatura},
        {"--ricoprimento-minimo", &p.rete.ricoprimentoMinimo},
        {"--profondita-massima", &p.rete.profonditaMassima},
        {"--salto-massimo", &p.rete.saltoMassimo},
    };
    for (const auto& [nome, casella] : caselle) {
        if (opzione == nome) {
            return casella;
        }
    }
    return nullptr;
}

// The range of a length of the network's rules, for its option.
const tratti::Campo* campoDellaRete(const std::string& opzione) {
    return opzione == "--ricoprimento-minimo"  ? &tratti::campoRicoprimento
           : opzione == "--profondita-massima" ? &tratti::campoProfondita
           : opzione == "--salto-massimo"      ? &tratti::campoSalto
                                               : nullptr;
}

// The defaults, as a new project's boxes would hold them.
OpzioniCli predefinite() {
    OpzioniCli opzioni;
    for (auto [casella, valore] :
         {std::pair{&opzioni.comeScritto.ingressi.raggio, opzioni.raggio},
          {&opzioni.comeScritto.ingressi.pendenza, opzioni.pendenza},
          {&opzioni.comeScritto.ingressi.coefficiente, opzioni.coefficiente},
          {&opzioni.comeScritto.ingressi.incremento, opzioni.incremento}}) {
        *casella = progetto::Casella::daTesto(CStr(valore));
    }
    return opzioni;
}

// The line read over `opzioni`: what it gives replaces what they hold.
OpzioniCli opzioniLette(const std::vector<std::string>& argomenti, OpzioniCli opzioni) {
    for (std::size_t i = 0; i < argomenti.size(); ++i) {
        const std::string& opzione = argomenti[i];
        if (opzione == "--help") {
            opzioni.aiuto = true;
            continue;
        }
        if (opzione == "--version") {
            opzioni.versione = true;
            continue;
        }
        if (opzione == "--verifiche") {
            opzioni.verifiche = true;
            continue;
        }
        double* numero = opzione == "--raggio"         ? &opzioni.raggio
                         : opzione == "--pendenza"     ? &opzioni.pendenza
                         : opzione == "--incremento"   ? &opzioni.incremento
                         : opzione == "--coefficiente" ? &opzioni.coefficiente
                                                       : nullptr;
        // Limits typed in cm/s and %.
        const bool centesimi = opzione == "--velocita-minima" || opzione == "--velocita-massima" ||
                               opzione == "--riempimento-massimo";
        const tratti::Campo* metri = campoDellaRete(opzione);
        std::optional<double>* scala = opzione == "--scala-orizzontale" ? &opzioni.scalaOrizzontale
                                       : opzione == "--scala-verticale" ? &opzioni.scalaVerticale
                                                                        : nullptr;
        const bool conValore =
            numero != nullptr || centesimi || opzione == "--formato" || opzione == "--documento" ||
            opzione == "--file" || opzione == "--portata" || opzione == "--velocita" ||
            opzione == "--portata-minima" || opzione == "--curva" || opzione == "--geometria" ||
            opzione == "--progetto" || opzione == "--relazione" || opzione == "--legge" ||
            opzione == "--scabrezza" || opzione == "--temperatura" || opzione == "--tratti" ||
            opzione == "--catalogo" || opzione == "--separatore" || metri != nullptr ||
            opzione == "--allineamento" || scala != nullptr || opzione == "--profilo" ||
            opzione == "--da";
        if (!conValore) {
            throw ErroreUso("opzione sconosciuta: «" + opzione + "» (vedere --help)");
        }
        if (i + 1 >= argomenti.size()) {
            throw ErroreUso("manca il valore dell'opzione " + opzione);
        }
        const std::string& valore = argomenti[++i];
        if (valore.empty()) {
            throw ErroreUso("manca il valore dell'opzione " + opzione);
        }
        opzioni.date.insert(opzione);
        if (numero != nullptr) {
            *numero = valorePositivo(opzione, valore);
        } else if (centesimi) {
            const double limite = valorePositivo(opzione, valore);
            if (opzione == "--riempimento-massimo" && limite > 100) {
                throw ErroreUso(
                    "--riempimento-massimo è una parte dell'altezza: al più 100, non «" + valore +
                    "»");
            }
        } else if (metri != nullptr) {
            nelCampo(opzione, valore, *metri);
        } else if (scala != nullptr) {
            *scala = valorePositivo(opzione, valore);
            if (!scalaAmmessa(**scala)) {
                throw ErroreUso(opzione + " vuole il denominatore di una scala " + scaleAmmesse +
                                ", non «" + valore + "»");
            }
        } else if (opzione == "--profilo") {
            if (!formatoProfiloNoto(valore)) {
                throw ErroreUso("estensione non riconosciuta per --profilo: «" + valore +
                                "» (.pdf, .svg, .png o .dxf)");
            }
            opzioni.profilo = valore;
        } else if (opzione == "--da") {
            opzioni.da = valore;
        } else if (opzione == "--allineamento") {
            verificaAllineamento(valore);
            opzioni.comeScritto.rete.allineamento = valore;
        } else if (opzione == "--catalogo") {
            opzioni.comeScritto.catalogo = catalogo(opzione, valore);
        } else if (opzione == "--tratti") {
            opzioni.tratti = valore;
        } else if (opzione == "--formato") {
            opzioni.formato = formato(valore);
        } else if (opzione == "--separatore") {
            if (!separatoreDaNome(valore, opzioni.separatore)) {
                throw ErroreUso("separatore sconosciuto per --separatore: «" + valore +
                                "» (virgola o punto)");
            }
        } else if (opzione == "--geometria") {
            opzioni.geometria = geometria(valore);
            opzioni.comeScritto.verifiche.geometria = valore;
        } else if (opzione == "--portata") {
            opzioni.portata = valorePositivo(opzione, valore);
        } else if (opzione == "--velocita") {
            opzioni.velocita = valorePositivo(opzione, valore);
        } else if (opzione == "--portata-minima") {
            opzioni.portataMinima = valorePositivo(opzione, valore);
        } else if (opzione == "--curva") {
            opzioni.curva = punti(opzione, valore);
        } else if (opzione == "--legge") {
            opzioni.legge = legge(valore);
        } else if (opzione == "--scabrezza") {
            opzioni.scabrezza = valorePositivo(opzione, valore);
        } else if (opzione == "--temperatura") {
            opzioni.temperatura = temperatura(opzione, valore);
        } else if (opzione == "--file") {
            opzioni.file = valore;
        } else if (opzione == "--progetto") {
            opzioni.progetto = valore;
        } else if (!formatoDaNome(valore)) {
            throw ErroreUso("estensione non riconosciuta per " + opzione + ": «" + valore +
                            "» (.docx, .odt, .pdf o .html)");
        } else if (opzione == "--relazione") {
            opzioni.relazione = valore;
        } else {
            opzioni.documento = valore;
        }
        if (progetto::Casella* casella = casellaScritta(opzioni.comeScritto, opzione)) {
            *casella = progetto::Casella::daTesto(valore);
        }
    }
    return opzioni;
}

// The profile is drawn from reaches, and its options need it.
void verificaProfilo(const OpzioniCli& opzioni) {
    if (opzioni.profilo.empty()) {
        for (const char* opzione : {"--da", "--scala-orizzontale", "--scala-verticale"}) {
            if (opzioni.date.count(opzione) > 0) {
                throw ErroreUso(std::string(opzione) +
                                " vale solo con --profilo: è un'opzione del profilo longitudinale");
            }
        }
        return;
    }
    if (opzioni.tratti.empty() && opzioni.progetto.empty()) {
        throw ErroreUso("--profilo vuole i tratti: da --tratti FILE.csv o da un --progetto che ne "
                        "ha");
    }
}

// The law and its coefficient, checked together once the whole line is
// read: --scabrezza may stand before --legge.
void verificaLegge(OpzioniCli& opzioni) {
    const std::string nome(formule::nomeLegge(opzioni.legge));
    const formule::Intervallo ammesso = formule::intervalloCoefficiente(opzioni.legge);
    const std::string coefficiente = std::string(formule::simboloCoefficiente(opzioni.legge)) +
                                     " in " +
                                     std::string(formule::unitaCoefficiente(opzioni.legge)) +
                                     ", da " + CStr(ammesso.minimo) + " a " + CStr(ammesso.massimo);
    const bool conCoefficiente = opzioni.date.count("--coefficiente") > 0;
    if (opzioni.legge == formule::Legge::Bazin) {
        if (opzioni.scabrezza && conCoefficiente && *opzioni.scabrezza != opzioni.coefficiente) {
            throw ErroreUso("--scabrezza " + CStr(*opzioni.scabrezza) + " e --coefficiente " +
                            CStr(opzioni.coefficiente) +
                            " danno due coefficienti di Bazin diversi: darne uno solo");
        }
    } else if (!opzioni.scabrezza) {
        throw ErroreUso("manca --scabrezza: la legge di " + nome +
                        " richiede il suo coefficiente (" + coefficiente + ")");
    } else if (conCoefficiente) {
        throw ErroreUso("--coefficiente è il coefficiente di Bazin: con la legge di " + nome +
                        " il coefficiente si dà con --scabrezza");
    }
    if (opzioni.scabrezza &&
        !(*opzioni.scabrezza >= ammesso.minimo && *opzioni.scabrezza <= ammesso.massimo)) {
        throw ErroreUso("il valore di --scabrezza è fuori dall'intervallo della legge di " + nome +
                        ": «" + CStr(*opzioni.scabrezza) + "» (" + coefficiente + ")");
    }
    if (opzioni.date.count("--temperatura") > 0 && opzioni.legge != formule::Legge::Colebrook) {
        throw ErroreUso("--temperatura vale solo con --legge colebrook: la legge di " + nome +
                        " non dipende dalla temperatura dell'acqua");
    }
    if (opzioni.legge == formule::Legge::Bazin && opzioni.scabrezza) {
        opzioni.coefficiente = *opzioni.scabrezza;
        opzioni.comeScritto.ingressi.coefficiente =
            progetto::Casella::daTesto(CStr(opzioni.coefficiente));
    }
}

// The law the line gives, in the boxes of the analysis window, which every
// window reads it from: --legge's, with --scabrezza (none: Bazin's γ is the
// table's) and --temperatura (none: the usual one); else the project's,
// whose Bazin takes --coefficiente as its γ.
void leggeNelProgetto(OpzioniCli& opzioni) {
    progetto::Verifiche& v = opzioni.comeScritto.verifiche;
    const auto data = [&](const char* opzione) { return opzioni.date.count(opzione) > 0; };
    if (data("--legge") || data("--scabrezza")) {
        v.legge = std::string(formule::chiaveLegge(opzioni.legge));
        if (!data("--scabrezza")) {
            v.scabrezza = {};
        }
        if (opzioni.legge == formule::Legge::Colebrook && !data("--temperatura")) {
            v.temperatura = progetto::Casella::daTesto(CStr(formule::Resistenza().temperatura));
        }
    } else if (data("--coefficiente") && formule::leggeDaChiave(v.legge) == formule::Legge::Bazin) {
        v.scabrezza = {};
    }
}

// --tratti takes each reach's radius, slope and flows from its file, and
// prints their results only; the limits and the catalogue are its alone.
void verificaTratti(const OpzioniCli& opzioni) {
    if (opzioni.tratti.empty()) {
        for (const char* opzione :
             {"--velocita-minima", "--velocita-massima", "--riempimento-massimo", "--catalogo",
              "--allineamento", "--ricoprimento-minimo", "--profondita-massima",
              "--salto-massimo"}) {
            if (opzioni.date.count(opzione) > 0) {
                throw ErroreUso(std::string(opzione) +
                                " vale solo con --tratti: è un criterio di verifica dei tratti");
            }
        }
        return;
    }
    for (const char* opzione : {"--raggio", "--pendenza", "--incremento", "--portata", "--velocita",
                                "--portata-minima", "--curva", "--documento", "--file"}) {
        if (opzioni.date.count(opzione) > 0) {
            throw ErroreUso(std::string(opzione) +
                            " non si può dare insieme a --tratti: raggi, pendenze e portate "
                            "sono quelli dei tratti del file, e si stampano solo i loro esiti");
        }
    }
    if (opzioni.verifiche) {
        throw ErroreUso("--verifiche non si può dare insieme a --tratti: le portate sono quelle "
                        "dei tratti del file");
    }
    if (opzioni.formato == OpzioniCli::Formato::Si) {
        throw ErroreUso("--formato si non vale con --tratti: gli esiti dei tratti si stampano "
                        "come tabella, csv o csv-it");
    }
}

// The line, over the project file's inputs when it names one: an option
// overrides the file wherever it stands.
OpzioniCli opzioniComplete(const std::vector<std::string>& argomenti) {
    OpzioniCli opzioni = opzioniLette(argomenti, predefinite());
    if (!opzioni.progetto.empty()) {
        opzioni = opzioniLette(
            argomenti, opzioniDalProgetto(opzioni.progetto, opzioni.verifiche, opzioni.date));
    } else if (opzioni.verifiche) {
        throw ErroreUso("--verifiche vale solo con --progetto FILE: i valori di progetto sono "
                        "quelli del file");
    }
    if (opzioni.curva > 0 &&
        (opzioni.portata || opzioni.velocita || opzioni.portataMinima || opzioni.verifiche)) {
        throw ErroreUso("--curva non si può dare insieme a --portata, --velocita, "
                        "--portata-minima o --verifiche");
    }
    verificaTratti(opzioni);
    verificaProfilo(opzioni);
    verificaLegge(opzioni);
    leggeNelProgetto(opzioni);
    verificaUscite(opzioni);
    return opzioni;
}

} // namespace

formule::Resistenza OpzioniCli::resistenza() const {
    formule::Resistenza esito{legge, scabrezza.value_or(coefficiente)};
    if (temperatura) {
        esito.temperatura = *temperatura;
    }
    return esito;
}

OpzioniCli leggiOpzioni(const std::vector<std::string>& argomenti) {
    // The messages quote what was typed: control characters and bytes that
    // are not UTF-8 are shown escaped, so that no value drives the terminal.
    // The project reader's messages come escaped already.
    try {
        return opzioniComplete(argomenti);
    } catch (const ErroreFile& e) {
        throw ErroreUso(e.what());
    } catch (const ErroreUso& e) {
        throw ErroreUso(testoVisibile(e.what()));
    }
}
