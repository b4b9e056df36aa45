#pragma once

// One keystroke, from the key to the grid. The user types "5" into the slope
// box Text2:
//   QLineEdit::textChanged → Text2_Change(), run through gestisci(), which
//   catches a run-time error and shows it;
//   → Ricalcola() reads the boxes with Val into the window's own computation
//     state stato_ (calc/variabili_pubbliche) and keeps the increment it uses
//     within its bounds (calc/limiti_incremento); the box keeps what the
//     user typed until they leave it, when Text3_LostFocus() writes the
//     bounded value back;
//   → PreparaGriglia() writes the header and blanks the previous rows
//     (table/tabella_risultati);
//   → when radius, slope, increment and coefficient are all positive,
//     Modulo2::CalcolaTabella(stato_) (calc/) computes every row with
//     CalcolaRiga, whose formulas are those of calc/formule_sezione.h; the
//     rows become the table on screen, tabella_ (calc/tabella), and
//     Modulo2::RiempiGriglia formats each value (numeri/testo_valore) and
//     writes it through Griglia::ScriviCella into the grid model
//     (table/modello_griglia);
//   → back in gestisci(), segnalaIngressi() frames in red the boxes that are
//     not positive numbers (in orange those read otherwise than typed) and
//     names them on the line above the grid, ModelloGriglia::pubblica()
//     tells the view once, an open "Scala di deflusso e verifiche"
//     (app/finestra_analisi) takes the new table, and aggiornaTitolo()
//     marks an open project as changed (app/progetto_finestra); the views
//     repaint when the event loop resumes.
// The reports, the results file and the analysis window take tabella_ by
// value or const reference; nothing else reads stato_.
//
// Beyond the table, every window and the calculation report render one
// evaluation of the project (valutazione/valutazione.h), decided once:
// valutazione::valuta(progetto, tabella) is no more than its steps, which
// the windows call one at a time.
//   → gestisci() hands the table on screen to an open analysis window,
//     which renders valutazione::sezioneDi of its boxes: the law read, the
//     answers, their checks, the chart (app/finestra_analisi);
//   → and the table's γ to the reaches window, which renders
//     valutazione::lineaDi of the analysis window's boxes and its own rules
//     and catalogue: the line's settings, or the box that stops them
//     (app/finestra_tratti). Its model reads its rows as valutazione::reteDi
//     does and computes the network off the user-interface thread with
//     valutazione::calcola (app/modello_tratti, app/calcolo_tratti);
//   → Ctrl+R (relazioneDiCalcolo, app/azioni_principali) gathers what the
//     windows hold, the table as valutazione::tabellaCalcolata(tabella_),
//     waits for a network run under way, judges the whole with
//     valutazione::giudica and gives it to the report, which computes
//     nothing again (valutazioneDelleFinestre).

#include "analisi/risposte.h"
#include "calc/limiti_incremento.h"
#include "calc/tabella.h"
#include "calc/variabili_pubbliche.h"
#include "caselle/presentatore_ingressi.h"
#include "documenti/collegamento.h"
#include "errori/avanzamento.h"
#include "errori/errore_runtime.h"
#include "progetto/progetto.h"
#include "valutazione/valutazione.h"

#include <QMainWindow>
#include <QStringList>

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

class Preferenze;
class ProgettoFinestra;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class FinestraAnalisi;
class FinestraTratti;
class ModelloGriglia;
class VistaGriglia;

class FormPrincipale : public QMainWindow {
    Q_OBJECT

    // The window's client area, laid out in twips below the menu bar; first,
    // since the controls live in it.
    QWidget* const areaCliente_;

  public:
    explicit FormPrincipale(QWidget* parent = nullptr);
    ~FormPrincipale() override;

    QWidget* areaCliente() const { return areaCliente_; }

    // Opens "Scala di deflusso e verifiche", or brings it to the front.
    FinestraAnalisi* apriAnalisi();
    // The same for "Verifica dei tratti".
    FinestraTratti* apriTratti();

    // The project file of the window (File menu: Nuovo, Apri…, Salva…).
    ProgettoFinestra* progetto() const { return progetto_; }
    // The user's preferences, which every window of the program follows.
    Preferenze* preferenze() const { return preferenze_; }
    // A project to open once the start-up has run: the file named on the
    // program's command line.
    void apriAllAvvio(std::string percorso);

    QLabel* const Label1;
    QLabel* const Label2;
    QLabel* const Label3;
    QLabel* const Label4;
    QLabel* const Label5;
    QLabel* const Label6;
    QLineEdit* const Text1;      // radius, cm
    QLineEdit* const Text2;      // slope, m/m
    QLineEdit* const Text3;      // height increment, mm
    QLineEdit* const Text4;      // section size, display only
    QLineEdit* const Text5;      // file name
    QComboBox* const Combo1;     // Bazin's coefficient
    QPushButton* const Command2; // "Esci"
    QPushButton* const Command3; // "Documento Word"
    QPushButton* const Command4; // "Scrivi su file"
    ModelloGriglia* const modelloGriglia1;
    VistaGriglia* const griglia1;

    // The line above the grid: the error that stopped the last
    // recalculation, else the boxes not read as typed (not positive numbers,
    // read in part, an increment out of its bounds), else the last piece of
    // news (where the results were written); empty when all is well.
    QString messaggio() const;

    // The table on screen; empty (no rows) when there is none.
    const calcolo::Tabella& tabella() const { return tabella_; }
    // The project as the windows evaluated it, for `progetto` (the
    // project of the windows, progetto()->corrente()): what the calculation
    // report is given. With a table on screen only.
    valutazione::Valutazione valutazioneDelleFinestre(const progetto::Progetto& progetto);
    // The window's computation state, as its events and sweep left it.
    const variabili_pubbliche::Stato& stato() const { return stato_; }

    // A question (yes or no) and a warning for the user: message boxes
    // unless replaced.
    std::function<bool(const QString& domanda)> conferma;
    std::function<void(const QString& avviso)> avvisa;
    // Follows the composing of the calculation report, and may stop it: a
    // progress dialog with "Annulla" unless replaced.
    std::function<Avanzamento::Ascolta(const QString& testo)> seguiLavoro;
    // How the reports reach a word processor when none is open (the report
    // window), and the one message a report may give: unless replaced.
    Collegamento::Avvio avviaElaboratore;
    Collegamento::Messaggio messaggioReport;

  signals:
    void grigliaPreparata();
    void tabellaCalcolata();

  protected:
    void showEvent(QShowEvent* evento) override;
    bool eventFilter(QObject* oggetto, QEvent* evento) override;
    void closeEvent(QCloseEvent* evento) override;
    bool focusNextPrevChild(bool avanti) override;

  private:
    using Gestore = void (FormPrincipale::*)();

    static constexpr const char* titoloFinestra =
        "Calcolo della portata di una tubazione a sezione inglese";
    static std::string testoDi(const QLineEdit* casella);

    void disponiControlli();
    void creaMenu();
    FinestraAnalisi* analisi();
    FinestraTratti* tratti();
    std::optional<double> coefficienteTabella() const;
    progetto::Progetto progettoDeiControlli();
    void riempiControlli(const progetto::Progetto& progetto);
    void aggiornaTitolo();
    void applicaPreferenze();
    void collegaEventi();
    std::optional<calcolo::Tabella> tabellaSulloSchermo() const;

    void Form_Activate();
    void Text1_Change();
    void Text2_Change();
    void Text3_Change();
    void Text3_LostFocus();
    void Combo1_Change();
    void Combo1_Click();
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();
    void relazioneDiCalcolo();
    Collegamento collegamento();

    void Ricalcola();
    void leggiNomeFile();
    QString motivoNessunaTabella() const;
    void PreparaGriglia();

    void gestisci(Gestore gestore);
    void scriviTesto(QLineEdit* casella, const std::string& testo);
    void aggiungiVoceCombo1(const QString& voce);
    void selezionaVoceCombo1(int indice);
    void rilanciaErroreNidificato();
    void mostraErrore(const QString& descrizione);
    presentatore::Testi testiIngressi() const;
    void segnalaIngressi();
    void mostraNotizia(const QString& notizia);
    void aggiornaRigaErrori();

    variabili_pubbliche::Stato stato_;
    calcolo::Tabella tabella_;
    QLabel* const messaggio_;
    QString erroreCalcolo_;
    QString rigaErrori_;                    // the error line whole, shown cut to its width
    presentatore::Valutazione valutazione_; // the boxes as last read
    QString notizia_;
    // Where the grid, the error line and the buttons sit at the designed
    // size; a larger window moves and stretches them from there.
    QRect griglia1Progetto_;
    QRect messaggioProgetto_;
    std::vector<std::pair<QPushButton*, QRect>> pulsantiProgetto_;
    FinestraAnalisi* analisi_ = nullptr;
    FinestraTratti* tratti_ = nullptr;
    // The project's, the reports' and the windows' keys: every window of
    // the program takes them.
    QList<QAction*> azioniDiOgniFinestra_;
    ProgettoFinestra* const progetto_;
    Preferenze* const preferenze_;
    std::string daAprireAllAvvio_;
    bool attivata_ = false;
    int profondita_ = 0;
    std::optional<ErroreRuntime> erroreNidificato_;
};
