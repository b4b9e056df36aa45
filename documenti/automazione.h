#pragma once

#include "documenti/elaboratore_testi.h"

#include <QPointer>
#include <QString>
#include <QTextDocument>
#include <QTextTable>

#include <cstdint>
#include <optional>

// The word processor's object model, exactly the members the report uses,
// with the arguments it passes. Each object is a light handle to the embedded
// processor; every member that cannot be carried out raises the run-time
// error with the processor's description.
namespace Word {

class Carattere {
  public:
    explicit Carattere(ElaboratoreTesti* elaboratore) : elaboratore_(elaboratore) {}
    void setName(const QString& nome);
    void setSize(float punti);

  private:
    QPointer<ElaboratoreTesti> elaboratore_;
};

class FormatoParagrafo {
  public:
    explicit FormatoParagrafo(ElaboratoreTesti* elaboratore) : elaboratore_(elaboratore) {}
    void setAlignment(std::int32_t allineamento); // 0 left, 1 centred

  private:
    QPointer<ElaboratoreTesti> elaboratore_;
};

// A position in a document.
struct Intervallo {
    QPointer<QTextDocument> documento;
    int posizione = 0;
};

class RigheSelezione {
  public:
    explicit RigheSelezione(ElaboratoreTesti* elaboratore) : elaboratore_(elaboratore) {}
    void setHeadingFormat(std::int32_t valore); // 9999998 toggles

  private:
    QPointer<ElaboratoreTesti> elaboratore_;
};

class Selezione {
  public:
    explicit Selezione(ElaboratoreTesti* elaboratore) : elaboratore_(elaboratore) {}
    Carattere Font() const { return Carattere(elaboratore_); }
    FormatoParagrafo ParagraphFormat() const { return FormatoParagrafo(elaboratore_); }
    RigheSelezione Rows() const { return RigheSelezione(elaboratore_); }
    // A carriage return (character 13) ends a paragraph.
    void TypeText(const QString& testo);
    Intervallo Range() const;
    // Unit 5 is the line; extend 0 moves, 1 extends; absent, it moves.
    void MoveDown(std::int32_t unita, std::int32_t conteggio,
                  std::optional<std::int32_t> estendi = std::nullopt);

  private:
    QPointer<ElaboratoreTesti> elaboratore_;
};

class IntervalloCella {
  public:
    IntervalloCella(ElaboratoreTesti* elaboratore, QTextTable* tabella, int riga, int colonna)
        : elaboratore_(elaboratore), tabella_(tabella), riga_(riga), colonna_(colonna) {}
    void InsertAfter(const QString& testo);

  private:
    QPointer<ElaboratoreTesti> elaboratore_;
    QPointer<QTextTable> tabella_;
    int riga_, colonna_;
};

class Cella {
  public:
    Cella(ElaboratoreTesti* elaboratore, QTextTable* tabella, int riga, int colonna)
        : intervallo_(elaboratore, tabella, riga, colonna) {}
    IntervalloCella Range() const { return intervallo_; }

  private:
    IntervalloCella intervallo_;
};

class Colonna {
  public:
    Colonna(ElaboratoreTesti* elaboratore, QTextTable* tabella, int colonna)
        : elaboratore_(elaboratore), tabella_(tabella), colonna_(colonna) {}
    // Ruler style 1 is proportional.
    void SetWidth(float punti, std::int32_t stileRighello);

  private:
    QPointer<ElaboratoreTesti> elaboratore_;
    QPointer<QTextTable> tabella_;
    int colonna_;
};

class RigaTabella {
  public:
    RigaTabella(ElaboratoreTesti* elaboratore, QTextTable* tabella, int riga)
        : elaboratore_(elaboratore), tabella_(tabella), riga_(riga) {}
    void Select();

  private:
    QPointer<ElaboratoreTesti> elaboratore_;
    QPointer<QTextTable> tabella_;
    int riga_;
};

// A table reference; an empty one (a table that could not be added) fails at
// every use.
class Tabella {
  public:
    Tabella() = default;
    Tabella(ElaboratoreTesti* elaboratore, QTextTable* tabella)
        : elaboratore_(elaboratore), tabella_(tabella) {}
    Cella Cell(std::int32_t riga, std::int16_t colonna) const;
    Colonna Columns(std::int32_t colonna) const;
    RigaTabella Rows(std::int32_t riga) const;

  private:
    QTextTable* verificata() const;

    QPointer<ElaboratoreTesti> elaboratore_;
    QPointer<QTextTable> tabella_;
};

class Tabelle {
  public:
    Tabelle(ElaboratoreTesti* elaboratore, QTextDocument* documento)
        : elaboratore_(elaboratore), documento_(documento) {}
    Tabella Add(const Intervallo& intervallo, std::int32_t righe, std::int32_t colonne);
    Tabella operator()(std::int32_t numero) const;

  private:
    QPointer<ElaboratoreTesti> elaboratore_;
    QPointer<QTextDocument> documento_;
};

class Documento {
  public:
    Documento(ElaboratoreTesti* elaboratore, QTextDocument* documento)
        : elaboratore_(elaboratore), documento_(documento) {}
    Tabelle Tables() const { return Tabelle(elaboratore_, documento_); }
    Tabella Tables(std::int32_t numero) const { return Tables()(numero); }

  private:
    QPointer<ElaboratoreTesti> elaboratore_;
    QPointer<QTextDocument> documento_;
};

class Documenti {
  public:
    explicit Documenti(ElaboratoreTesti* elaboratore) : elaboratore_(elaboratore) {}
    Documento Add();

  private:
    QPointer<ElaboratoreTesti> elaboratore_;
};

// The application object that a report attaches to or starts.
class Applicazione {
  public:
    explicit Applicazione(ElaboratoreTesti* elaboratore) : elaboratore_(elaboratore) {}
    void setVisible(bool visibile);
    Applicazione Application() const;
    void setWindowState(std::int32_t stato); // 1 maximised
    Documenti Documents() const { return Documenti(elaboratore_); }
    Selezione Selection() const { return Selezione(elaboratore_); }

  private:
    QPointer<ElaboratoreTesti> elaboratore_;
};

// The program-wide object through which the report reaches the selection,
// the active document and the unit conversion without naming the
// application. It follows the processor open now, so a report written after
// the report window was closed and opened again still reaches it.
class Globale {
  public:
    Selezione Selection() const;
    Documento ActiveDocument() const;
    float CentimetersToPoints(float centimetri) const;
};

// Created on first use; lives until the program ends.
const Globale& Global();

} // namespace Word
