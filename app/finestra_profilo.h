#pragma once

#include "figure/figura_profilo.h"
#include "numeri/separatore.h"
#include "progetto/progetto.h"
#include "tratti/profilo.h"

#include <QWidget>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollArea;
class TelaProfilo;

// "Profilo longitudinale": one path of the network, from a head manhole
// chosen in a tree down to its outlet (the longest by default), drawn at
// scales fitted or typed, with the levels under the pointer; exported as
// PDF, SVG, PNG or DXF. The scales and the sheet are the project's: typed,
// they are kept in it.
class FinestraProfilo : public QWidget {
    Q_OBJECT

  public:
    explicit FinestraProfilo(QWidget* parent = nullptr);
    ~FinestraProfilo() override;

    // The line's reaches and its network's results; the choice of tree
    // and head stays where it still can.
    void mostra(std::vector<tratti::Tratto> tratti, tratti::EsitiRete rete, Separatore separatore);

    // The project's scales and sheet, shown without counting as a change;
    // what the user types, the scales that read and the sheet chosen.
    void impostaDisegno(const progetto::DisegnoProfilo& disegno);
    const progetto::DisegnoProfilo& disegno() const { return disegno_; }

    // The profile drawn, none when the network has no path to draw (the
    // reason is shown instead).
    const std::optional<tratti::Profilo>& profilo() const { return profilo_; }
    // The window's continuous sheet, and the sheets of an export to a file
    // (TroppiFogli beyond what its format takes).
    const ImpaginazioneProfilo& impaginazione() const { return impaginazione_; }
    ImpaginazioneProfilo impaginazioneDaStampare(const std::string& percorso) const;
    // The levels under a point of the window's sheet, mm across, in words.
    QString testoSotto(double xMillimetri) const;
    // Writes the profile, the format by the extension; a warning on failure.
    bool esporta(const std::string& percorso);

    QComboBox* const albero;           // the trees, by outlet
    QComboBox* const testa;            // the head manholes of the tree, longest path first
    QLineEdit* const scalaOrizzontale; // empty: fitted
    QLineEdit* const scalaVerticale;
    QComboBox* const foglio; // A3 or A4, for the export
    QPushButton* const esportaProfilo;
    QLabel* const avviso;    // why nothing is drawn
    QLabel* const puntatore; // the levels under the pointer

    std::function<void(const QString& avviso)> avvisa;
    // The project's data, for the title block.
    std::function<progetto::Dati()> datiProgetto = [] { return progetto::Dati(); };

  signals:
    // The user changed the scales or the sheet.
    void disegnoCambiato();

  protected:
    bool eventFilter(QObject* oggetto, QEvent* evento) override;

  private:
    void riempiAlberi();
    void riempiTeste();
    void ridisegna();
    void impagina();
    void chiediEsportazione();
    void leggiDisegno();
    Cartiglio cartiglio() const;
    std::optional<double> scala(QLineEdit* casella) const;

    std::vector<tratti::Tratto> tratti_;
    tratti::EsitiRete rete_;
    std::unique_ptr<tratti::Percorsi> percorsi_;
    std::optional<tratti::Profilo> profilo_;
    ImpaginazioneProfilo impaginazione_;
    progetto::DisegnoProfilo disegno_;
    Separatore separatore_ = Separatore::Punto;
    QScrollArea* scorrimento_;
    TelaProfilo* tela_;
};
