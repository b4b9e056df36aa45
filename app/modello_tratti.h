#pragma once

#include "app/calcolo_tratti.h"
#include "numeri/separatore.h"
#include "progetto/righe_tratti.h"
#include "tratti/deroghe.h"
#include "tratti/tratto.h"
#include "valutazione/valutazione.h"

#include <QAbstractTableModel>
#include <QUndoStack>

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

// The reaches of "Verifica dei tratti" as a table: each row's cells kept as
// typed (a decimal comma held as a point), read by the rules of the
// reaches' CSV, and beside them the reach's results. The results are the
// whole network's, with the manholes given, under the line's settings as
// the project's evaluation decides them: they come from a CalcoloTratti,
// off the user-interface thread, and a network's results are kept only
// when nothing changed since it was handed over; until then each row shows
// its last result, greyed where its own cells or the settings changed.
// Every change the user makes to the cells goes on the undo stack; a
// project opened starts it afresh.

class ModelloTratti : public QAbstractTableModel {
    Q_OBJECT

  public:
    // The cells first, in the CSV's order; then the results.
    static constexpr int colonneCelle = static_cast<int>(tratti::colonne);
    enum ColonnaEsito : int {
        RaggioUsato = colonneCelle,
        Altezza,
        Riempimento,
        Velocita,
        AltezzaMinima,
        VelocitaMinima,
        PortataPiena,
        QuotaMonteUsata,
        QuotaValleUsata,
        Salto,
        Ricoprimento,
        PendenzaMinima,
        PendenzaMassima,
        Verdetto,
        Motivo,
        colonneTotali
    };

    // `verifica` computes each reach (the real one unless a test gives its
    // own).
    explicit ModelloTratti(QObject* parent = nullptr, CalcoloTratti::Verifica verifica = {});

    int rowCount(const QModelIndex& genitore = {}) const override;
    int columnCount(const QModelIndex& genitore = {}) const override;
    QVariant data(const QModelIndex& indice, int ruolo = Qt::DisplayRole) const override;
    QVariant headerData(int sezione, Qt::Orientation orientamento,
                        int ruolo = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& indice) const override;
    bool setData(const QModelIndex& indice, const QVariant& valore,
                 int ruolo = Qt::EditRole) override;
    bool insertRows(int riga, int quante, const QModelIndex& genitore = {}) override;
    bool removeRows(int riga, int quante, const QModelIndex& genitore = {}) override;

    // Every row at once: a project opened (the undo stack starts afresh),
    // or a file imported (undone as one change).
    void impostaRighe(const std::vector<progetto::RigaTratto>& righe);
    void importaRighe(std::vector<progetto::RigaTratto> righe);
    std::vector<progetto::RigaTratto> righe() const;
    // A block of cells from (riga, colonna) on, rows added as needed; what
    // falls beyond the last cell's column is left out.
    struct Incollato {
        int righeAggiunte = 0;
        int celleSostituite = 0; // filled cells that now hold another text
    };
    Incollato incolla(int riga, int colonna, const std::vector<std::vector<std::string>>& blocco);
    void svuota(const QModelIndexList& celle);
    // The rows given, in any order, repeated or not: undone as one change.
    void elimina(std::vector<int> righe);

    // Annulla and Ripeti act on it; the catalogue's edits go on it too.
    QUndoStack* annullamenti() { return &annullamenti_; }

    // How numbers are shown: cells, results and reasons.
    void impostaSeparatore(Separatore separatore);

    // The line's law, geometry, limits, catalogue and network rules, or the
    // box that stops them (no results meanwhile).
    void impostaLinea(valutazione::Linea linea);
    const valutazione::Linea& linea() const { return linea_; }
    // The manholes as the project lists them: those given, then those the
    // reaches only name.
    void impostaPozzetti(std::vector<tratti::Pozzetto> pozzetti);
    // The designer's exceptions, as the project keeps them: a project opened
    // (impostaDeroghe), or a change undone as one (cambiaDeroghe).
    void impostaDeroghe(std::vector<progetto::RigaDeroga> deroghe);
    void cambiaDeroghe(const QString& nome, std::vector<progetto::RigaDeroga> dopo);
    const std::vector<progetto::RigaDeroga>& deroghe() const { return deroghe_; }
    // Accepts one check of a reach or manhole with the reason, in place of
    // an exception of the same check; a blank reason takes it away.
    void deroga(tratti::Voce voce, const std::string& nome, tratti::Controllo controllo,
                const std::string& motivo);

    // The network's last results beside the reaches': its manholes, its
    // faults and its trees.
    const tratti::EsitiRete& rete() const { return rete_; }
    // The manholes the readable rows name, in the order they appear.
    std::vector<std::string> pozzettiNominati() const;

    // Names the manholes of these rows P1, P2… in their order, so that each
    // flows into the next, from the first number no other row uses; undone
    // as one change.
    void collegaInLinea(std::vector<int> righe);
    // Writes into each empty invert the level the network computed for it;
    // undone as one change. The count of cells written. The model remembers
    // the cells it wrote as computed until something else writes in them
    // (a key, a paste, a clearing; an undo brings the mark back with the
    // text): a slope or a length then typed in a reach with a computed
    // invert computes every computed invert of the line again, as this
    // would into empty cells, and writes them with the typed cell as one
    // change. The mark lasts while the rows do: a project opened, a file
    // imported or rows removed and put back start without it.
    int calcolaQuote();

    // Writes into each empty radius the catalogue's size its results chose,
    // once they are all computed: for a reach no size fits, the one its
    // result shows (the smallest within the filling). A reach that cannot
    // be computed keeps its radius empty. Reports with `dimensionati`.
    void dimensiona();

    // Counts the changes to the cells (celleCambiate): a project tells by it
    // whether its reaches changed since it was saved, without comparing
    // thousands of rows.
    std::uint64_t revisione() const { return revisione_; }

    // The first cell of a row that breaks the rules of the reaches' CSV;
    // none for a good row or a blank one.
    const std::optional<csv::Errore>& errore(int riga) const;
    // The reaches of the rows that read, in the table's order.
    std::vector<tratti::Tratto> trattiLetti() const;
    // The network as the project's evaluation has it (valutazione::reteDi):
    // the rows not blank, each read and numbered as it stands now, their
    // reaches, the manholes, and the results, all computed first; no
    // results while the line has no settings.
    valutazione::Rete reteCalcolata();

    // Whether some rows wait for their results; waits for them, taking
    // them as the event loop would.
    bool inCalcolo() const;
    void attendiCalcolo();

    struct Conteggio {
        int tratti = 0; // rows that read
        int verificati = 0;
        int conDeroga = 0; // of those verified
        int nonVerificati = 0;
        int nonCalcolati = 0; // rows that read but cannot be computed
        int illeggibili = 0;
        int inAttesa = 0; // rows that read and wait for a result
    };
    Conteggio conteggio() const;

  signals:
    // The user's cells changed: their text, or rows added or removed.
    void celleCambiate();
    // Results arrived; `conteggio` tells how far the line is.
    void esitiAggiornati();
    // Radii written by dimensiona, those of them whose reach still fails,
    // and reaches it could not size.
    void dimensionati(int scritti, int nonVerificati, int senzaMisura);
    // The network's results arrived (rete).
    void reteAggiornata();

  private:
    // Which of a row's inverts (upstream, downstream) calcolaQuote wrote.
    using QuoteCalcolate = std::array<bool, 2>;

    struct Riga {
        progetto::RigaTratto celle;
        QuoteCalcolate calcolate{};
        // Its cells read, none for a blank row; numbered as the row was then.
        std::optional<progetto::RigaLetta> letta;
        std::uint64_t versione = 0; // of the cells; the esito's, when computed
        std::optional<tratti::Esito> esito;
        std::uint64_t versioneEsito = 0;

        const tratti::Tratto* tratto() const {
            return letta && letta->tratto ? &*letta->tratto : nullptr;
        }
        const std::optional<csv::Errore>& errore() const;
    };

    // A row's cells as they will be after a change.
    using CelleDi = std::vector<std::pair<std::size_t, progetto::RigaTratto>>;
    // Pushes the change of these rows' cells, with rows added at the end
    // first; rows that do not change are left out, and no change pushes
    // nothing. An invert whose text changes loses its mark of computed,
    // unless `calcolate` gives the row's marks.
    void registraCelle(const QString& nome, CelleDi dopo,
                       std::vector<progetto::RigaTratto> inCoda = {},
                       const std::map<std::size_t, QuoteCalcolate>& calcolate = {});
    // What the undo stack's changes do, and undo: each row's cells and marks.
    using StatiDi = std::vector<std::tuple<std::size_t, progetto::RigaTratto, QuoteCalcolate>>;
    void scriviCelle(const StatiDi& stati);
    // The typed cell of `riga` (a slope or a length) with the line's
    // computed inverts computed again (calcolaQuote).
    void riallinea(std::size_t riga, progetto::RigaTratto celle);
    void inserisci(std::size_t dove, const std::vector<progetto::RigaTratto>& celle);
    void togli(std::size_t dove, std::size_t quante);
    void sostituisci(const std::vector<progetto::RigaTratto>& righe);

    void leggi(Riga& riga, std::size_t indice);
    QString testoMostrato(const Riga& riga, int colonna) const;
    // Its result is of its cells and settings of now (others may have
    // changed: inCalcolo tells).
    bool attuale(const Riga& riga) const;
    void reteCambiata();
    void celleModificate();
    void cambiate(int prima, int ultima);
    void prevediCalcolo();
    void avviaCalcolo();
    void ritira();
    void forseDimensiona();
    void applicaDimensionamento();

    std::vector<Riga> righe_;
    std::uint64_t prossimaVersione_ = 1;
    std::uint64_t revisione_ = 0;
    valutazione::Linea linea_;
    std::vector<tratti::Pozzetto> pozzetti_;
    std::vector<progetto::RigaDeroga> deroghe_;
    std::vector<tratti::DerogaApplicata> derogheApplicate_; // with the network's results
    std::uint64_t versioneImpostazioni_ = 1;
    // Counts every change the results depend on: the results kept are of
    // versioneEsiti_; the run under way computes the rows in corso_ (index
    // and version) under impostazioniInCorso_.
    std::uint64_t versioneRete_ = 1;
    std::uint64_t versioneEsiti_ = 0;
    std::uint64_t impostazioniEsiti_ = 0;
    std::uint64_t impostazioniInCorso_ = 0;
    std::vector<std::pair<std::size_t, std::uint64_t>> corso_;
    tratti::EsitiRete rete_; // but its reaches', kept in their rows
    bool calcoloPrevisto_ = false;
    bool dimensionaAllaFine_ = false;
    Separatore separatore_ = Separatore::Punto;
    QUndoStack annullamenti_;
    // Last, so destroyed first: its thread stops before the rows go.
    CalcoloTratti calcolo_;
};
