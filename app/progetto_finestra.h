#pragma once

#include "elaboratore/domanda_salvare.h"
#include "progetto/progetto.h"

#include <QList>
#include <QObject>
#include <QString>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class QAction;
class QMenu;
class QWidget;

// The project of the main window: which file it is, whether it changed
// since it was opened or saved, its "Dati del progetto", and the File
// menu's entries for all this. The window has no project until one is
// opened, saved or begun with "Nuovo"; until then it closes without asking.
class ProgettoFinestra : public QObject {
    Q_OBJECT

  public:
    // How the window's boxes become a project and a project its boxes (the
    // project's data and the keys kept from the file are looked after here).
    struct Controlli {
        // All but the reaches' and manholes' rows.
        std::function<progetto::Progetto()> leggi;
        std::function<void(const progetto::Progetto&)> riempi;
        // What is being typed is taken as done, as when the user leaves the
        // box (a bounded increment written back): a save keeps what the
        // window will show.
        std::function<void()> concludi;
        // The reaches' and manholes' rows into a project, and a count that
        // grows with each change to them: thousands of rows are not
        // compared at every key.
        std::function<void(progetto::Progetto&)> righeTratti;
        std::function<std::uint64_t()> revisioneTratti;
    };

    ProgettoFinestra(QWidget* finestra, Controlli controlli);

    // Nuovo, Apri…, Salva, Salva con nome…, File recenti, Dati del progetto….
    // Returns Apri, Salva and Salva con nome, whose keys every window takes.
    QList<QAction*> aggiungiAlMenu(QMenu* file);

    // A bad file changes nothing: a warning names it and what is wrong.
    bool apri(const std::string& percorso);
    bool salva();
    bool salvaCome();
    void nuovo();
    void modificaDati();
    // Asks Salva / Scarta / Annulla about unsaved changes; whether the
    // window may go on to close or to replace the project.
    bool puoChiudere();

    progetto::Progetto corrente() const;
    bool modificato() const;
    const std::string& percorso() const { return percorso_; }
    const progetto::Dati& dati() const { return dati_; }
    // The window's caption: the file's name and a marker of unsaved
    // changes before `base`; `base` alone with no project.
    QString titolo(const QString& base) const;

    // Asks about unsaved changes, for a file to save into or to open (an
    // empty path when cancelled), for the project's data, and warns: dialogs
    // unless replaced.
    std::function<RispostaSalvare(const QString& domanda)> chiediSeSalvare;
    std::function<std::string(const std::string& proposto)> scegliFileDaSalvare;
    std::function<std::string()> scegliFileDaAprire;
    std::function<std::optional<progetto::Dati>(const progetto::Dati& dati)> chiediDati;
    std::function<void(const QString& avviso)> avvisa;

  signals:
    // The caption may read otherwise: a project opened, saved or changed.
    void statoCambiato();

  private:
    bool salvaIn(const std::string& percorso);
    // From now on the window holds `progetto`, as in `percorso` (empty for a
    // project not yet saved), with the reaches it shows now.
    void adotta(progetto::Progetto progetto, std::string percorso);
    // The project as corrente() has it, but the reaches' rows.
    progetto::Progetto senzaTratti() const;
    QString nome() const;
    void ricordaRecente(const std::string& percorso);
    void aggiornaRecenti();

    QWidget* const finestra_;
    const Controlli controlli_;
    bool conProgetto_ = false;
    std::string percorso_;
    progetto::Progetto salvato_; // without the reaches' rows
    std::uint64_t revisioneSalvata_ = 0;
    progetto::Dati dati_;
    QMenu* recenti_ = nullptr;
};
