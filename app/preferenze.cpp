#include "app/preferenze.h"

#include "app/impostazioni.h"

#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLocale>

namespace {

const char* const chiaveSeparatore = "separatoreDecimale";

} // namespace

Separatore separatorePredefinito(const QLocale& lingua) {
    return lingua.language() == QLocale::Italian ? Separatore::Virgola : Separatore::Punto;
}

Preferenze::Preferenze(QObject* parent)
    : QObject(parent), separatore_(separatorePredefinito(QLocale::system())) {
    separatoreDaNome(impostazioni().value(chiaveSeparatore).toString().toStdString(), separatore_);
}

void Preferenze::impostaSeparatore(Separatore separatore) {
    impostazioni().setValue(chiaveSeparatore, QString::fromUtf8(nomeSeparatore(separatore).data()));
    if (separatore != separatore_) {
        separatore_ = separatore;
        emit cambiate();
    }
}

bool modificaPreferenze(QWidget* finestra, Preferenze& preferenze) {
    QDialog dialogo(finestra);
    dialogo.setWindowTitle("Preferenze");
    auto* modulo = new QFormLayout(&dialogo);
    auto* separatore = new QComboBox;
    separatore->addItems({"virgola", "punto"});
    separatore->setCurrentIndex(preferenze.separatore() == Separatore::Virgola ? 0 : 1);
    modulo->addRow("&Separatore decimale:", separatore);
    auto* pulsanti = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    QObject::connect(pulsanti, &QDialogButtonBox::accepted, &dialogo, &QDialog::accept);
    QObject::connect(pulsanti, &QDialogButtonBox::rejected, &dialogo, &QDialog::reject);
    modulo->addRow(pulsanti);
    if (dialogo.exec() != QDialog::Accepted) {
        return false;
    }
    preferenze.impostaSeparatore(separatore->currentIndex() == 0 ? Separatore::Virgola
                                                                 : Separatore::Punto);
    return true;
}
