#include "app/vista_griglia.h"

#include "table/copia_griglia.h"
#include "table/modello_griglia.h"

#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>

#include <QHeaderView>

#include <algorithm>

VistaGriglia::VistaGriglia(ModelloGriglia* modello, QWidget* parent)
    : QTableView(parent), modello_(modello) {
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
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setWordWrap(false);
    // Tab moves on to the next control, as it does from the original grid;
    // the arrows move between cells.
    setTabKeyNavigation(false);
    setCornerButtonEnabled(true);

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

void VistaGriglia::copia(bool tabellaIntera) {
    const int righe = modello_->rowCount();
    const int colonne = modello_->columnCount();
    const QItemSelectionModel* selezione = selectionModel();
    const QModelIndexList indici = selezione->selectedIndexes();
    BloccoSelezionato blocco;
    const bool tutto = tabellaIntera || (righe > 0 && indici.size() == righe * colonne);
    if (tutto) {
        blocco = {ModelloGriglia::righeFisse,
                  ModelloGriglia::righeFisse + righe - 1,
                  ModelloGriglia::colonneFisse,
                  ModelloGriglia::colonneFisse + colonne - 1,
                  true,
                  true};
    } else {
        if (indici.isEmpty()) {
            return;
        }
        int primaRiga = righe, ultimaRiga = -1, primaColonna = colonne, ultimaColonna = -1;
        bool colonneIntere = true, righeIntere = true;
        for (const QModelIndex& i : indici) {
            primaRiga = std::min(primaRiga, i.row());
            ultimaRiga = std::max(ultimaRiga, i.row());
            primaColonna = std::min(primaColonna, i.column());
            ultimaColonna = std::max(ultimaColonna, i.column());
            colonneIntere = colonneIntere && selezione->isColumnSelected(i.column());
            righeIntere = righeIntere && selezione->isRowSelected(i.row());
        }
        blocco = {primaRiga + ModelloGriglia::righeFisse,
                  ultimaRiga + ModelloGriglia::righeFisse,
                  primaColonna + ModelloGriglia::colonneFisse,
                  ultimaColonna + ModelloGriglia::colonneFisse,
                  colonneIntere,
                  righeIntere};
    }
    const CopiaGriglia copia = copiaGriglia(
        modello_->celle(), blocco,
        [&](int riga, int colonna) {
            return tutto ||
                   selezione->isSelected(modello_->index(riga - ModelloGriglia::righeFisse,
                                                         colonna - ModelloGriglia::colonneFisse));
        },
        modello_->separatore());
    auto* dati = new QMimeData;
    dati->setText(QString::fromStdString(copia.testo));
    dati->setHtml(QString::fromStdString(copia.html));
    QGuiApplication::clipboard()->setMimeData(dati);
}

void VistaGriglia::keyPressEvent(QKeyEvent* evento) {
    if (evento->matches(QKeySequence::Copy)) {
        copia();
        return;
    }
    QTableView::keyPressEvent(evento);
}

void VistaGriglia::contextMenuEvent(QContextMenuEvent* evento) {
    QMenu menu(this);
    menu.addAction("Copia", QKeySequence::Copy, this, [this] { copia(); })
        ->setEnabled(selectionModel()->hasSelection());
    menu.addAction("Copia tabella", this, [this] { copia(true); });
    menu.exec(evento->globalPos());
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
    QStringList titoli;
    for (int c = 0; c < colonne; ++c) {
        titoli << model()->headerData(c, Qt::Horizontal).toString();
    }
    if (titoli == titoliDistribuiti_ && viewport()->width() == larghezzaDistribuita_) {
        return;
    }
    titoliDistribuiti_ = titoli;
    larghezzaDistribuita_ = viewport()->width();
    const QFontMetrics metriche = horizontalHeader()->fontMetrics();
    const int margine = 8;
    const int minima = fontMetrics().horizontalAdvance("00000.00") + margine;
    QList<int> larghezze;
    int totale = 0;
    for (int c = 0; c < colonne; ++c) {
        int larghezza = minima;
        for (const QString& riga : titoli[c].split('\n')) {
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
