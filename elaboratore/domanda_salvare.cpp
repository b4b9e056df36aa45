#include "elaboratore/domanda_salvare.h"

#include <QMessageBox>

RispostaSalvare chiediSeSalvare(QWidget* finestra, const QString& domanda) {
    switch (QMessageBox::question(finestra, finestra->windowTitle(), domanda,
                                  QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel,
                                  QMessageBox::Save)) {
    case QMessageBox::Save:
        return RispostaSalvare::Salva;
    case QMessageBox::Discard:
        return RispostaSalvare::Scarta;
    default:
        return RispostaSalvare::Annulla;
    }
}
