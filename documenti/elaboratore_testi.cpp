#include "documenti/elaboratore_testi.h"

#include "documenti/disegno_documento.h"

#include "documenti/errori_elaboratore.h"
#include "documenti/proprieta_documento.h"
#include "errori/errore_runtime.h"

#include <QTextBlock>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QUrl>

#include <algorithm>
#include <memory>

namespace {

// The word processor a report attaches to, as a word processor running on
// the desktop is found by any program.
ElaboratoreTesti* elaboratoreAperto = nullptr;

} // namespace

ElaboratoreTesti::ElaboratoreTesti(QObject* parent) : ElaboratoreTesti(Guasti(), parent) {}

ElaboratoreTesti::ElaboratoreTesti(Guasti guasti, QObject* parent)
    : QObject(parent), guasti_(std::move(guasti)) {
    elaboratoreAperto = this;
}

ElaboratoreTesti::~ElaboratoreTesti() {
    if (elaboratoreAperto == this) {
        elaboratoreAperto = nullptr;
    }
}

ElaboratoreTesti* ElaboratoreTesti::aperto() {
    return elaboratoreAperto;
}

void ElaboratoreTesti::verificaGuasto(std::string_view operazione) const {
    if (guasti_ && guasti_(operazione)) {
        throw ErroreRuntime(5097, "L'elaboratore di testi non ha eseguito l'operazione " +
                                      std::string(operazione) + ".");
    }
}

void ElaboratoreTesti::impostaVisibile(bool visibile) {
    visibile_ = visibile;
    emit visibilitaRichiesta(visibile);
}

void ElaboratoreTesti::impostaStatoFinestra(int stato) {
    if (stato < 0 || stato > 2) {
        errori_elaboratore::fuoriIntervallo();
    }
    statoFinestra_ = stato;
    emit statoFinestraRichiesto(stato);
}

QTextDocument* ElaboratoreTesti::aggiungiDocumento() {
    return aggiungiDocumento({});
}

QTextDocument*
ElaboratoreTesti::aggiungiDocumento(const std::function<void(QTextDocument&)>& componi) {
    auto nuovo = std::make_unique<QTextDocument>();
    QFont carattere("Times New Roman");
    carattere.setPointSize(12);
    // The report's texts need no shaping; laying them out goes faster.
    carattere.setStyleStrategy(QFont::PreferNoShaping);
    nuovo->setDefaultFont(carattere);
    if (componi) {
        componi(*nuovo);
    }
    QTextDocument* documento = nuovo.release();
    documento->setParent(this);
    documenti_.push_back(documento);
    voci_.emplace(documento, Voce{SelezioneDocumento(documento),
                                  QString("Documento%1").arg(++numeroDocumenti_)});
    attivo_ = documento;
    emit documentoAggiunto(documento);
    return documento;
}

QTextDocument* ElaboratoreTesti::documentoAttivo() const {
    if (attivo_ == nullptr) {
        errori_elaboratore::nessunDocumento();
    }
    return attivo_;
}

QString ElaboratoreTesti::nomeDocumento(const QTextDocument* documento) const {
    const auto trovato = voci_.find(documento);
    return trovato == voci_.end() ? QString() : trovato->second.nome;
}

void ElaboratoreTesti::attivaDocumento(QTextDocument* documento) {
    if (voci_.count(documento) != 0) {
        attivo_ = documento;
    }
}

void ElaboratoreTesti::chiudiDocumento(QTextDocument* documento) {
    const auto trovato = std::find(documenti_.begin(), documenti_.end(), documento);
    if (trovato == documenti_.end()) {
        return;
    }
    documenti_.erase(trovato);
    voci_.erase(documento);
    if (attivo_ == documento) {
        attivo_ = documenti_.empty() ? nullptr : documenti_.back();
    }
    emit documentoChiuso(documento);
    documento->deleteLater();
}

void ElaboratoreTesti::trasferisci(QTextDocument* vecchio, QTextDocument* nuovo) {
    const auto trovato = std::find(documenti_.begin(), documenti_.end(), vecchio);
    if (trovato == documenti_.end()) {
        return;
    }
    nuovo->setParent(this);
    nuovo->setDefaultFont(vecchio->defaultFont());
    impostaProprieta(*nuovo, proprietaDi(*vecchio));
    // The pictures live beside the text, as the document's resources.
    for (QTextBlock blocco = vecchio->begin(); blocco.isValid(); blocco = blocco.next()) {
        for (auto it = blocco.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat formato = it.fragment().charFormat();
            if (formato.isImageFormat()) {
                const QUrl nome(formato.toImageFormat().name());
                nuovo->addResource(QTextDocument::ImageResource, nome,
                                   vecchio->resource(QTextDocument::ImageResource, nome));
            }
        }
    }
    abilitaDisegni(*nuovo);
    nuovo->setUndoRedoEnabled(false);
    QTextCursor copia(nuovo);
    copia.beginEditBlock();
    copia.insertFragment(QTextDocumentFragment(vecchio));
    copia.endEditBlock();
    nuovo->setUndoRedoEnabled(true);
    nuovo->setModified(vecchio->isModified());

    auto voce = voci_.extract(vecchio);
    voce.key() = nuovo;
    voce.mapped().selezione.spostaIn(nuovo);
    voci_.insert(std::move(voce));
    *trovato = nuovo;
    if (attivo_ == vecchio) {
        attivo_ = nuovo;
    }
    delete vecchio;
}

SelezioneDocumento& ElaboratoreTesti::selezione() {
    return voci_.at(documentoAttivo()).selezione;
}

SelezioneDocumento& ElaboratoreTesti::selezioneDi(const QTextDocument* documento) {
    const auto trovato = voci_.find(documento);
    if (trovato == voci_.end()) {
        errori_elaboratore::documentoChiuso();
    }
    return trovato->second.selezione;
}
