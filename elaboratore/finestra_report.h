#pragma once

#include "elaboratore/domanda_salvare.h"
#include "errori/avanzamento.h"

#include <QMainWindow>

#include <functional>
#include <map>

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

    // The file chosen in "Salva con nome…" and the dialog's filter; an empty
    // path when the user cancelled.
    struct FileScelto {
        QString percorso;
        QString filtro;
    };

    // Asks about an unsaved document, asks for a file to save into, and
    // warns of what could not be done: dialogs unless replaced.
    std::function<RispostaSalvare(const QString& domanda)> chiediSeSalvare;
    std::function<FileScelto(const QString& proposto)> scegliFile;
    std::function<void(const QString& avviso)> avvisa;
    // Follows a save or a print, `testo` saying which, and may stop it: a
    // progress dialog with "Annulla" (barraAvanzamento) unless replaced.
    std::function<Avanzamento::Ascolta(const QString& testo)> seguiLavoro;

    // The project the reports come from, as whoever opens the window knows
    // it when a document is first saved: the folder of its file (empty: not
    // saved yet) and its work. None: no project.
    struct Progetto {
        QString cartella;
        QString opera;
    };
    std::function<Progetto()> progetto;

    // The name a document is first proposed to be saved under: "Relazione –
    // <opera>.docx", without what a file name cannot hold, in the project's
    // folder, else the current one; "Relazione.docx" without a work.
    static QString nomeProposto(const Progetto& progetto);

    // Hands a file to the desktop's own program; QDesktopServices unless
    // replaced.
    std::function<bool(const QUrl& indirizzo)> apriConIlSistema;

    // Closes the document of tab `indice`; an unsaved one is saved,
    // discarded or kept open as the user answers.
    bool chiudiDocumento(int indice);

    // "Salva" writes the current document into the file it was last saved
    // in, in that file's format, and asks for a file only when there is
    // none; "Salva con nome…" always asks. False when not saved: cancelled
    // (the file left as it was), or a warning says why.
    bool salva();
    bool salvaConNome();

    // Saves the current document under `scelto`, with the extension of the
    // dialog's filter when it has none of ours.
    bool salvaCome(const QString& scelto, const QString& filtro);

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
    // Whether the document of tab `indice` may go: saved, discarded or not
    // modified.
    bool lasciaAndare(int indice);
    bool salvaScheda(int indice, bool conNome);
    bool scrivi(int indice, const QString& percorso);
    void stampa();

    // The tabs go first, so that their editors are gone before the documents.
    QTabWidget* const schede_;
    ElaboratoreTesti* const elaboratore_;
    std::map<const QTextDocument*, QString> percorsi_; // where each was saved last
};
