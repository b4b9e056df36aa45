#pragma once

#include "app/calcolo_tratti.h"
#include "numeri/separatore.h"
#include "progetto/progetto.h"
#include "tratti/csv_tratti.h"
#include "tratti/deroghe.h"
#include "tratti/tratto.h"

#include <QMainWindow>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class FinestraAnalisi;
class FinestraProfilo;
class ModelloPozzetti;
class ModelloTratti;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;
class QTableView;

// "Verifica dei tratti": a sewer line as a table of reaches typed, pasted
// from a spreadsheet or imported from CSV, each verified at its design and
// minimum flows under the analysis window's law, geometry and limits, which
// it follows live, and sized from a catalogue where its radius is empty.
// The line's settings, or the box that stops them, are the project's
// evaluation's (valutazione::lineaDi); so are the network's results.
class FinestraTratti : public QMainWindow {
    Q_OBJECT

  public:
    // `verifica` computes each reach (the real one unless a test gives its
    // own).
    explicit FinestraTratti(FinestraAnalisi* analisi, QWidget* parent = nullptr,
                            CalcoloTratti::Verifica verifica = {});
    ~FinestraTratti() override;

    // Bazin's γ of the main window's table, for a line under Bazin with no
    // coefficient of its own; none while that box holds no positive number,
    // whose text `casella` the line then names.
    void impostaCoefficienteTabella(std::optional<double> gamma, std::string casella = {});
    // How numbers are shown; the catalogue's text stays as typed.
    void impostaSeparatore(Separatore separatore);

    // The reaches, the manholes, the catalogue and the network's rules as a
    // project keeps them: an empty catalogue is the usual one.
    std::vector<progetto::RigaTratto> righe() const;
    std::vector<progetto::RigaPozzetto> righePozzetti() const;
    std::vector<progetto::RigaDeroga> deroghe() const;
    std::vector<double> catalogo() const;
    progetto::Rete rete() const { return rete_; }
    // The profile's scales and sheet, as the profile window last had them.
    progetto::DisegnoProfilo disegnoProfilo() const { return disegnoProfilo_; }
    // Grows with every change to the reaches' and the manholes' cells and
    // the exceptions, the catalogue and the rules apart.
    std::uint64_t revisione() const;
    void impostaProgetto(const progetto::Progetto& progetto);

    // A spreadsheet's block (tab-separated, a row per line) at the current
    // cell.
    void incollaTesto(const QString& testo);
    // A file of reaches in place of the table's, plain or Italian CSV; a
    // file that breaks a rule changes nothing, and a warning names its line
    // and column.
    bool importa(const std::string& percorso);
    enum class Contenuto { Tratti, Esiti };
    // The reaches as the file of reaches writes them, or their results; a
    // row that does not read stops it, with a warning.
    bool esporta(const std::string& percorso, Contenuto contenuto, tratti::Formato formato);

    // The longitudinal profile of the line, shown and kept up to date with
    // its results while it is open.
    FinestraProfilo* apriProfilo();

    ModelloTratti* const modello;
    ModelloPozzetti* const pozzetti;
    QTabWidget* const schede; // "Tratti" and "Pozzetti"
    QTableView* const tabella;
    QTableView* const tabellaPozzetti;
    QLabel* const linea; // the line's settings, or why there are none
    QLineEdit* const casellaCatalogo;
    QPushButton* const dimensiona;
    QPushButton* const collega;      // "Collega in linea": the selected reaches
    QPushButton* const calcolaQuote; // the empty inverts, by the alignment rule
    QPushButton* const profilo;      // "Profilo longitudinale…"
    // The network's rules.
    QComboBox* const allineamento;
    QLineEdit* const ricoprimento;
    QLineEdit* const profondita;
    QLineEdit* const salto;
    QLabel* const stato; // how many reaches, verified or not, still computing

    // The project's data, for the profile's title block.
    std::function<progetto::Dati()> datiProgetto = [] { return progetto::Dati(); };

    // A warning and a question for the user: message boxes unless replaced.
    std::function<void(const QString& avviso)> avvisa;
    std::function<bool(const QString& domanda)> conferma;
    // The check of an item to accept and its reason, from those it fails
    // (with the reasons already given): a dialog unless replaced; none
    // when the user gives up.
    struct SceltaDeroga {
        tratti::Controllo controllo;
        std::string motivo;
    };
    std::function<std::optional<SceltaDeroga>(
        const QString& elemento, const std::vector<std::pair<tratti::Controllo, std::string>>&)>
        scegliDeroga;

  signals:
    // The reaches, the catalogue or the profile's scales changed: the
    // project with them.
    void trattiCambiati();

  private:
    void costruisci();
    void creaMenu();
    void aggiornaLinea();
    QString testoLinea(const valutazione::Linea& letta, const progetto::Verifiche& verifiche) const;
    void leggiCatalogo();
    void leggiRete();
    void scriviRete(const progetto::Rete& rete);
    void collegaSelezionati();
    void scriviQuote();
    void chiediDeroga();
    void scegli(tratti::Voce voce, const std::string& nome,
                const std::vector<tratti::Rilievo>& rilievi);
    std::vector<int> righeSelezionate() const;
    void mostraStato();
    void incolla();
    void svuotaSelezione();
    void aggiungiTratto();
    void eliminaTratti();
    void chiediImportazione();
    void chiediEsportazione(Contenuto contenuto);
    void aggiornaProfilo();
    void mostraLaLineaNelProfilo();

    FinestraAnalisi* const analisi_;
    std::optional<double> gammaTabella_;
    std::string coefficienteTabella_; // the main window's box, as typed
    std::vector<double> catalogo_;    // in use: the last one that read
    progetto::Rete rete_;             // the rules' boxes, as typed
    progetto::DisegnoProfilo disegnoProfilo_;
    QString testoCatalogo_;           // the box's text before the last key
    std::uint64_t corsaCatalogo_ = 0; // a run of keys in the box, undone at once
    Separatore separatore_ = Separatore::Punto;
    QString notizia_;                    // what the last sizing did
    FinestraProfilo* profilo_ = nullptr; // made when first opened
};
