#include "app/casella_segnalata.h"

#include <QString>
#include <QVariant>
#include <QWidget>

void segnalaCasella(QWidget* casella, Lettura lettura, const std::string& motivo) {
    const int stato = static_cast<int>(lettura);
    // A style sheet costs a restyle: set it only when the state changes.
    if (casella->property("lettura").toInt() != stato) {
        casella->setProperty("lettura", stato);
        const char* colore = lettura == Lettura::Rifiutata ? "#C00000" : "#D07000";
        casella->setStyleSheet(lettura == Lettura::Buona
                                   ? QString()
                                   : QString("%1 { border: 2px solid %2; }")
                                         .arg(casella->metaObject()->className(), colore));
    }
    casella->setToolTip(QString::fromStdString(motivo));
}
