#pragma once

#include "calc/calcolo.h"
#include "calc/tabella.h"
#include "calc/variabili_pubbliche.h"
#include "numeri/sezione.h"

#include <gtest/gtest.h>

// Every test starts from a computation state of its own, as the program's
// at its start.
class StatoPulito : public ::testing::Test {
  protected:
    variabili_pubbliche::Stato s;

    // The table the state's last sweep left, as the window hands it on.
    calcolo::Tabella tabella() const { return calcolo::tabellaDi(s); }

    void imposta(double raggio, double incremento, double pendenza = 0.01, double coeff = 0.18) {
        s.raggio = raggio;
        s.incremento = incremento;
        s.pendenza = pendenza;
        s.coeffBazin = coeff;
    }

    // A table as the window computes it, slope 0.01 and coefficient 0.18.
    void calcola(double raggio, double incremento) {
        imposta(raggio, incremento);
        s.tipoSezione = TestoSezione(raggio);
        Modulo2::CalcolaTabella(s);
    }
};
