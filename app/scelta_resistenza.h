#pragma once

#include "calc/resistenza.h"
#include "progetto/progetto.h"

#include <QGroupBox>

#include <optional>

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

    // The law as the boxes give it, for a table whose Bazin coefficient is
    // `coeffBazinTabella`; none when a box holds no value in its range (the
    // box is marked, with the reason in its tooltip).
    std::optional<formule::Resistenza> resistenza(double coeffBazinTabella) const;

    // As a project keeps them; setting goes through the boxes' change path.
    void scriviIn(progetto::Verifiche& verifiche) const;
    void imposta(const progetto::Verifiche& verifiche);

  signals:
    void cambiata();

  private:
    formule::Legge leggeScelta() const;
    void riempiValori();
};
