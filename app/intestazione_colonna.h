#pragma once

#include <QString>
#include <QVariant>

#include <span>

// A table's column heading: its title (the unit on a second line) and what
// it holds, as the tooltip.
struct Intestazione {
    const char* titolo;
    const char* spiegazione;
};

// The heading's title or tooltip for a horizontal header's role; none for
// another role or a column beyond the list.
inline QVariant datoIntestazione(std::span<const Intestazione> intestazioni, int colonna,
                                 int ruolo) {
    if (colonna < 0 || static_cast<std::size_t>(colonna) >= intestazioni.size()) {
        return {};
    }
    const Intestazione& i = intestazioni[static_cast<std::size_t>(colonna)];
    if (ruolo == Qt::DisplayRole) {
        return QString(i.titolo);
    }
    if (ruolo == Qt::ToolTipRole) {
        return QString(i.spiegazione);
    }
    return {};
}
