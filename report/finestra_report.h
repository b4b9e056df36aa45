#pragma once

#include <QMainWindow>

#include <functional>

class ElaboratoreTesti;
class QTabWidget;
class QTextDocument;
class QUrl;

// The program's word processor: one tab per document, each editable and
// unsaved until the user saves it. It lives as long as its window: closing
// the window ends the processor, and the next report opens a new one.
class FinestraReport : public QMainWindow {
    Q_OBJECT

  public:
    explicit FinestraReport(QWidget* parent = nullptr);

    ElaboratoreTesti* elaboratore() const { return elaboratore_; }
    QTabWidget* schede() const { return schede_; }

    // Asks whether unsaved documents may be discarded, and warns of what
    // could not be done: message boxes unless replaced.
    std::function<bool(const QString& domanda)> conferma;
    std::function<void(const QString& avviso)> avvisa;

    // Hands a file to the desktop's own program; QDesktopServices unless
    // replaced.
    std::function<bool(const QUrl& indirizzo)> apriConIlSistema;

    // Closes the document of tab `indice`, after asking if it is unsaved.
    bool chiudiDocumento(int indice);

    // Saves the current document under the name chosen in "Salva con nome…"
    // and the file type of the dialog's filter; a warning says why not.
    void salvaCome(const QString& scelto, const QString& filtro);

    // Writes the current document as .docx into the program's temporary
    // folder and hands it to the desktop's word processor.
    void apriNelSistema();

  protected:
    void closeEvent(QCloseEvent* evento) override;

  private:
    void creaMenu();
    void aggiungiScheda(QTextDocument* documento);
    void togliScheda(QTextDocument* documento);
    QTextDocument* documentoCorrente() const;
    void salvaConNome();
    void stampa();

    // The tabs go first, so that their editors are gone before the documents.
    QTabWidget* const schede_;
    ElaboratoreTesti* const elaboratore_;
};
