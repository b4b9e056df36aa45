#pragma once

#include "documenti/selezione_documento.h"

#include <QObject>

#include <functional>
#include <map>
#include <string_view>
#include <vector>

class QTextDocument;

// The embedded word processor: its open documents, each with a name and an
// insertion point (SelezioneDocumento), the active one, and whether it is
// shown. It knows nothing of windows: the report window shows it, the
// command line uses it without one.
class ElaboratoreTesti : public QObject {
    Q_OBJECT

  public:
    // Named operations that fail on purpose, to see a report go on past a
    // failing step: none in the program.
    using Guasti = std::function<bool(std::string_view operazione)>;

    explicit ElaboratoreTesti(QObject* parent = nullptr);
    explicit ElaboratoreTesti(Guasti guasti, QObject* parent = nullptr);
    ~ElaboratoreTesti() override;

    // The processor open now, if any: the one a report attaches to.
    static ElaboratoreTesti* aperto();

    // Raises the error of a failing operation, if it is one of the faults.
    void verificaGuasto(std::string_view operazione) const;

    void impostaVisibile(bool visibile);
    bool visibile() const { return visibile_; }
    void impostaStatoFinestra(int stato);
    int statoFinestra() const { return statoFinestra_; }

    QTextDocument* aggiungiDocumento();
    // A document written whole by `componi` before it is added: no one sees
    // half of it. When `componi` raises, nothing is added, and the
    // exception goes on.
    QTextDocument* aggiungiDocumento(const std::function<void(QTextDocument&)>& componi);
    QTextDocument* documentoAttivo() const;
    const std::vector<QTextDocument*>& documenti() const { return documenti_; }
    QString nomeDocumento(const QTextDocument* documento) const;
    void attivaDocumento(QTextDocument* documento);
    void chiudiDocumento(QTextDocument* documento);
    // Moves a document's content, properties, selection and state into
    // another, which takes its place; the old one is deleted. An editor given
    // the new, empty, document beforehand lays the content out once, as a
    // whole.
    void trasferisci(QTextDocument* vecchio, QTextDocument* nuovo);

    // The insertion point of the active document, and of any open one.
    SelezioneDocumento& selezione();
    SelezioneDocumento& selezioneDi(const QTextDocument* documento);

  signals:
    void documentoAggiunto(QTextDocument* documento);
    void documentoChiuso(QTextDocument* documento);
    void visibilitaRichiesta(bool visibile);
    void statoFinestraRichiesto(int stato);

  private:
    struct Voce {
        SelezioneDocumento selezione;
        QString nome;
    };

    Guasti guasti_;
    bool visibile_ = false;
    int statoFinestra_ = 0;
    int numeroDocumenti_ = 0;
    std::vector<QTextDocument*> documenti_;
    std::map<const QTextDocument*, Voce> voci_;
    QTextDocument* attivo_ = nullptr;
};
