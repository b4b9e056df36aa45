#pragma once

#include "table/griglia.h"

#include <string>
#include <vector>

// A grid held as row-major texts: the command line's grid, the storage of
// the window's grid model, and the tests' stand-in for both.
class GrigliaInMemoria : public GrigliaAstratta {
  public:
    GrigliaInMemoria(int righe, int colonne);

    int Cols() const override { return colonne_; }
    int Rows() const { return static_cast<int>(celle_.size()) / colonne_; }
    void setRows(int righe) override;
    void setTextArray(int indice, std::string&& testo) override;

    const std::string& testo(int riga, int colonna) const;

  private:
    int colonne_;
    std::vector<std::string> celle_;
};
