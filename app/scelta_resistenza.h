#pragma once

#include "calc/resistenza.h"
#include "progetto/legge_progetto.h"
#include "progetto/progetto.h"

#include <QGroupBox>

class QComboBox;
class QLabel;
class QLineEdit;

// "Resistenza al moto": the law of the answers, its coefficient (a typed
// value, or one of the law's "valori indicativi") and, for Colebrook–White,
// the water's temperature. Bazin with an empty coefficient takes the
// table's γ.
class SceltaResistenza : public QGroupBox {
    Q_OBJECT

  public:
    explicit SceltaResistenza(QWidget* parent = nullptr);

    QComboBox* const legge;
    QComboBox* const scabrezza; // editable: "0.46: muratura…" or a number
    QLineEdit* const temperatura;
    QLabel* const etichettaCoefficiente; // the coefficient's symbol and unit
    QLabel* const indicativi;

    // Marks the box the law was not read from, with the reason in its
    // tooltip; clears the other.
    void segnala(const progetto::LeggeLetta& letta);

    // As a project keeps them; setting goes through the boxes' change path.
    void scriviIn(progetto::Verifiche& verifiche) const;
    void imposta(const progetto::Verifiche& verifiche);

  signals:
    void cambiata();

  private:
    formule::Legge leggeScelta() const;
    void riempiValori();
};
