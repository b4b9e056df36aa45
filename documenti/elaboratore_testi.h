#pragma once

#include <QObject>
#include <QTextCharFormat>
#include <QTextCursor>

#include <functional>
#include <map>
#include <string_view>
#include <vector>

class QTextBlock;
class QTextBlockFormat;
class QTextDocument;
class QTextTable;
class QTextTableFormat;

// The look of every table of the report.
QTextTableFormat formatoTabellaReport(Qt::Alignment allineamento);

// A paragraph kept on one page with the start of the next one (a heading
// and its text, a caption and its picture) in every paged format.
void tieniConIlSeguente(QTextBlockFormat& formato);
bool tenutoConIlSeguente(const QTextBlockFormat& formato);

// The embedded word processor: documents held as QTextDocument, an insertion
// point (the selection) per document, and the character format that typed
// text takes. It knows nothing of windows: the report window shows it, the
// command line uses it without one.
//
// Where a word processor's own behaviour is left open, this one is
// deterministic:
// - a new table takes the place of the empty paragraph it is added in (a
//   paragraph with text stays, and the table follows it); the paragraph
//   after the table takes that paragraph's format, and the cells take its
//   alignment and the character format of the insertion point;
// - moving down counts one line per paragraph outside tables and one per
//   table row, and a move below the last line stays at the end of the
//   document;
// - the heading-row setting is kept per row and toggled per row.
class ElaboratoreTesti : public QObject {
    Q_OBJECT

  public:
    explicit ElaboratoreTesti(QObject* parent = nullptr);
    ~ElaboratoreTesti() override;

    // The processor open now, if any: the one a report attaches to.
    static ElaboratoreTesti* aperto();

    // A test's way to make named operations fail.
    using Guasti = std::function<bool(std::string_view operazione)>;
    void impostaGuasti(Guasti guasti) { guasti_ = std::move(guasti); }
    void verificaGuasto(std::string_view operazione) const;

    void impostaVisibile(bool visibile);
    bool visibile() const { return visibile_; }
    void impostaStatoFinestra(int stato);
    int statoFinestra() const { return statoFinestra_; }

    QTextDocument* aggiungiDocumento();
    QTextDocument* documentoAttivo() const;
    const std::vector<QTextDocument*>& documenti() const { return documenti_; }
    QString nomeDocumento(const QTextDocument* documento) const;
    void attivaDocumento(QTextDocument* documento);
    void chiudiDocumento(QTextDocument* documento);
    // Moves a document's content, properties, selection and state into
    // another, which takes its place; the old one is deleted. An editor given the new,
    // empty, document beforehand lays the content out once, as a whole.
    void trasferisci(QTextDocument* vecchio, QTextDocument* nuovo);

    // The selection of the active document.
    const QTextCursor& selezione() const;
    void scriviTesto(const QString& testo);
    void impostaNomeCarattere(const QString& nome);
    void impostaDimensioneCarattere(float punti);
    void impostaAllineamento(int allineamento);
    void spostaGiu(int unita, int conteggio, int estendi);
    void impostaRigheIntestazione(int valore);

    QTextTable* aggiungiTabella(QTextDocument* documento, int posizione, int righe, int colonne);
    // 1-based, in document order.
    QTextTable* tabella(const QTextDocument* documento, int numero) const;
    void inserisciInCella(QTextTable* tabella, int riga, int colonna, const QString& testo);
    void impostaLarghezzaColonna(QTextTable* tabella, int colonna, float punti, int stileRighello);
    void selezionaRiga(QTextTable* tabella, int riga);

    // Whether row `riga` (0-based) of the table is a heading row.
    static bool rigaIntestazione(const QTextTable* tabella, int riga);
    // Makes the first rows of a table heading rows, repeated on every page.
    static void segnaRigheIntestazione(QTextTable* tabella, int righe);

    // Inserts a table at the cursor, between the two empty paragraphs that
    // hold it in place, and leaves the cursor in a new paragraph after it.
    static QTextTable* inserisciTabella(QTextCursor& cursore, int righe, int colonne,
                                        const QTextTableFormat& formato);
    // Whether the paragraph only holds a table in place: no writer writes
    // it, no move counts it, the layout gives it no height.
    static bool paragrafoDiServizio(const QTextBlock& blocco);

  signals:
    void documentoAggiunto(QTextDocument* documento);
    void documentoChiuso(QTextDocument* documento);
    void visibilitaRichiesta(bool visibile);
    void statoFinestraRichiesto(int stato);

  private:
    struct StatoDocumento {
        QTextCursor selezione;
        QTextCharFormat formato;
        QString nome;
    };
    StatoDocumento& attivo();
    const StatoDocumento& attivo() const;
    StatoDocumento& statoDi(const QTextDocument* documento);
    void applicaAllaSelezione(const QTextCharFormat& modifica);

    Guasti guasti_;
    bool visibile_ = false;
    int statoFinestra_ = 0;
    int numeroDocumenti_ = 0;
    std::vector<QTextDocument*> documenti_;
    std::map<const QTextDocument*, StatoDocumento> stati_;
    QTextDocument* attivo_ = nullptr;
};
