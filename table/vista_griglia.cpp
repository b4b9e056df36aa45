#include "table/vista_griglia.h"

#include "table/modello_griglia.h"

#include <QHeaderView>

VistaGriglia::VistaGriglia(ModelloGriglia* modello, QWidget* parent) : QTableView(parent) {
    QFont carattere("MS Sans Serif");
    carattere.setPointSizeF(7.8);
    carattere.setWeight(QFont::Normal);
    setFont(carattere);

    setModel(modello);
    connect(modello, &QAbstractItemModel::headerDataChanged, this,
            [this](Qt::Orientation orientamento) {
                if (orientamento == Qt::Horizontal) {
                    distribuisciColonne();
                }
            });
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::ContiguousSelection);
    setWordWrap(false);
    setCornerButtonEnabled(false);

    // Cells in the window colours, fixed cells in the button colours, grey
    // beyond the last cell.
    setStyleSheet("QTableView { background-color: #808080; gridline-color: #C0C0C0;"
                  " selection-background-color: palette(highlight);"
                  " selection-color: palette(highlighted-text); }"
                  "QTableView::item { background-color: palette(base); color: palette(text); }"
                  "QTableView::item:selected { background-color: palette(highlight);"
                  " color: palette(highlighted-text); }"
                  "QHeaderView::section, QTableCornerButton::section {"
                  " background-color: palette(button); color: palette(button-text);"
                  " border: 0px; border-right: 1px solid black; border-bottom: 1px solid black;"
                  " padding: 0px 2px; }");

    const int altezzaRiga = fontMetrics().height() + 4;
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(altezzaRiga);
    verticalHeader()->setMinimumWidth(fontMetrics().horizontalAdvance("Max VV"));
    verticalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
    horizontalHeader()->setFixedHeight(2 * altezzaRiga);
}

void VistaGriglia::resizeEvent(QResizeEvent* evento) {
    QTableView::resizeEvent(evento);
    distribuisciColonne();
}

// Each column as wide as its title or a large value, whichever is wider; the
// room left over is shared out evenly.
void VistaGriglia::distribuisciColonne() {
    const int colonne = model()->columnCount();
    if (colonne == 0) {
        return;
    }
    const QFontMetrics metriche = horizontalHeader()->fontMetrics();
    const int margine = 8;
    const int minima = fontMetrics().horizontalAdvance("00000.00") + margine;
    QList<int> larghezze;
    int totale = 0;
    for (int c = 0; c < colonne; ++c) {
        int larghezza = minima;
        for (const QString& riga : model()->headerData(c, Qt::Horizontal).toString().split('\n')) {
            larghezza = std::max(larghezza, metriche.horizontalAdvance(riga) + margine);
        }
        larghezze.append(larghezza);
        totale += larghezza;
    }
    const int avanzo = std::max(0, viewport()->width() - totale);
    for (int c = 0; c < colonne; ++c) {
        const int quota = avanzo / colonne + (c < avanzo % colonne ? 1 : 0);
        horizontalHeader()->resizeSection(c, larghezze[c] + quota);
    }
}
