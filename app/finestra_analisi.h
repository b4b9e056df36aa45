#pragma once

#include "analisi/tabella_analisi.h"
#include "calc/tabella.h"
#include "documenti/collegamento.h"
#include "progetto/progetto.h"
#include "valutazione/sezione.h"

#include <QMainWindow>

#include <functional>
#include <optional>

class DisegnoSezione;
class SceltaResistenza;
class GraficoDeflusso;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

// "Scala di deflusso e verifiche": for the section of the main window, the
// heights of a design flow and velocity and of the dry-weather flow, the
// full section and the true maxima, checked against the design limits; the
// rating curves in a chart beside the section drawn to scale. It follows
// the main window's inputs live; its own inputs and limits are remembered
// between runs. What it shows is the project's evaluation of the section
// (valutazione::sezioneDi), put into words and figures here.
class FinestraAnalisi : public QMainWindow {
    Q_OBJECT

  public:
    // Its answers go into reports through `collegamento`.
    explicit FinestraAnalisi(Collegamento collegamento = Collegamento(), QWidget* parent = nullptr);

    // The main window's table (its section: radius, slope, Bazin's
    // coefficient; its rows, for the chart), or none when it has none.
    void impostaTabella(std::optional<calcolo::Tabella> tabella);
    // The decimal separator of its numbers, as the user prefers.
    void impostaSeparatore(Separatore separatore);

    QLineEdit* const portata;            // design flow, l/s
    QLineEdit* const portataMinima;      // dry-weather flow, l/s
    QLineEdit* const velocita;           // design velocity, cm/s
    QComboBox* const geometria;          // tabellare or esatta
    SceltaResistenza* const resistenza;  // the answers' law and its coefficient
    QLineEdit* const velocitaMinima;     // cm/s
    QLineEdit* const velocitaMassima;    // cm/s
    QLineEdit* const riempimentoMassimo; // %
    GraficoDeflusso* const grafico;
    DisegnoSezione* const disegno;
    QTableWidget* const tabella;
    QLabel* const stato;     // what the window shows, or why it shows nothing
    QLabel* const puntatore; // the values at the height the pointer names
    QPushButton* const esporta;
    QPushButton* const aggiungi;

    // The section evaluated for the table last given and the boxes now:
    // what the window shows, and what a report of the project says of it.
    const valutazione::Sezione& sezione() const { return sezione_; }
    // Its answers, as the table shows them; empty without a section.
    const std::vector<RigaAnalisi>& righe() const { return sezione_.righe; }

    // Where the chart is exported, the file type from its extension (.png,
    // .svg, .pdf); a warning names what failed.
    void esportaGrafico(const QString& percorso);
    // The answers and the chart into the current report document.
    void aggiungiAllaRelazione();

    // Fits the window into a screen's free area: neither its size nor its
    // least size larger, and moved into the area if it lies outside.
    void adattaAlloSpazio(const QRect& disponibile);

    // The design values, limits and geometry in its boxes, as a project
    // file keeps them; setting them goes through the boxes' change path.
    progetto::Verifiche verifiche() const;
    void impostaVerifiche(const progetto::Verifiche& verifiche);

    // A warning for the user: a message box unless replaced.
    std::function<void(const QString& avviso)> avvisa;

  signals:
    // A box or the geometry changed, by the user or the program.
    void verificheCambiate();

  protected:
    void showEvent(QShowEvent* evento) override;

  private:
    void costruisci();
    void ricalcola();
    void segnalaCaselle();
    void mostraOAttendi();
    void mostraSeInAttesa();
    void mostra();
    void mostraTabella();
    void mostraGrafico();
    void svuota(const QString& motivo);
    void mostraStato(const QString& testo);
    void mostraAltezza(double altezza);
    void leggiImpostazioni();
    void salvaImpostazioni() const;
    void ripristinaProposte();

    QString numero(double valore, const char* modello) const;

    Collegamento collegamento_;
    Separatore separatore_ = Separatore::Punto;
    std::optional<calcolo::Tabella> tabella_;
    valutazione::Sezione sezione_;
    bool inAttesa_ = false; // evaluated while hidden, not yet drawn
};
