#include "app/form_principale.h"

#include "app/finestra_analisi.h"
#include "app/finestra_tratti.h"
#include "app/informazioni.h"
#include "app/preferenze.h"
#include "app/progetto_finestra.h"
#include "app/vista_griglia.h"
#include "progetto/voci_coefficiente.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalBlocker>

#include <algorithm>

// The main window's menus, its analysis and reaches windows, and its
// project: the boxes as a project keeps them, and back.

void FormPrincipale::creaMenu() {
    QMenu* file = menuBar()->addMenu("&File");
    azioniDiOgniFinestra_ = progetto_->aggiungiAlMenu(file);
    connect(progetto_, &ProgettoFinestra::statoCambiato, this, &FormPrincipale::aggiornaTitolo);
    file->addSeparator();
    file->addAction("Documento Word", QKeySequence(Qt::CTRL | Qt::Key_D), Command3,
                    &QPushButton::click);
    azioniDiOgniFinestra_ << file->addAction("Relazione di calcolo…",
                                             QKeySequence(Qt::CTRL | Qt::Key_R), this,
                                             &FormPrincipale::relazioneDiCalcolo);
    file->addAction("Scrivi su file", QKeySequence(Qt::CTRL | Qt::Key_E), Command4,
                    &QPushButton::click);
    file->addSeparator();
    file->addAction("Preferenze…", this, [this] { modificaPreferenze(this, *preferenze_); });
    file->addSeparator();
    azioniDiOgniFinestra_ << file->addAction("Esci", QKeySequence(Qt::CTRL | Qt::Key_Q), Command2,
                                             &QPushButton::click);

    // In a box they act on its text, elsewhere on the grid.
    QMenu* modifica = menuBar()->addMenu("&Modifica");
    modifica->addAction("Copia", QKeySequence(Qt::CTRL | Qt::Key_C), this, [this] {
        if (auto* casella = qobject_cast<QLineEdit*>(QApplication::focusWidget())) {
            casella->copy();
        } else {
            griglia1->copia();
        }
    });
    modifica->addAction("Seleziona tutto", QKeySequence(Qt::CTRL | Qt::Key_A), this, [this] {
        if (auto* casella = qobject_cast<QLineEdit*>(QApplication::focusWidget())) {
            casella->selectAll();
        } else {
            griglia1->selectAll();
            griglia1->setFocus();
        }
    });

    QMenu* calcolo = menuBar()->addMenu("&Calcolo");
    azioniDiOgniFinestra_ << calcolo->addAction("Scala di deflusso e verifiche…",
                                                QKeySequence(Qt::CTRL | Qt::Key_G), this,
                                                &FormPrincipale::apriAnalisi)
                          << calcolo->addAction("Verifica dei tratti…",
                                                QKeySequence(Qt::CTRL | Qt::Key_T), this,
                                                &FormPrincipale::apriTratti)
                          << calcolo->addAction("Profilo longitudinale…",
                                                QKeySequence(Qt::CTRL | Qt::Key_L), this,
                                                [this] { tratti()->apriProfilo(); });

    QMenu* aiuto = menuBar()->addMenu("&?");
    aiuto->addAction("Informazioni su…", this, [this] {
        QMessageBox::about(this, "Informazioni su Sezione inglese", testoInformazioni());
    });
}

// One analysis window, made when first needed (shown, or holding a
// project's design values), following this window's inputs while shown.
FinestraAnalisi* FormPrincipale::analisi() {
    if (analisi_ == nullptr) {
        analisi_ = new FinestraAnalisi(collegamento(), this);
        analisi_->impostaSeparatore(preferenze_->separatore());
        analisi_->addActions(azioniDiOgniFinestra_);
        connect(analisi_, &FinestraAnalisi::verificheCambiate, this,
                &FormPrincipale::aggiornaTitolo);
    }
    return analisi_;
}

FinestraAnalisi* FormPrincipale::apriAnalisi() {
    analisi();
    analisi_->impostaTabella(tabellaSulloSchermo());
    analisi_->show();
    analisi_->raise();
    analisi_->activateWindow();
    analisi_->portata->setFocus();
    return analisi_;
}

// One window of reaches, made when first needed (shown, or holding a
// project's reaches), under the analysis window's limits and law.
FinestraTratti* FormPrincipale::tratti() {
    if (tratti_ == nullptr) {
        tratti_ = new FinestraTratti(analisi(), this);
        tratti_->impostaCoefficienteTabella(coefficienteTabella(),
                                            Combo1->currentText().toStdString());
        tratti_->impostaSeparatore(preferenze_->separatore());
        tratti_->addActions(azioniDiOgniFinestra_);
        tratti_->datiProgetto = [this] { return progetto_->dati(); };
        connect(tratti_, &FinestraTratti::trattiCambiati, this, &FormPrincipale::aggiornaTitolo);
    }
    return tratti_;
}

FinestraTratti* FormPrincipale::apriTratti() {
    tratti();
    tratti_->show();
    tratti_->raise();
    tratti_->activateWindow();
    return tratti_;
}

// Bazin's γ of the table, as the last recalculation read it.
std::optional<double> FormPrincipale::coefficienteTabella() const {
    const double gamma = stato_.coeffBazin;
    return gamma > 0 ? std::optional(gamma) : std::nullopt;
}

void FormPrincipale::apriAllAvvio(std::string percorso) {
    daAprireAllAvvio_ = std::move(percorso);
}

// The boxes as a project keeps them: the coefficient's is the chosen
// entry's text, or what was typed.
progetto::Progetto FormPrincipale::progettoDeiControlli() {
    const auto casella = [](const QString& testo) {
        return progetto::Casella::daTesto(testo.toStdString());
    };
    progetto::Progetto p;
    p.ingressi = {casella(Text1->text()), casella(Text2->text()), casella(Combo1->currentText()),
                  casella(Text3->text()), testoDi(Text5)};
    p.verifiche = analisi()->verifiche();
    p.catalogo = tratti()->catalogo();
    p.rete = tratti()->rete();
    p.profilo = tratti()->disegnoProfilo();
    return p;
}

// Through the boxes' change path, as if typed: each box recalculates.
void FormPrincipale::riempiControlli(const progetto::Progetto& p) {
    Text1->setText(QString::fromStdString(p.ingressi.raggio.testo));
    Text2->setText(QString::fromStdString(p.ingressi.pendenza.testo));
    const std::string& coefficiente = p.ingressi.coefficiente.testo;
    const auto voce =
        std::find_if(std::begin(vociCoefficiente), std::end(vociCoefficiente),
                     [&](const VoceCoefficiente& v) { return coefficiente == v.testo; });
    if (voce != std::end(vociCoefficiente)) {
        selezionaVoceCombo1(static_cast<int>(voce - std::begin(vociCoefficiente)));
    } else {
        {
            const QSignalBlocker blocco(Combo1);
            Combo1->setCurrentIndex(-1);
            Combo1->setEditText(QString::fromStdString(coefficiente));
        }
        gestisci(&FormPrincipale::Combo1_Change);
    }
    Text3->setText(QString::fromStdString(p.ingressi.incremento.testo));
    Text5->setText(QString::fromStdString(p.ingressi.nomeFile));
    analisi()->impostaVerifiche(p.verifiche);
    tratti()->impostaProgetto(p);
}

void FormPrincipale::aggiornaTitolo() {
    setWindowTitle(progetto_->titolo(titoloFinestra));
}

// The table on screen; none without one.
std::optional<calcolo::Tabella> FormPrincipale::tabellaSulloSchermo() const {
    if (!motivoNessunaTabella().isEmpty()) {
        return std::nullopt;
    }
    return tabella_;
}
