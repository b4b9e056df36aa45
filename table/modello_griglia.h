#pragma once

#include "numeri/separatore.h"
#include "table/griglia.h"
#include "table/griglia_in_memoria.h"

#include <QAbstractTableModel>

// The results grid as a Qt model. All cells live in one row-major text array;
// the view shows rows 0 and 1 as two-line column headers and column 0 as the
// row header, so the model's own rows and columns start at grid cell (2, 1).
//
// Writes go to the array without a signal: a whole table is thousands of
// cells, and the view learns of them at once through pubblica(). The cells
// hold the texts as the table writes them; the view shows their numbers
// with the decimal separator asked for.
class ModelloGriglia : public QAbstractTableModel, public GrigliaAstratta {
  public:
    static constexpr int righeFisse = 2;
    static constexpr int colonneFisse = 1;

    explicit ModelloGriglia(int righe, int colonne, QObject* parent = nullptr);

    int Cols() const override { return celle_.Cols(); }
    int Rows() const { return celle_.Rows(); }
    void setRows(int righe) override;
    void setTextArray(int indice, std::string&& testo) override;
    const std::string& testo(int riga, int colonna) const { return celle_.testo(riga, colonna); }
    const GrigliaInMemoria& celle() const { return celle_; }

    // Tells the view what changed since the last call: rows added or
    // removed, then every cell and header as new.
    void pubblica();

    Separatore separatore() const { return separatore_; }
    void impostaSeparatore(Separatore separatore);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& indice, int ruolo) const override;
    QVariant headerData(int sezione, Qt::Orientation orientamento, int ruolo) const override;
    Qt::ItemFlags flags(const QModelIndex& indice) const override;

  private:
    int righeDati(int righeGriglia) const;

    GrigliaInMemoria celle_;
    Separatore separatore_ = Separatore::Punto;
    int righePubblicate_; // grid rows the view knows of
};
