#pragma once

#include "numeri/separatore.h"

#include <QObject>

class QLocale;
class QWidget;

// The user's preferences, remembered between runs: the decimal separator of
// what people read (the grids, the windows, the reports, the results file,
// what is copied). The main window keeps them and hands them to its other
// windows, which follow a change at once.
class Preferenze : public QObject {
    Q_OBJECT

  public:
    explicit Preferenze(QObject* parent = nullptr);

    Separatore separatore() const { return separatore_; }
    void impostaSeparatore(Separatore separatore);

  signals:
    void cambiate();

  private:
    Separatore separatore_;
};

// What a desktop's language suggests: the comma where Italian is spoken,
// the point elsewhere.
Separatore separatorePredefinito(const QLocale& lingua);

// "Preferenze…": the separator chosen among "virgola" and "punto". Returns
// whether the user confirmed.
bool modificaPreferenze(QWidget* finestra, Preferenze& preferenze);
