#include "app/caratteri.h"

#include <QFont>
#include <QStringList>

void installaSostituzioniCaratteri() {
    QFont::insertSubstitutions(
        "MS Sans Serif", QStringList{"Microsoft Sans Serif", "Liberation Sans", "DejaVu Sans"});
    QFont::insertSubstitutions("Arial", QStringList{"Liberation Sans", "DejaVu Sans"});
    QFont::insertSubstitutions("Courier New", QStringList{"Liberation Mono", "DejaVu Sans Mono"});
}
