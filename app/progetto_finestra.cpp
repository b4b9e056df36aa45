#include "app/progetto_finestra.h"

#include "app/dati_progetto.h"
#include "app/impostazioni.h"
#include "file/errore_file.h"

#include <QAction>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>
#include <QMessageBox>
#include <QWidget>

namespace {

constexpr int recentiMassimi = 5;
const char* const chiaveRecenti = "progetti/recenti";
const char* const chiaveProgettista = "progetti/progettista";
const char* const filtroProgetti = "Progetti di Sezione inglese (*.sezione);;Tutti i file (*)";

QString mostrato(const std::string& percorso) {
    return QFile::decodeName(QByteArray::fromStdString(percorso));
}

std::string percorsoDi(const QString& scelto) {
    return QFile::encodeName(scelto).toStdString();
}

} // namespace

ProgettoFinestra::ProgettoFinestra(QWidget* finestra, Controlli controlli)
    : QObject(finestra), finestra_(finestra), controlli_(std::move(controlli)) {
    chiediSeSalvare = [this](const QString& domanda) {
        return ::chiediSeSalvare(finestra_, domanda);
    };
    // The dialog adds the extension to a bare name before it asks whether
    // to replace an existing file, so the question is about the file saved.
    scegliFileDaSalvare = [this](const std::string& proposto) {
        QFileDialog dialogo(finestra_, "Salva con nome", mostrato(proposto), filtroProgetti);
        dialogo.setAcceptMode(QFileDialog::AcceptSave);
        dialogo.setDefaultSuffix(QString(progetto::estensione).mid(1));
        return dialogo.exec() == QDialog::Accepted ? percorsoDi(dialogo.selectedFiles().value(0))
                                                   : std::string();
    };
    scegliFileDaAprire = [this] {
        return percorsoDi(
            QFileDialog::getOpenFileName(finestra_, "Apri", QString(), filtroProgetti));
    };
    chiediDati = [this](const progetto::Dati& dati) {
        return modificaDatiProgetto(finestra_, dati, !corrente().tratti.empty());
    };
    avvisa = [this](const QString& avviso) {
        QMessageBox::warning(finestra_, finestra_->windowTitle(), avviso);
    };
}

QList<QAction*> ProgettoFinestra::aggiungiAlMenu(QMenu* file) {
    file->addAction("Nuovo", QKeySequence::New, this, [this] {
        if (puoChiudere()) {
            nuovo();
        }
    });
    QAction* apriFile = file->addAction("Apri…", QKeySequence::Open, this, [this] {
        if (const std::string scelto = puoChiudere() ? scegliFileDaAprire() : std::string();
            !scelto.empty()) {
            apri(scelto);
        }
    });
    recenti_ = file->addMenu("File recenti");
    aggiornaRecenti();
    QAction* salvaFile = file->addAction("Salva", QKeySequence(Qt::CTRL | Qt::Key_S), this,
                                         &ProgettoFinestra::salva);
    QAction* salvaConNome =
        file->addAction("Salva con nome…", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S), this,
                        &ProgettoFinestra::salvaCome);
    file->addSeparator();
    file->addAction("Dati del progetto…", this, &ProgettoFinestra::modificaDati);
    return {apriFile, salvaFile, salvaConNome};
}

bool ProgettoFinestra::apri(const std::string& percorso) {
    progetto::Progetto letto;
    try {
        letto = progetto::leggiProgetto(percorso);
    } catch (const ErroreFile& errore) {
        avvisa(QString::fromStdString(errore.what()));
        return false;
    }
    controlli_.riempi(letto);
    dati_ = letto.dati;
    // What the boxes now hold is the project as opened: a number the file
    // writes otherwise (3.0 for 3) is no change.
    progetto::Progetto aperto = controlli_.leggi();
    aperto.dati = letto.dati;
    aperto.originale = letto.originale;
    adotta(aperto, percorso);
    ricordaRecente(percorso);
    return true;
}

bool ProgettoFinestra::salva() {
    return percorso_.empty() ? salvaCome() : salvaIn(percorso_);
}

bool ProgettoFinestra::salvaCome() {
    const std::string base = !dati_.tratto.empty()  ? dati_.tratto
                             : !dati_.opera.empty() ? dati_.opera
                                                    : std::string("progetto");
    const std::string scelto = scegliFileDaSalvare(
        percorso_.empty()
            ? percorsoDi(QDir::current().filePath(mostrato(base))) + progetto::estensione
            : percorso_);
    return !scelto.empty() && salvaIn(scelto);
}

bool ProgettoFinestra::salvaIn(const std::string& percorso) {
    controlli_.concludi();
    progetto::Progetto attuale = corrente();
    try {
        progetto::scriviProgetto(percorso, attuale);
    } catch (const ErroreFile& errore) {
        avvisa(QString::fromStdString(errore.what()));
        return false;
    }
    adotta(std::move(attuale), percorso);
    ricordaRecente(percorso);
    return true;
}

// The start-up inputs, empty design values, the proposed limits, today's
// date and the designer of the last project.
void ProgettoFinestra::nuovo() {
    progetto::Progetto nuovo = progetto::progettoNuovo();
    nuovo.dati.progettista = impostazioni().value(chiaveProgettista).toString().toStdString();
    nuovo.dati.data = QDate::currentDate().toString("dd/MM/yyyy").toStdString();
    controlli_.riempi(nuovo);
    dati_ = nuovo.dati;
    salvato_.originale = {};
    adotta(senzaTratti(), {});
}

// Data given with no project begin one, so that they are not lost unasked.
void ProgettoFinestra::modificaDati() {
    const std::optional<progetto::Dati> nuovi = chiediDati(dati_);
    if (!nuovi) {
        return;
    }
    if (!conProgetto_) {
        adotta(senzaTratti(), {});
    }
    dati_ = *nuovi;
    if (!dati_.progettista.empty()) {
        impostazioni().setValue(chiaveProgettista, QString::fromStdString(dati_.progettista));
    }
    emit statoCambiato();
}

bool ProgettoFinestra::puoChiudere() {
    if (!modificato()) {
        return true;
    }
    switch (chiediSeSalvare(QString("Salvare le modifiche al progetto «%1»?").arg(nome()))) {
    case RispostaSalvare::Salva:
        return salva();
    case RispostaSalvare::Scarta:
        return true;
    default:
        return false;
    }
}

progetto::Progetto ProgettoFinestra::senzaTratti() const {
    progetto::Progetto p = controlli_.leggi();
    p.dati = dati_;
    p.originale = salvato_.originale;
    return p;
}

progetto::Progetto ProgettoFinestra::corrente() const {
    progetto::Progetto p = senzaTratti();
    controlli_.righeTratti(p);
    return p;
}

// Asked at every key, for the caption: the reaches by their count of
// changes, the rest compared.
bool ProgettoFinestra::modificato() const {
    return conProgetto_ &&
           (controlli_.revisioneTratti() != revisioneSalvata_ || senzaTratti() != salvato_);
}

QString ProgettoFinestra::titolo(const QString& base) const {
    if (!conProgetto_) {
        return base;
    }
    return nome() + (modificato() ? "*" : "") + " — " + base;
}

void ProgettoFinestra::adotta(progetto::Progetto progetto, std::string percorso) {
    conProgetto_ = true;
    progetto.tratti.clear();
    progetto.pozzetti.clear();
    progetto.deroghe.clear();
    salvato_ = std::move(progetto);
    revisioneSalvata_ = controlli_.revisioneTratti();
    percorso_ = std::move(percorso);
    if (!dati_.progettista.empty()) {
        impostazioni().setValue(chiaveProgettista, QString::fromStdString(dati_.progettista));
    }
    emit statoCambiato();
}

QString ProgettoFinestra::nome() const {
    return percorso_.empty() ? QString("Senza nome") : QFileInfo(mostrato(percorso_)).fileName();
}

// The paths keep their bytes, so that a name that is not UTF-8 opens again.
static std::vector<std::string> recentiRicordati() {
    std::vector<std::string> recenti;
    for (const QVariant& voce : impostazioni().value(chiaveRecenti).toList()) {
        recenti.push_back(voce.toByteArray().toStdString());
    }
    return recenti;
}

void ProgettoFinestra::ricordaRecente(const std::string& percorso) {
    const std::string assoluto =
        percorso.front() == '/' ? percorso : percorsoDi(QDir::currentPath()) + '/' + percorso;
    QVariantList recenti{QByteArray::fromStdString(assoluto)};
    for (const std::string& vecchio : recentiRicordati()) {
        if (vecchio != assoluto && recenti.size() < recentiMassimi) {
            recenti.append(QByteArray::fromStdString(vecchio));
        }
    }
    impostazioni().setValue(chiaveRecenti, recenti);
    aggiornaRecenti();
}

void ProgettoFinestra::aggiornaRecenti() {
    if (recenti_ == nullptr) {
        return;
    }
    recenti_->clear();
    const std::vector<std::string> recenti = recentiRicordati();
    for (std::size_t i = 0; i < recenti.size(); ++i) {
        const std::string percorso = recenti[i];
        QAction* voce = recenti_->addAction(
            QString("&%1 %2").arg(i + 1).arg(QFileInfo(mostrato(percorso)).fileName()), this,
            [this, percorso] {
                if (puoChiudere()) {
                    apri(percorso);
                }
            });
        voce->setToolTip(mostrato(percorso));
        voce->setStatusTip(mostrato(percorso));
    }
    recenti_->setToolTipsVisible(true);
    recenti_->setEnabled(!recenti.empty());
}
