#include "app/form_principale.h"

#include "app/finestra_analisi.h"
#include "app/finestra_tratti.h"
#include "app/modello_tratti.h"
#include "app/preferenze.h"
#include "app/progetto_finestra.h"
#include "calc/calcolo.h"
#include "documenti/elaboratore_testi.h"
#include "errori/motivo_eccezione.h"
#include "file/errore_file.h"
#include "file/scrittura_file.h"
#include "relazione/documento_word.h"
#include "relazione/file_risultati.h"
#include "relazione/relazione_calcolo.h"

#include <QCloseEvent>
#include <QLineEdit>
#include <QMessageBox>

// What the main window's buttons and File menu do with the table on
// screen: the Word report, the calculation report, the results file; and
// closing the window.

// The reports of this window and of its analysis window reach the word
// processor as the window says at the time.
Collegamento FormPrincipale::collegamento() {
    return Collegamento([this] { return avviaElaboratore(); },
                        [this](const std::string& testo) { messaggioReport(testo); });
}

void FormPrincipale::Command2_Click() {
    close();
}

// The analysis and reaches windows belong to this one and close with it; the report
// window lives on, as a word processor would.
void FormPrincipale::closeEvent(QCloseEvent* evento) {
    if (!progetto_->puoChiudere()) {
        evento->ignore();
        return;
    }
    for (QMainWindow* propria :
         {static_cast<QMainWindow*>(analisi_), static_cast<QMainWindow*>(tratti_)}) {
        if (propria != nullptr) {
            propria->close();
        }
    }
    QMainWindow::closeEvent(evento);
}

// Reports the table on screen only: with none, a report would put an
// earlier table under the heading of the inputs shown now.
void FormPrincipale::Command3_Click() {
    leggiNomeFile();
    if (const QString motivo = motivoNessunaTabella(); !motivo.isEmpty()) {
        avvisa(motivo);
        return;
    }
    Modulo2::CreaDocumentoWord(tabella_, collegamento(), preferenze_->separatore());
}

// The calculation report of the table on screen and the project's design
// values, limits and data, into a new document of the word processor.
void FormPrincipale::relazioneDiCalcolo() {
    if (const QString motivo = motivoNessunaTabella(); !motivo.isEmpty()) {
        avvisa(motivo);
        return;
    }
    try {
        ElaboratoreTesti* elaboratore = collegamento().ElaboratoreVisibile();
        const progetto::Progetto progetto = progetto_->corrente();
        const valutazione::Valutazione valutazione = valutazioneDelleFinestre(progetto);
        // Added once whole: half a report, failed or stopped, could be saved
        // as if it were whole.
        elaboratore->aggiungiDocumento([&](QTextDocument& documento) {
            scriviRelazioneCalcolo(documento, progetto, valutazione, preferenze_->separatore(),
                                   Avanzamento(seguiLavoro("Composizione della relazione di "
                                                           "calcolo…")));
        });
    } catch (const Annullato&) {
        // Stopped by the user: no report, and nothing went wrong.
    } catch (const ErroreRuntime& errore) {
        avvisa(QString::fromStdString(errore.descrizione()));
    } catch (const std::exception& e) {
        avvisa(QString::fromStdString(
            "Impossibile comporre la relazione di calcolo: " + motivoEccezione(e) + "."));
    }
}

// What the windows show, as one evaluation of the project: the table on
// screen, the analysis window's section for it, the reaches window's line
// and network, a run under way awaited; judged as a whole here, and
// computed nowhere again.
valutazione::Valutazione FormPrincipale::valutazioneDelleFinestre(const progetto::Progetto& p) {
    valutazione::Valutazione v;
    v.tabella = valutazione::tabellaCalcolata(tabella_);
    // A closed analysis window does not follow the table: it catches up.
    if (!analisi()->isVisible()) {
        analisi_->impostaTabella(tabellaSulloSchermo());
    }
    v.sezione = analisi_->sezione();
    v.linea = tratti()->modello->linea();
    v.rete = tratti_->modello->reteCalcolata();
    v.giudizio = valutazione::giudica(p, v);
    return v;
}

// An empty file-name box becomes "INGLESE".
void FormPrincipale::leggiNomeFile() {
    auto& s = stato_;
    s.nomeFile = testoDi(Text5);
    if (s.nomeFile.empty()) {
        Text5->setText("INGLESE");
        s.nomeFile = "INGLESE";
    }
}

// Why there is no table on screen to write, or empty when there is one.
QString FormPrincipale::motivoNessunaTabella() const {
    return QString::fromStdString(presentatore::motivoNessunaTabella(
        erroreCalcolo_.toStdString(), Modulo2::IngressiPositivi(stato_), valutazione_));
}

// Writes the table on screen to the file named in the file-name box.
void FormPrincipale::Command4_Click() {
    leggiNomeFile();
    if (const QString motivo = motivoNessunaTabella(); !motivo.isEmpty()) {
        avvisa(motivo);
        return;
    }
    const std::string percorso = PercorsoRisultati(stato_.nomeFile);
    const QString mostrato = QString::fromStdString(percorso);
    try {
        verificaDestinazione(percorso);
        if (fileEsistente(percorso) &&
            !conferma(QString("Il file «%1» esiste già. Sostituirlo?").arg(mostrato))) {
            return;
        }
        ScriviRisultati(percorso, tabella_, preferenze_->separatore());
        mostraNotizia(QString("Risultati scritti in «%1».").arg(mostrato));
    } catch (const ErroreFile& errore) {
        avvisa(QString::fromStdString(errore.what()));
    } catch (const ErroreRuntime& errore) {
        avvisa(QString("Impossibile scrivere «%1»: errore %2, %3.")
                   .arg(mostrato)
                   .arg(errore.numero())
                   .arg(QString::fromStdString(errore.descrizione())));
    }
}

void FormPrincipale::mostraNotizia(const QString& notizia) {
    notizia_ = notizia;
    aggiornaRigaErrori();
}
