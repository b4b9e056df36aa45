#include "cli/esecuzione.h"

#include "analisi/risposte.h"
#include "analisi/verifiche.h"
#include "calc/limiti_incremento.h"
#include "calc/tabella.h"
#include "cli/opzioni.h"
#include "cli/progetto_cli.h"
#include "cli/tratti_cli.h"
#include "cli/uscita_si.h"
#include "errori/errore_runtime.h"
#include "errori/motivo_eccezione.h"
#include "file/errore_file.h"
#include "file/motivo_errore.h"
#include "file/testo_visibile.h"
#include "numeri/conversioni.h"
#include "numeri/sezione.h"
#include "numeri/testo_valore.h"
#include "relazione/file_risultati.h"
#include "relazione/report_senza_finestra.h"
#include "table/tabella_risultati.h"
#include "table/testo_griglia.h"
#include "valutazione/valutazione.h"
#include "versione.h"

#include <algorithm>
#include <cerrno>
#include <ostream>
#include <stdexcept>

namespace {

constexpr const char* nomeProgramma = "sezione-inglese-cli";

// A computation the evaluation could not make, in its words.
class CalcoloFallito : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Keeps the increment within the bounds the window applies, and says so.
void limitaIncrementoConNota(calcolo::Ingressi& ingressi, std::ostream& errori) {
    const double richiesto = ingressi.incremento;
    const IncrementoLimitato limitato = limitaIncremento(ingressi.raggio, ingressi.incremento);
    ingressi.incremento = limitato.valore;
    if (limitato.limite != IncrementoLimitato::Limite::Nessuno) {
        errori << nomeProgramma << ": nota: incremento portato da " << CStr(richiesto) << " a "
               << CStr(ingressi.incremento) << " mm\n";
    }
}

// The table of the options, as the window computes it for the same boxes.
// A run-time error of the sweep is raised.
calcolo::Tabella tabellaDelleOpzioni(const OpzioniCli& opzioni, std::ostream& errori) {
    calcolo::Ingressi ingressi;
    ingressi.coeffBazin = opzioni.coefficiente;
    ingressi.leggeScelta = opzioni.resistenza();
    ingressi.raggio = opzioni.raggio;
    ingressi.pendenza = opzioni.pendenza;
    ingressi.incremento = opzioni.incremento;
    ingressi.geometria = opzioni.geometria;
    ingressi.tipoSezione = TestoSezione(ingressi.raggio);
    limitaIncrementoConNota(ingressi, errori);
    calcolo::Tabella tabella = calcolo::calcolaTabella(ingressi);
    if (tabella.errore) {
        throw *tabella.errore;
    }
    return tabella;
}

// Texts laid out as the grid lays them, in the format asked for.
std::string testoNelFormato(const RigheTesti& testi, OpzioniCli::Formato formato) {
    switch (formato) {
    case OpzioniCli::Formato::Csv:
        return testoCsv(testi);
    case OpzioniCli::Formato::CsvItaliano:
        return testoCsvItaliano(testi);
    default:
        return testoAllineato(testi);
    }
}

// The rows laid out as the grid lays them, under its header. A row where
// the flow is not turbulent has no velocity and flow, and in the aligned
// table the note says why beside it. The aligned table is for reading: its
// numbers take the separator asked for.
std::string testoComeGriglia(const std::vector<RigaUscita>& righe, OpzioniCli::Formato formato,
                             Separatore separatore) {
    RigheTesti testi = IntestazioneGriglia();
    for (const RigaUscita& riga : righe) {
        const analisi::Grandezze& g = riga.valori;
        std::vector<std::string> celle{riga.etichetta};
        int colonna = 0;
        for (const double valore :
             {g.altezza, g.area, g.contorno, g.raggioIdr, g.velocita, g.portata}) {
            ++colonna;
            celle.push_back(colonna >= 5 && !analisi::turbolento(g)
                                ? ""
                                : TestoValore(colonna, valore,
                                              formato == OpzioniCli::Formato::Tabella
                                                  ? separatore
                                                  : Separatore::Punto));
        }
        testi.push_back(std::move(celle));
    }
    if (formato != OpzioniCli::Formato::Tabella) {
        return testoNelFormato(testi, formato);
    }
    const std::size_t intestazione = testi.size() - righe.size();
    return testoAllineato(
        testi.size(), [&](std::size_t r) { return testi[r]; },
        [&](std::size_t r) {
            return r >= intestazione && !analisi::turbolento(righe[r - intestazione].valori)
                       ? std::string(analisi::notaMotoNonTurbolento)
                       : std::string();
        });
}

// Rows where the law gives no positive velocity are said once, whatever the
// format.
void notaMotoNonTurbolento(const std::vector<RigaUscita>& righe, std::ostream& errori) {
    const auto quante = std::count_if(righe.begin(), righe.end(), [](const RigaUscita& r) {
        return !analisi::turbolento(r.valori);
    });
    if (quante > 0) {
        errori << nomeProgramma << ": nota: " << quante << (quante == 1 ? " riga" : " righe")
               << " con V < 0, " << analisi::notaMotoNonTurbolento
               << ": V e Q non sono riportate\n";
    }
}

// The heights where the flow or the velocity takes the asked value, the
// height of the minimum flow, then the full section and the true maxima,
// on the evaluation's section: with --verifiche its own answers to the
// project's design values, else the answers to the values of the line. A
// value never reached gets a note, and so does a project with no design
// value to answer.
std::vector<RigaUscita> righeRisposte(const OpzioniCli& opzioni,
                                      const valutazione::Sezione& sezione, std::ostream& errori) {
    if (!sezione.risposte) {
        throw CalcoloFallito(sezione.errore);
    }
    const analisi::Risposte& risposte = *sezione.risposte;
    const auto litri = [](std::optional<double> v) { return v ? *v / 1000 : v; };
    const auto metri = [](std::optional<double> v) { return v ? *v / 100 : v; };
    if (!opzioni.portata && !opzioni.velocita && !opzioni.portataMinima) {
        errori << nomeProgramma << ": nota: il progetto «" << testoVisibile(opzioni.progetto)
               << "» non ha né una portata né una velocità di progetto: solo la sezione piena "
                  "e i massimi\n";
    }
    const analisi::RisposteRichieste richieste =
        opzioni.verifiche
            ? sezione.richieste
            : analisi::risposteRichieste(risposte, litri(opzioni.portata), metri(opzioni.velocita),
                                         litri(opzioni.portataMinima));
    if (!richieste.portataRaggiunta) {
        errori << nomeProgramma << ": nota: nessuna altezza con portata " << CStr(*opzioni.portata)
               << " l/s; la portata massima della sezione è "
               << TestoValore(6, risposte.portataMassima().portata) << " l/s\n";
    }
    if (!richieste.portataMinimaRaggiunta) {
        errori << nomeProgramma << ": nota: nessuna altezza con portata minima "
               << CStr(*opzioni.portataMinima) << " l/s; la portata massima della sezione è "
               << TestoValore(6, risposte.portataMassima().portata) << " l/s\n";
    }
    if (!richieste.velocitaRaggiunta) {
        errori << nomeProgramma << ": nota: nessuna altezza con velocità "
               << CStr(*opzioni.velocita) << " cm/s; la velocità massima della sezione è "
               << TestoValore(5, risposte.velocitaMassima().velocita) << " cm/s\n";
    }
    std::vector<RigaUscita> righe;
    for (const analisi::RispostaEtichettata& riga : richieste.righe) {
        righe.push_back({riga.etichetta, riga.risposta});
    }
    return righe;
}

// The table, on a grid of its own as the window shows it; then, when asked,
// the answers or the curve of the evaluation's section in the table's place.
std::string testoRisultati(const OpzioniCli& opzioni, const valutazione::Valutazione& valutazione,
                           std::ostream& errori) {
    std::vector<RigaUscita> righe;
    if (opzioni.portata || opzioni.velocita || opzioni.portataMinima || opzioni.verifiche) {
        righe = righeRisposte(opzioni, valutazione.sezione, errori);
    } else if (opzioni.curva > 0) {
        for (const analisi::Grandezze& punto :
             analisi::curva(*valutazione.sezione.sezione, opzioni.curva)) {
            righe.push_back({"", punto});
        }
    } else {
        righe = righeTabella(*valutazione.tabella.tabella);
    }
    notaMotoNonTurbolento(righe, errori);
    return opzioni.formato == OpzioniCli::Formato::Si
               ? testoSi(righe)
               : testoComeGriglia(righe, opzioni.formato, opzioni.separatore);
}

// A box of the project that does not read stops what needs it, for the
// reason every window gives: the answers, and with them every output, as
// the line reads the project whole; the line of reaches, where it is
// printed or drawn.
void verificaCaselle(const OpzioniCli& opzioni, const valutazione::Valutazione& valutazione) {
    if (valutazione.sezione.impedimento) {
        throw casellaNonValida(opzioni.progetto, *valutazione.sezione.impedimento);
    }
    if (valutazione.linea.impedimento && (!opzioni.tratti.empty() || !opzioni.profilo.empty())) {
        throw casellaNonValida(opzioni.progetto, *valutazione.linea.impedimento);
    }
}

// The files the line asks for, each from the one evaluation. The profile
// first: what it cannot draw is refused before any file is written.
void scriviFile(const OpzioniCli& opzioni, const progetto::Progetto& progetto,
                const valutazione::Valutazione& valutazione, std::ostream& errori) {
    if (!opzioni.profilo.empty()) {
        scriviProfiloDellaLinea(opzioni, valutazione.rete);
    }
    const calcolo::Tabella& tabella = *valutazione.tabella.tabella;
    if (!opzioni.documento.empty()) {
        scriviReportSenzaFinestra(opzioni.documento, tabella, opzioni.separatore);
    }
    if (!opzioni.relazione.empty()) {
        scriviRelazioneCalcoloSenzaFinestra(opzioni.relazione, progetto, valutazione,
                                            opzioni.separatore);
        for (const std::string& nota : trattiNonCalcolati(valutazione.rete)) {
            errori << nomeProgramma << ": nota: " << nota << '\n';
        }
    }
    if (!opzioni.file.empty()) {
        ScriviRisultati(PercorsoRisultati(opzioni.file), tabella, opzioni.separatore);
    }
}

// Prints the text whole. Output that did not reach its destination (a full
// disk, a closed or broken standard output) is a failure, not a success.
int stampa(std::ostream& uscita, std::ostream& errori, const std::string& testo) {
    errno = 0;
    uscita << testo;
    uscita.flush();
    if (uscita) {
        return 0;
    }
    const int codice = errno;
    errori << nomeProgramma << ": impossibile scrivere i risultati sull'uscita standard"
           << (codice != 0 ? ": " + motivoErrore(codice) : std::string()) << '\n';
    return 1;
}

} // namespace

int eseguiCli(const std::vector<std::string>& argomenti, std::ostream& uscita,
              std::ostream& errori) {
    OpzioniCli opzioni;
    try {
        opzioni = leggiOpzioni(argomenti);
    } catch (const ErroreUso& e) {
        errori << nomeProgramma << ": " << e.what() << '\n';
        return 2;
    }
    if (opzioni.aiuto) {
        return stampa(uscita, errori, testoAiuto);
    }
    if (opzioni.versione) {
        return stampa(uscita, errori, std::string(nomeProgramma) + ' ' + versioneProgramma + '\n');
    }
    std::string risultati;
    try {
        const ProgettoCli daValutare = progettoDaValutare(opzioni);
        const valutazione::Valutazione valutazione = valutazione::valuta(
            daValutare.progetto,
            valutazione::tabellaCalcolata(tabellaDelleOpzioni(opzioni, errori)));
        verificaCaselle(opzioni, valutazione);
        if (!opzioni.tratti.empty()) {
            verificaForma(opzioni, valutazione.rete, daValutare.righeDelFile);
            risultati = testoEsitiTratti(opzioni, valutazione.rete, daValutare.righeDelFile);
        } else {
            risultati = testoRisultati(opzioni, valutazione, errori);
        }
        scriviFile(opzioni, daValutare.progetto, valutazione, errori);
    } catch (const ErroreUso& e) {
        errori << nomeProgramma << ": " << e.what() << '\n';
        return 2;
    } catch (const ErroreFile& e) {
        errori << nomeProgramma << ": " << e.what() << '\n';
        return 1;
    } catch (const CalcoloFallito& e) {
        errori << nomeProgramma << ": " << e.what() << '\n';
        return 1;
    } catch (const std::exception& e) {
        errori << nomeProgramma << ": " << motivoEccezione(e) << '\n';
        return 1;
    }
    return stampa(uscita, errori, risultati);
}
