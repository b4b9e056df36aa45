#pragma once

#include <QStringList>
#include <QTableView>

class ModelloGriglia;

// The results grid as the user sees it: read-only, scrollable; the two
// header rows as column headers, the label column as row header. Cells,
// rows, columns or everything (Ctrl+A) can be selected and copied (Ctrl+C,
// or its context menu) as a spreadsheet copies them.
class VistaGriglia : public QTableView {
  public:
    explicit VistaGriglia(ModelloGriglia* modello, QWidget* parent = nullptr);

    // Puts the selection, or the whole table, on the clipboard: the texts
    // as shown, tab-separated and as an HTML table. Whole columns bring
    // the two header lines, whole rows their labels.
    void copia(bool tabellaIntera = false);

  protected:
    void resizeEvent(QResizeEvent* evento) override;
    void keyPressEvent(QKeyEvent* evento) override;
    void contextMenuEvent(QContextMenuEvent* evento) override;

  private:
    void distribuisciColonne();

    ModelloGriglia* const modello_;
    // What the columns were last laid out for: the titles are told anew at
    // every key, and measuring them costs as much as the rest of the grid.
    QStringList titoliDistribuiti_;
    int larghezzaDistribuita_ = -1;
};
