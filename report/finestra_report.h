#pragma once

#include <QMainWindow>

#include <functional>

class ElaboratoreTesti;
class QTabWidget;
class QTextDocument;

// The program's word processor: one tab per document, each editable and
// unsaved until the user saves it. It lives as long as its window: closing
// the window ends the processor, and the next report opens a new one.
class FinestraReport : public QMainWindow {
    Q_OBJECT

  public:
    explicit FinestraReport(QWidget* parent = nullptr);

    ElaboratoreTesti* elaboratore() const { return elaboratore_; }
    QTabWidget* schede() const { return schede_; }

    // Asks whether unsaved documents may be discarded; a message box unless
    // replaced.
    std::function<bool(const QString& domanda)> conferma;

    // Closes the document of tab `indice`, after asking if it is unsaved.
    bool chiudiDocumento(int indice);

  protected:
    void closeEvent(QCloseEvent* evento) override;

  private:
    void creaMenu();
    void aggiungiScheda(QTextDocument* documento);
    void togliScheda(QTextDocument* documento);
    QTextDocument* documentoCorrente() const;
    void salvaConNome();
    void stampa();
    void apriNelSistema();
    void avvisa(const QString& testo);

    // The tabs go first, so that their editors are gone before the documents.
    QTabWidget* const schede_;
    ElaboratoreTesti* const elaboratore_;
};
