#include "cli/esecuzione.h"

#include "app/conversioni.h"
#include "app/sezione.h"
#include "calc/calcolo.h"
#include "calc/errore_runtime.h"
#include "calc/limiti_incremento.h"
#include "calc/variabili_pubbliche.h"
#include "cli/opzioni.h"
#include "cli/uscita_si.h"
#include "report/errore_file.h"
#include "report/file_risultati.h"
#include "report/motivo_errore.h"
#include "report/report_senza_finestra.h"
#include "table/tabella_risultati.h"
#include "table/testo_griglia.h"

#include <cerrno>
#include <ostream>

namespace {

constexpr const char* nomeProgramma = "sezione-inglese-cli";
constexpr const char* versione = "1.0.0";

// Keeps the increment within the bounds the window applies, and says so.
void limitaIncremento(variabili_pubbliche::Stato& s, std::ostream& errori) {
    const double superiore = limiteSuperioreIncremento(s.raggio);
    const double inferiore = limiteInferioreIncremento(s.raggio);
    const double richiesto = s.incremento;
    if (superiore < s.incremento) {
        s.incremento = superiore;
    } else if (inferiore > s.incremento) {
        s.incremento = inferiore;
    }
    if (s.incremento != richiesto) {
        errori << nomeProgramma << ": nota: incremento portato da " << CStr(richiesto) << " a "
               << CStr(s.incremento) << " mm\n";
    }
}

// The same sequence as the window's recalculation, on a grid of its own.
std::string calcola(const OpzioniCli& opzioni, std::ostream& errori) {
    variabili_pubbliche::Stato& s = variabili_pubbliche::stato;
    s.coeffBazin = opzioni.coefficiente;
    s.raggio = opzioni.raggio;
    s.pendenza = opzioni.pendenza;
    s.incremento = opzioni.incremento;
    s.tipoSezione = TestoSezione(s.raggio);
    limitaIncremento(s, errori);

    GrigliaInMemoria griglia(3, 7);
    Modulo2::InstallaConsegnaTabella([&griglia] { Modulo2::RiempiGriglia(griglia); });
    PreparaGriglia(griglia);
    Modulo2::CalcolaTabella();
    Modulo2::InstallaConsegnaTabella(nullptr);

    switch (opzioni.formato) {
    case OpzioniCli::Formato::Si:
        return tabellaSi();
    case OpzioniCli::Formato::Csv:
        return grigliaCsv(griglia);
    case OpzioniCli::Formato::Tabella:
        break;
    }
    return grigliaTabella(griglia);
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
        return stampa(uscita, errori, std::string(nomeProgramma) + ' ' + versione + '\n');
    }
    std::string risultati;
    try {
        risultati = calcola(opzioni, errori);
    } catch (const ErroreRuntime& e) {
        errori << nomeProgramma << ": errore di calcolo " << e.numero() << ": " << e.descrizione()
               << '\n';
        return 1;
    }
    try {
        if (!opzioni.documento.empty()) {
            scriviReportSenzaFinestra(opzioni.documento);
        }
        if (!opzioni.file.empty()) {
            ScriviRisultati(PercorsoRisultati(opzioni.file));
        }
    } catch (const ErroreFile& e) {
        errori << nomeProgramma << ": " << e.what() << '\n';
        return 1;
    }
    return stampa(uscita, errori, risultati);
}
