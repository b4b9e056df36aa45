#pragma once

#include "app/form_principale.h"
#include "calc/variabili_pubbliche.h"
#include "table/modello_griglia.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>
#include <ostream>

inline void PrintTo(const QString& testo, std::ostream* uscita) {
    *uscita << testo.toStdString();
}

// The real window after its start-up, with counts of grid preparations and
// sweeps, and a keyboard to type into its boxes.
class FinestraAvviata : public ::testing::Test {
  protected:
    FinestraAvviata() : finestra(std::make_unique<FormPrincipale>()), s(finestra->stato()) {}

    void SetUp() override {
        QObject::connect(finestra.get(), &FormPrincipale::grigliaPreparata,
                         [this] { ++preparazioni; });
        QObject::connect(finestra.get(), &FormPrincipale::tabellaCalcolata, [this] { ++calcoli; });
        finestra->show();
        QCoreApplication::processEvents();
    }

    void azzeraConteggi() { preparazioni = calcoli = 0; }

    // Replaces the box's text key by key, as a user does.
    void digita(QLineEdit* casella, const QString& testo) {
        casella->selectAll();
        if (testo.isEmpty()) {
            QTest::keyClick(casella, Qt::Key_Delete);
        } else {
            QTest::keyClicks(casella, testo);
        }
    }
    // Adds one key at the end of the box's text.
    void aggiungi(QLineEdit* casella, const QString& testo) {
        casella->end(false);
        QTest::keyClicks(casella, testo);
    }

    std::string cella(int riga, int colonna) const {
        return finestra->modelloGriglia1->testo(riga, colonna);
    }
    std::vector<std::string> rigaGriglia(int riga) const {
        std::vector<std::string> testi;
        for (int c = 0; c < 7; ++c) {
            testi.push_back(cella(riga, c));
        }
        return testi;
    }
    int righe() const { return finestra->modelloGriglia1->Rows(); }
    QString testo(const QLineEdit* casella) const { return casella->text(); }

    std::unique_ptr<FormPrincipale> finestra;
    // The window's computation state, as its events and sweep leave it.
    const variabili_pubbliche::Stato& s;
    int preparazioni = 0;
    int calcoli = 0;
};
