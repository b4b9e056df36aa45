#pragma once

#include "calc/calcolo.h"
#include "calc/variabili_pubbliche.h"
#include "numeri/sezione.h"

#include <gtest/gtest.h>

// Every test starts from the program's initial state, with no hand-over.
class StatoPulito : public ::testing::Test {
  protected:
    void SetUp() override {
        variabili_pubbliche::stato = {};
        Modulo2::InstallaConsegnaTabella(nullptr);
    }
    variabili_pubbliche::Stato& s = variabili_pubbliche::stato;

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
        Modulo2::CalcolaTabella();
    }
};
