#pragma once

#include <QTableView>

class ModelloGriglia;

// The results grid as the user sees it: read-only, scrollable, selectable;
// the two header rows as column headers, the label column as row header.
class VistaGriglia : public QTableView {
  public:
    explicit VistaGriglia(ModelloGriglia* modello, QWidget* parent = nullptr);

  protected:
    void resizeEvent(QResizeEvent* evento) override;

  private:
    void distribuisciColonne();
};
