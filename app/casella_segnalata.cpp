#include "app/casella_segnalata.h"

#include <QString>
#include <QVariant>
#include <QWidget>

void segnalaCasella(QWidget* casella, const std::optional<std::string>& motivo) {
    const bool rifiutata = motivo.has_value();
    // A style sheet costs a restyle: set it only when the state changes.
    if (casella->property("rifiutata").toBool() != rifiutata) {
        casella->setProperty("rifiutata", rifiutata);
        casella->setStyleSheet(rifiutata ? QString("%1 { border: 2px solid #C00000; }")
                                               .arg(casella->metaObject()->className())
                                         : QString());
    }
    casella->setToolTip(rifiutata ? QString::fromStdString(*motivo) : QString());
}
