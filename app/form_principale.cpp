#include "app/form_principale.h"

#include "app/caratteri.h"
#include "app/casella_segnalata.h"
#include "app/finestra_analisi.h"
#include "app/finestra_tratti.h"
#include "app/preferenze.h"
#include "app/progetto_finestra.h"
#include "app/vista_griglia.h"
#include "calc/calcolo.h"
#include "calc/limiti_incremento.h"
#include "elaboratore/barra_avanzamento.h"
#include "elaboratore/finestra_report.h"
#include "numeri/conversioni.h"
#include "numeri/sezione.h"
#include "numeri/testo_decimale.h"
#include "progetto/voci_coefficiente.h"
#include "table/modello_griglia.h"
#include "table/tabella_risultati.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>

#include <algorithm>

std::string FormPrincipale::testoDi(const QLineEdit* casella) {
    return casella->text().toStdString();
}

FormPrincipale::FormPrincipale(QWidget* parent)
    : QMainWindow(parent), areaCliente_(new QWidget(this)),
      Label1(new QLabel("Raggio caratteristico cm", areaCliente_)),
      Label2(new QLabel("Pendenza m/m", areaCliente_)),
      Label3(new QLabel("Coeff. scabrezza Bazin", areaCliente_)),
      Label4(new QLabel("Incremento altezza mm", areaCliente_)),
      Label5(new QLabel("Nome file", areaCliente_)),
      Label6(new QLabel("Sezione Inglese tipo cm", areaCliente_)),
      Text1(new QLineEdit(areaCliente_)), Text2(new QLineEdit(areaCliente_)),
      Text3(new QLineEdit(areaCliente_)), Text4(new QLineEdit(areaCliente_)),
      Text5(new QLineEdit(areaCliente_)), Combo1(new QComboBox(areaCliente_)),
      Command2(new QPushButton("Esci", areaCliente_)),
      Command3(new QPushButton("Documento Word", areaCliente_)),
      Command4(new QPushButton("Scrivi su file", areaCliente_)),
      modelloGriglia1(new ModelloGriglia(3, 7, this)),
      griglia1(new VistaGriglia(modelloGriglia1, areaCliente_)),
      messaggio_(new QLabel(areaCliente_)),
      progetto_(
          new ProgettoFinestra(this, {[this] { return progettoDeiControlli(); },
                                      [this](const progetto::Progetto& p) { riempiControlli(p); },
                                      [this] { gestisci(&FormPrincipale::Text3_LostFocus); },
                                      [this](progetto::Progetto& p) {
                                          p.tratti = tratti()->righe();
                                          p.pozzetti = tratti()->righePozzetti();
                                          p.deroghe = tratti()->deroghe();
                                      },
                                      [this] { return tratti()->revisione(); }})),
      preferenze_(new Preferenze(this)) {
    installaSostituzioniCaratteri();
    setWindowTitle(titoloFinestra);
    setCentralWidget(areaCliente_);
    disponiControlli();
    creaMenu();
    collegaEventi();
    applicaPreferenze();
    connect(preferenze_, &Preferenze::cambiate, this, &FormPrincipale::applicaPreferenze);
    conferma = [this](const QString& domanda) {
        return QMessageBox::question(this, windowTitle(), domanda) == QMessageBox::Yes;
    };
    avvisa = [this](const QString& avviso) { QMessageBox::warning(this, windowTitle(), avviso); };
    seguiLavoro = [this](const QString& testo) { return barraAvanzamento(this, testo); };
    // Starting the word processor opens the report window; it outlives this
    // one and ends with its own closing.
    avviaElaboratore = [this] {
        auto* report = new FinestraReport;
        // The reports are named after the project open when they are saved.
        report->progetto = [aperto = QPointer<ProgettoFinestra>(progetto_)] {
            if (!aperto) {
                return FinestraReport::Progetto{};
            }
            const std::string& percorso = aperto->percorso();
            return FinestraReport::Progetto{
                percorso.empty() ? QString()
                                 : QFileInfo(QFile::decodeName(QByteArray::fromStdString(percorso)))
                                       .absolutePath(),
                QString::fromStdString(aperto->dati().opera)};
        };
        return report->elaboratore();
    };
    messaggioReport = [this](const std::string& testo) {
        QMessageBox riquadro(QMessageBox::Warning, QString(), QString::fromStdString(testo),
                             QMessageBox::Ok, this);
        riquadro.exec();
    };
}

FormPrincipale::~FormPrincipale() = default;

void FormPrincipale::collegaEventi() {
    connect(Text1, &QLineEdit::textChanged, this,
            [this] { gestisci(&FormPrincipale::Text1_Change); });
    connect(Text2, &QLineEdit::textChanged, this,
            [this] { gestisci(&FormPrincipale::Text2_Change); });
    connect(Text3, &QLineEdit::textChanged, this,
            [this] { gestisci(&FormPrincipale::Text3_Change); });
    // The file name is no input of the table, but it is of the project.
    connect(Text5, &QLineEdit::textChanged, this, &FormPrincipale::aggiornaTitolo);
    connect(Text3, &QLineEdit::returnPressed, this,
            [this] { gestisci(&FormPrincipale::Text3_LostFocus); });
    for (QLineEdit* casella : {Text1, Text2, Text3, Text5, Combo1->lineEdit()}) {
        casella->installEventFilter(this);
    }
    // A user's edit leaves no entry selected; a choice selects one.
    connect(Combo1->lineEdit(), &QLineEdit::textEdited, this, [this](const QString& testo) {
        if (Combo1->currentIndex() != -1) {
            const int cursore = Combo1->lineEdit()->cursorPosition();
            const QSignalBlocker blocco(Combo1);
            Combo1->setCurrentIndex(-1);
            Combo1->lineEdit()->setText(testo);
            Combo1->lineEdit()->setCursorPosition(cursore);
        }
        gestisci(&FormPrincipale::Combo1_Change);
    });
    // After a choice the coefficient's value, at the start of the entry,
    // stays in view.
    connect(Combo1, &QComboBox::activated, this, [this] {
        Combo1->lineEdit()->setCursorPosition(0);
        gestisci(&FormPrincipale::Combo1_Click);
    });
    connect(Command2, &QPushButton::clicked, this, &FormPrincipale::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &FormPrincipale::Command3_Click);
    connect(Command4, &QPushButton::clicked, this, &FormPrincipale::Command4_Click);
}

QString FormPrincipale::messaggio() const {
    return rigaErrori_;
}

// The window is the program's only one: it first becomes active when it is
// first shown. The start-up runs once the show has been handled.
void FormPrincipale::showEvent(QShowEvent* evento) {
    QMainWindow::showEvent(evento);
    if (!attivata_) {
        attivata_ = true;
        griglia1->setFocus();
        QMetaObject::invokeMethod(
            this,
            [this] {
                gestisci(&FormPrincipale::Form_Activate);
                if (!daAprireAllAvvio_.empty()) {
                    progetto_->apri(daAprireAllAvvio_);
                }
            },
            Qt::QueuedConnection);
    }
}

void FormPrincipale::Form_Activate() {
    auto& s = stato_;
    scriviTesto(Text1, CStr(20));
    scriviTesto(Text2, CStr(0.01));
    scriviTesto(Text3, CStr(100));
    scriviTesto(Text5, "INGLESE");
    s.tipoSezione = TestoSezione(s.raggio);
    scriviTesto(Text4, s.tipoSezione);
    for (const VoceCoefficiente& voce : vociCoefficiente) {
        aggiungiVoceCombo1(QString::fromUtf8(voce.testo));
    }
    selezionaVoceCombo1(0);
    Ricalcola();
}

void FormPrincipale::Text1_Change() {
    auto& s = stato_;
    const std::string testo = testoDi(Text1);
    if (testo.empty() || ValCasella(testo) <= 0) {
        scriviTesto(Text4, "/");
    } else {
        // The radius as the table reads it, so that the size shown is the
        // section the table is computed for, also for «20cm» or «1,234».
        s.raggio = ValCasella(testo);
        s.tipoSezione = TestoSezione(s.raggio);
        scriviTesto(Text4, s.tipoSezione);
    }
    Ricalcola();
}

void FormPrincipale::Text2_Change() {
    Ricalcola();
}

void FormPrincipale::Text3_Change() {
    Ricalcola();
}

void FormPrincipale::Combo1_Change() {
    Ricalcola();
}

void FormPrincipale::Combo1_Click() {
    Ricalcola();
}

void FormPrincipale::Ricalcola() {
    auto& s = stato_;
    // Where the last results were written is old news once an input changes.
    notizia_.clear();
    // A typed coefficient is read as typed; an entry of the list stands for
    // its value.
    if (const int voce = Combo1->currentIndex(); voce == -1) {
        s.coeffBazin = ValCasella(Combo1->currentText().toStdString());
    } else if (voce < static_cast<int>(std::size(vociCoefficiente))) {
        s.coeffBazin = vociCoefficiente[voce].valore;
    }
    s.raggio = ValCasella(testoDi(Text1));
    s.pendenza = ValCasella(testoDi(Text2));
    s.incremento = ValCasella(testoDi(Text3));
    s.tipoSezione = testoDi(Text4);
    s.nomeFile = testoDi(Text5);

    // The table uses the bounded increment; the box keeps what the user
    // typed until they leave it (Text3_LostFocus).
    s.incremento = limitaIncremento(s.raggio, s.incremento).valore;

    PreparaGriglia();
    tabella_ = {};
    if (Modulo2::IngressiPositivi(s)) {
        Modulo2::CalcolaTabella(s);
        tabella_ = calcolo::tabellaDi(s);
        Modulo2::RiempiGriglia(*modelloGriglia1, tabella_);
        emit tabellaCalcolata();
    }
}

void FormPrincipale::PreparaGriglia() {
    ::PreparaGriglia(*modelloGriglia1, stato_.numPassi);
    emit grigliaPreparata();
}

// Runs an event handler. The handler that started the work catches its error
// and shows it; a handler nested inside another, run by a text the program
// wrote, hands its error on to the writer, which raises it again, so the
// outer run stops there too.
void FormPrincipale::gestisci(Gestore gestore) {
    const bool esterno = profondita_ == 0;
    ++profondita_;
    try {
        (this->*gestore)();
        if (esterno) {
            mostraErrore({});
        }
    } catch (const ErroreRuntime& errore) {
        if (esterno) {
            mostraErrore(QString("Errore %1: %2")
                             .arg(errore.numero())
                             .arg(QString::fromStdString(errore.descrizione())));
        } else {
            erroreNidificato_ = errore;
        }
    } catch (const std::exception& imprevisto) {
        // Nothing may leave an event handler: Qt cannot carry it.
        const ErroreRuntime interno(51, std::string("Errore interno: ") + imprevisto.what());
        if (esterno) {
            mostraErrore(QString::fromStdString(interno.descrizione()));
        } else {
            erroreNidificato_ = interno;
        }
    }
    --profondita_;
    if (esterno) {
        erroreNidificato_.reset();
        segnalaIngressi();
        modelloGriglia1->pubblica();
        // A closed analysis window catches up when it is opened again.
        if (analisi_ != nullptr && analisi_->isVisible()) {
            analisi_->impostaTabella(tabellaSulloSchermo());
        }
        if (tratti_ != nullptr) {
            tratti_->impostaCoefficienteTabella(coefficienteTabella(),
                                                Combo1->currentText().toStdString());
        }
        aggiornaTitolo();
    }
}

void FormPrincipale::rilanciaErroreNidificato() {
    if (erroreNidificato_) {
        const ErroreRuntime errore = *erroreNidificato_;
        erroreNidificato_.reset();
        throw errore;
    }
}

// Writing the text a box already holds is no change and runs nothing.
void FormPrincipale::scriviTesto(QLineEdit* casella, const std::string& testo) {
    const QString nuovo = QString::fromStdString(testo);
    if (casella->text() != nuovo) {
        casella->setText(nuovo);
        rilanciaErroreNidificato();
    }
}

// Adding to an empty list must not select the entry, as Qt would.
void FormPrincipale::aggiungiVoceCombo1(const QString& voce) {
    const int indice = Combo1->currentIndex();
    const QString testo = Combo1->currentText();
    const QSignalBlocker blocco(Combo1);
    Combo1->addItem(voce);
    // The open list shows every entry whole.
    const int larghezza = Combo1->view()->fontMetrics().horizontalAdvance(voce) +
                          Combo1->view()->verticalScrollBar()->sizeHint().width() + 16;
    Combo1->view()->setMinimumWidth(std::max(Combo1->view()->minimumWidth(), larghezza));
    if (indice == -1) {
        Combo1->setCurrentIndex(-1);
        Combo1->setEditText(testo);
    }
}

// The program setting the selected index is a choice: it runs Combo1_Click.
void FormPrincipale::selezionaVoceCombo1(int indice) {
    {
        const QSignalBlocker blocco(Combo1);
        Combo1->setCurrentIndex(indice);
        Combo1->lineEdit()->setCursorPosition(0);
    }
    gestisci(&FormPrincipale::Combo1_Click);
    rilanciaErroreNidificato();
}

void FormPrincipale::mostraErrore(const QString& descrizione) {
    erroreCalcolo_ = descrizione;
    aggiornaRigaErrori();
}

// The separator the user prefers, in the grid, the line above it and the
// other windows, at once.
void FormPrincipale::applicaPreferenze() {
    modelloGriglia1->impostaSeparatore(preferenze_->separatore());
    if (analisi_ != nullptr) {
        analisi_->impostaSeparatore(preferenze_->separatore());
    }
    if (tratti_ != nullptr) {
        tratti_->impostaSeparatore(preferenze_->separatore());
    }
    segnalaIngressi();
}

// The boxes' texts as the table reads them.
presentatore::Testi FormPrincipale::testiIngressi() const {
    return {testoDi(Text1), testoDi(Text2), testoDi(Text3),
            Combo1->currentIndex() == -1 ? std::optional(Combo1->currentText().toStdString())
                                         : std::nullopt};
}

// A box whose text is not a positive number gets a red frame and the
// reason as its tooltip, and the line above the table names it; a box read
// otherwise than typed gets an orange one. Typing goes on.
void FormPrincipale::segnalaIngressi() {
    valutazione_ = presentatore::valuta(testiIngressi(), preferenze_->separatore());
    for (const auto& [casella, segnale] :
         {std::pair<QWidget*, const presentatore::Segnale&>{Text1, valutazione_.raggio},
          {Text2, valutazione_.pendenza},
          {Combo1, valutazione_.coefficiente},
          {Text3, valutazione_.incremento}}) {
        segnalaCasella(casella, segnale.lettura, segnale.motivo);
    }
    aggiornaRigaErrori();
}

// Leaving the increment box, or Enter in it, writes back the bounded value
// the table uses, once; that change recalculates as any other.
void FormPrincipale::Text3_LostFocus() {
    if (const auto limitato = presentatore::incrementoDaRiscrivere(testiIngressi())) {
        scriviTesto(Text3, *limitato);
    }
}

void FormPrincipale::aggiornaRigaErrori() {
    const presentatore::Riga riga = presentatore::rigaMessaggio(
        erroreCalcolo_.toStdString(), valutazione_, notizia_.toStdString());
    rigaErrori_ = QString::fromStdString(riga.testo);
    // A style sheet costs a restyle: set only when the colour changes.
    if (messaggio_->property("colore").toString() != riga.colore) {
        messaggio_->setProperty("colore", riga.colore);
        messaggio_->setStyleSheet(QString("color: %1;").arg(riga.colore));
    }
    // Cut to the line's width, the whole of it in the tooltip.
    messaggio_->setText(
        messaggio_->fontMetrics().elidedText(rigaErrori_, Qt::ElideRight, messaggio_->width()));
    messaggio_->setToolTip(rigaErrori_);
}
