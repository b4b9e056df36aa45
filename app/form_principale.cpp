#include "app/form_principale.h"

#include "app/caratteri.h"
#include "app/casella_segnalata.h"
#include "app/finestra_analisi.h"
#include "app/finestra_tratti.h"
#include "app/informazioni.h"
#include "app/ingressi.h"
#include "app/progetto_finestra.h"
#include "app/twips.h"
#include "app/vista_griglia.h"
#include "calc/calcolo.h"
#include "calc/limiti_incremento.h"
#include "calc/variabili_pubbliche.h"
#include "documenti/collegamento.h"
#include "documenti/elaboratore_testi.h"
#include "elaboratore/finestra_report.h"
#include "file/errore_file.h"
#include "file/scrittura_file.h"
#include "numeri/conversioni.h"
#include "numeri/sezione.h"
#include "progetto/voci_coefficiente.h"
#include "relazione/documento_word.h"
#include "relazione/file_risultati.h"
#include "relazione/relazione_calcolo.h"
#include "table/modello_griglia.h"
#include "table/tabella_risultati.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSignalBlocker>

#include <algorithm>
#include <array>

namespace {

const char* const titoloFinestra = "Calcolo della portata di una tubazione a sezione inglese";
constexpr int larghezzaClienteTwips = 7524;
constexpr int altezzaClienteTwips = 6468;

std::string testoDi(const QLineEdit* casella) {
    return casella->text().toStdString();
}

QFont carattere(const char* famiglia, double punti) {
    QFont f(famiglia);
    f.setPointSizeF(punti);
    f.setWeight(QFont::Normal);
    f.setItalic(false);
    return f;
}

} // namespace

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
      progetto_(new ProgettoFinestra(
          this, {[this] { return progettoDeiControlli(); },
                 [this](const progetto::Progetto& p) { riempiControlli(p); },
                 [this] { gestisci(&FormPrincipale::Text3_LostFocus); },
                 [this] { return tratti()->righe(); }, [this] { return tratti()->revisione(); }})) {
    installaSostituzioniCaratteri();
    setWindowTitle(titoloFinestra);
    setCentralWidget(areaCliente_);
    disponiControlli();
    creaMenu();
    collegaEventi();
    Modulo2::InstallaConsegnaTabella([this] {
        Modulo2::RiempiGriglia(*modelloGriglia1);
        emit tabellaCalcolata();
    });
    // Starting the word processor opens the report window; it outlives this
    // one and ends with its own closing.
    Collegamento::InstallaAvvio([] { return (new FinestraReport)->elaboratore(); });
    conferma = [this](const QString& domanda) {
        return QMessageBox::question(this, windowTitle(), domanda) == QMessageBox::Yes;
    };
    avvisa = [this](const QString& avviso) { QMessageBox::warning(this, windowTitle(), avviso); };
    Collegamento::InstallaMessaggio([this](const std::string& testo) {
        QMessageBox riquadro(QMessageBox::Warning, QString(), QString::fromStdString(testo),
                             QMessageBox::Ok, this);
        riquadro.exec();
    });
}

FormPrincipale::~FormPrincipale() {
    Modulo2::InstallaConsegnaTabella(nullptr);
    Collegamento::InstallaAvvio(nullptr);
    Collegamento::InstallaMessaggio(nullptr);
}

void FormPrincipale::disponiControlli() {
    const int dpiX = logicalDpiX();
    const int dpiY = logicalDpiY();
    const auto posiziona = [&](QWidget* controllo, int sinistra, int alto, int larghezza,
                               int altezza) {
        controllo->setGeometry(rettangoloTwips(sinistra, alto, larghezza, altezza, dpiX, dpiY));
    };
    posiziona(Label1, 756, 240, 2532, 252);
    posiziona(Text1, 3396, 252, 1416, 360);
    posiziona(Label6, 756, 600, 2532, 252);
    posiziona(Text4, 3396, 600, 1416, 360);
    posiziona(Label2, 756, 960, 1812, 252);
    posiziona(Text2, 3396, 960, 1416, 360);
    posiziona(Label3, 756, 1320, 2292, 252);
    posiziona(Combo1, 3396, 1320, 3612, 288);
    posiziona(Label4, 756, 1740, 2292, 312);
    posiziona(Text3, 3396, 1620, 1416, 360);
    posiziona(Label5, 756, 2100, 2292, 252);
    posiziona(Text5, 3396, 1980, 1416, 360);
    posiziona(messaggio_, 396, 2376, 6732, 252);
    posiziona(griglia1, 396, 2640, 6732, 2892);
    posiziona(Command3, 1116, 5760, 1692, 492);
    posiziona(Command4, 2916, 5760, 1692, 492);
    posiziona(Command2, 4716, 5760, 1692, 492);

    for (QLabel* etichetta : {Label1, Label2, Label3, Label4, Label5, Label6}) {
        etichetta->setFont(carattere("Arial", 10.2));
        etichetta->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    }
    for (QLineEdit* casella : {Text1, Text2, Text3, Text4, Text5}) {
        casella->setFont(carattere("MS Sans Serif", 9.6));
        casella->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    }
    Text4->setAlignment(Qt::AlignCenter);
    Text5->setAlignment(Qt::AlignCenter);
    Text4->setEnabled(false);

    Combo1->setEditable(true);
    Combo1->setInsertPolicy(QComboBox::NoInsert);
    Combo1->setCompleter(nullptr);
    Combo1->setMaxVisibleItems(3);

    messaggio_->setFont(carattere("MS Sans Serif", 8.4));

    // The window opens with its client area at its designed size, below the
    // menu bar; it may grow, never shrink below that.
    const QSize cliente(twipsInPixel(larghezzaClienteTwips, dpiX),
                        twipsInPixel(altezzaClienteTwips, dpiY));
    areaCliente_->setMinimumSize(cliente);
    areaCliente_->resize(cliente);
    griglia1Progetto_ = griglia1->geometry();
    for (QPushButton* pulsante : {Command2, Command3, Command4}) {
        pulsantiProgetto_.push_back({pulsante, pulsante->geometry()});
    }
    messaggioProgetto_ = messaggio_->geometry();
    areaCliente_->installEventFilter(this);
    adjustSize();
    if (const QScreen* schermo = QGuiApplication::primaryScreen()) {
        move(schermo->availableGeometry().center() - rect().center());
    }
}

bool FormPrincipale::eventFilter(QObject* oggetto, QEvent* evento) {
    if (evento->type() == QEvent::ShortcutOverride && qobject_cast<QLineEdit*>(oggetto) &&
        static_cast<QKeyEvent*>(evento)->keyCombination() == QKeyCombination(Qt::CTRL, Qt::Key_E)) {
        // A line edit takes Ctrl+E as "end of line": unaccepted, the key
        // reaches "Scrivi su file" from a box as from the grid.
        return true;
    }
    // Focus that moves to a menu or to another window comes back: the user
    // has not left the box.
    const auto lasciata = [evento] {
        if (evento->type() != QEvent::FocusOut) {
            return false;
        }
        const Qt::FocusReason motivo = static_cast<QFocusEvent*>(evento)->reason();
        return motivo != Qt::PopupFocusReason && motivo != Qt::ActiveWindowFocusReason &&
               motivo != Qt::MenuBarFocusReason;
    };
    if (oggetto == Combo1->lineEdit() && lasciata()) {
        // The coefficient before its words: a long entry left scrolled to
        // its end would hide the value.
        Combo1->lineEdit()->setCursorPosition(0);
    }
    if (oggetto == Text3 && lasciata()) {
        gestisci(&FormPrincipale::Text3_LostFocus);
    } else if (oggetto == areaCliente_ && evento->type() == QEvent::Resize) {
        // The controls keep their places; the grid takes the room the window
        // gains and the buttons follow its bottom edge.
        const QSize guadagno = areaCliente_->size() - areaCliente_->minimumSize();
        griglia1->setGeometry(
            griglia1Progetto_.adjusted(0, 0, guadagno.width(), guadagno.height()));
        messaggio_->setGeometry(messaggioProgetto_.adjusted(0, 0, guadagno.width(), 0));
        aggiornaRigaErrori();
        for (const auto& [pulsante, progetto] : pulsantiProgetto_) {
            pulsante->setGeometry(progetto.translated(0, guadagno.height()));
        }
    }
    return QMainWindow::eventFilter(oggetto, evento);
}

// Tab and Shift+Tab follow the tab indices of the controls (the grid 0, the
// buttons 7 to 9, the boxes 10 to 15), skipping what cannot take the focus.
// Kept here rather than in Qt's focus chain, which the editable combo box's
// own line edit puts out of order.
bool FormPrincipale::focusNextPrevChild(bool avanti) {
    const std::array<QWidget*, 10> ordine{griglia1, Command4, Command3, Command2, Text4,
                                          Text1,    Text2,    Combo1,   Text3,    Text5};
    const QWidget* attuale = QApplication::focusWidget();
    const auto trovato = std::find_if(ordine.begin(), ordine.end(), [&](const QWidget* controllo) {
        return controllo == attuale || controllo->isAncestorOf(attuale);
    });
    if (trovato == ordine.end()) {
        return QMainWindow::focusNextPrevChild(avanti);
    }
    const std::size_t n = ordine.size();
    const std::size_t da = static_cast<std::size_t>(trovato - ordine.begin());
    for (std::size_t passo = 1; passo < n; ++passo) {
        QWidget* prossimo = ordine[(da + (avanti ? passo : n - passo)) % n];
        if (prossimo->isEnabled() && prossimo->isVisible() &&
            (prossimo->focusPolicy() & Qt::TabFocus) != 0) {
            prossimo->setFocus(avanti ? Qt::TabFocusReason : Qt::BacktabFocusReason);
            if (prossimo == Combo1) {
                // All selected, as Tab leaves a box, but seen from its start.
                QLineEdit* casella = Combo1->lineEdit();
                casella->setSelection(static_cast<int>(casella->text().size()),
                                      -static_cast<int>(casella->text().size()));
            }
            return true;
        }
    }
    return false;
}

void FormPrincipale::creaMenu() {
    QMenu* file = menuBar()->addMenu("&File");
    progetto_->aggiungiAlMenu(file);
    connect(progetto_, &ProgettoFinestra::statoCambiato, this, &FormPrincipale::aggiornaTitolo);
    file->addSeparator();
    file->addAction("Documento Word", QKeySequence(Qt::CTRL | Qt::Key_D), Command3,
                    &QPushButton::click);
    file->addAction("Relazione di calcolo…", QKeySequence(Qt::CTRL | Qt::Key_R), this,
                    &FormPrincipale::relazioneDiCalcolo);
    file->addAction("Scrivi su file", QKeySequence(Qt::CTRL | Qt::Key_E), Command4,
                    &QPushButton::click);
    file->addSeparator();
    file->addAction("Esci", QKeySequence(Qt::CTRL | Qt::Key_Q), Command2, &QPushButton::click);

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
    calcolo->addAction("Scala di deflusso e verifiche…", QKeySequence(Qt::CTRL | Qt::Key_G), this,
                       &FormPrincipale::apriAnalisi);
    calcolo->addAction("Verifica dei tratti…", QKeySequence(Qt::CTRL | Qt::Key_T), this,
                       &FormPrincipale::apriTratti);

    QMenu* aiuto = menuBar()->addMenu("&?");
    aiuto->addAction("Informazioni su…", this, [this] {
        QMessageBox::about(this, "Informazioni su Sezione inglese", testoInformazioni());
    });
}

// One analysis window, made when first needed (shown, or holding a
// project's design values), following this window's inputs while shown.
FinestraAnalisi* FormPrincipale::analisi() {
    if (analisi_ == nullptr) {
        analisi_ = new FinestraAnalisi(this);
        connect(analisi_, &FinestraAnalisi::verificheCambiate, this,
                &FormPrincipale::aggiornaTitolo);
    }
    return analisi_;
}

FinestraAnalisi* FormPrincipale::apriAnalisi() {
    analisi();
    analisi_->impostaSezione(sezioneCorrente());
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
        tratti_->impostaCoefficienteTabella(coefficienteTabella());
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
    const double gamma = variabili_pubbliche::stato.coeffBazin;
    return gamma > 0 ? std::optional(gamma) : std::nullopt;
}

void FormPrincipale::apriAllAvvio(std::string percorso) {
    daAprireAllAvvio_ = std::move(percorso);
}

// The boxes as a project keeps them, the reaches' rows apart: the
// coefficient's is the chosen entry's text, or what was typed.
progetto::Progetto FormPrincipale::progettoDeiControlli() {
    const auto casella = [](const QString& testo) {
        return progetto::Casella::daTesto(testo.toStdString());
    };
    progetto::Progetto p;
    p.ingressi = {casella(Text1->text()), casella(Text2->text()), casella(Combo1->currentText()),
                  casella(Text3->text()), testoDi(Text5)};
    p.verifiche = analisi()->verifiche();
    p.catalogo = tratti()->catalogo();
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
    tratti()->impostaProgetto(p.tratti, p.catalogo);
}

void FormPrincipale::aggiornaTitolo() {
    setWindowTitle(progetto_->titolo(titoloFinestra));
}

// The section of the table on screen; none without one.
std::optional<analisi::Sezione> FormPrincipale::sezioneCorrente() const {
    if (!motivoNessunaTabella().isEmpty()) {
        return std::nullopt;
    }
    const auto& s = variabili_pubbliche::stato;
    return analisi::Sezione{s.raggioM, s.pendenza, s.resistenza(), s.geometria};
}

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
    auto& s = variabili_pubbliche::stato;
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
    auto& s = variabili_pubbliche::stato;
    const std::string testo = testoDi(Text1);
    if (testo.empty() || Val(testo) <= 0) {
        scriviTesto(Text4, "/");
    } else {
        // The radius as the table reads it, so that the size shown is the
        // section the table is computed for, also for «20cm» or «1,234».
        s.raggio = Val(testo);
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

void FormPrincipale::Command2_Click() {
    close();
}

// The analysis and reaches windows belong to this one and close with it; the report
// window lives on, as a word processor would.
void FormPrincipale::closeEvent(QCloseEvent* evento) {
    if (!progetto_->puoChiudere()) {
        evento->ignore();
        return;
    }
    for (QMainWindow* propria :
         {static_cast<QMainWindow*>(analisi_), static_cast<QMainWindow*>(tratti_)}) {
        if (propria != nullptr) {
            propria->close();
        }
    }
    QMainWindow::closeEvent(evento);
}

// Reports the table on screen only: with none, a report would put an
// earlier table under the heading of the inputs shown now.
void FormPrincipale::Command3_Click() {
    leggiNomeFile();
    if (const QString motivo = motivoNessunaTabella(); !motivo.isEmpty()) {
        avvisa(motivo);
        return;
    }
    Modulo2::CreaDocumentoWord();
}

// The calculation report of the table on screen and the project's design
// values, limits and data, into a new document of the word processor.
void FormPrincipale::relazioneDiCalcolo() {
    if (const QString motivo = motivoNessunaTabella(); !motivo.isEmpty()) {
        avvisa(motivo);
        return;
    }
    try {
        ElaboratoreTesti* elaboratore = Collegamento::ElaboratoreVisibile();
        scriviRelazioneCalcolo(*elaboratore->aggiungiDocumento(), progetto_->corrente());
    } catch (const ErroreRuntime& errore) {
        avvisa(QString::fromStdString(errore.descrizione()));
    } catch (const std::exception&) {
        avvisa("Impossibile comporre la relazione di calcolo: la ricerca delle altezze non è "
               "riuscita.");
    }
}

// An empty file-name box becomes "INGLESE".
void FormPrincipale::leggiNomeFile() {
    auto& s = variabili_pubbliche::stato;
    s.nomeFile = testoDi(Text5);
    if (s.nomeFile.empty()) {
        Text5->setText("INGLESE");
        s.nomeFile = "INGLESE";
    }
}

// Why there is no table on screen to write, or empty when there is one.
QString FormPrincipale::motivoNessunaTabella() const {
    if (!erroreCalcolo_.isEmpty()) {
        return "Nessuna tabella da scrivere: l'ultimo calcolo non è riuscito.";
    }
    if (!Modulo2::IngressiPositivi()) {
        return "Nessuna tabella da scrivere: raggio, pendenza, incremento e coefficiente "
               "devono essere numeri positivi (" +
               segnalazioni_.join("; ") + ").";
    }
    return {};
}

// Writes the table on screen to the file named in the file-name box.
void FormPrincipale::Command4_Click() {
    leggiNomeFile();
    if (const QString motivo = motivoNessunaTabella(); !motivo.isEmpty()) {
        avvisa(motivo);
        return;
    }
    const std::string percorso = PercorsoRisultati(variabili_pubbliche::stato.nomeFile);
    const QString mostrato = QString::fromStdString(percorso);
    try {
        verificaDestinazione(percorso);
        if (fileEsistente(percorso) &&
            !conferma(QString("Il file «%1» esiste già. Sostituirlo?").arg(mostrato))) {
            return;
        }
        ScriviRisultati(percorso);
        mostraNotizia(QString("Risultati scritti in «%1».").arg(mostrato));
    } catch (const ErroreFile& errore) {
        avvisa(QString::fromStdString(errore.what()));
    } catch (const ErroreRuntime& errore) {
        avvisa(QString("Impossibile scrivere «%1»: errore %2, %3.")
                   .arg(mostrato)
                   .arg(errore.numero())
                   .arg(QString::fromStdString(errore.descrizione())));
    }
}

void FormPrincipale::Ricalcola() {
    auto& s = variabili_pubbliche::stato;
    // Where the last results were written is old news once an input changes.
    notizia_.clear();
    // A typed coefficient is read as typed; an entry of the list stands for
    // its value.
    if (const int voce = Combo1->currentIndex(); voce == -1) {
        s.coeffBazin = Val(Combo1->currentText().toStdString());
    } else if (voce < static_cast<int>(std::size(vociCoefficiente))) {
        s.coeffBazin = vociCoefficiente[voce].valore;
    }
    s.raggio = Val(testoDi(Text1));
    s.pendenza = Val(testoDi(Text2));
    s.incremento = Val(testoDi(Text3));
    s.tipoSezione = testoDi(Text4);
    s.nomeFile = testoDi(Text5);

    // The table uses the bounded increment; the box keeps what the user
    // typed until they leave it (Text3_LostFocus).
    s.incremento = limitaIncremento(s.raggio, s.incremento).valore;

    PreparaGriglia();
    if (Modulo2::IngressiPositivi()) {
        Modulo2::CalcolaTabella();
    }
}

void FormPrincipale::PreparaGriglia() {
    ::PreparaGriglia(*modelloGriglia1);
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
            analisi_->impostaSezione(sezioneCorrente());
        }
        if (tratti_ != nullptr) {
            tratti_->impostaCoefficienteTabella(coefficienteTabella());
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

// A box whose text is not a positive number gets a red frame and the
// reason as its tooltip, and the line above the table names it; a box read
// otherwise than typed gets an orange one. Typing goes on.
void FormPrincipale::segnalaIngressi() {
    segnalazioni_.clear();
    rifiuti_ = false;
    // A text Val reads only in part is taken as Val reads it, and said so.
    const auto segnala = [this](QWidget* casella, const QString& nome, const std::string& testo) {
        if (const auto motivo = motivoIngressoNonValido(testo)) {
            segnalaCasella(casella, Lettura::Rifiutata, *motivo);
            // A decimal comma is the usual slip: said on the line itself.
            segnalazioni_ << nome + (motivo->starts_with("Il separatore decimale")
                                         ? ": il separatore decimale è il punto"
                                         : ": non è un numero positivo");
            rifiuti_ = true;
        } else if (const auto inParte = motivoLetturaInParte(testo)) {
            segnalaCasella(casella, Lettura::InParte, *inParte);
            segnalazioni_ << nome + ": letto come " + QString::fromStdString(CStr(Val(testo)));
        } else {
            segnalaCasella(casella, Lettura::Buona);
        }
    };
    segnala(Text1, "Raggio caratteristico", testoDi(Text1));
    segnala(Text2, "Pendenza", testoDi(Text2));
    if (Combo1->currentIndex() == -1) {
        segnala(Combo1, "Coeff. scabrezza Bazin", Combo1->currentText().toStdString());
    } else {
        segnalaCasella(Combo1, Lettura::Buona);
    }
    if (!segnalaIncrementoLimitato()) {
        segnala(Text3, "Incremento altezza", testoDi(Text3));
    }
    aggiornaRigaErrori();
}

// The increment the table uses for the texts in the boxes, none when they
// give no number to bound (an error is on the line then).
std::optional<IncrementoLimitato> FormPrincipale::incrementoUsato() const {
    try {
        return limitaIncremento(Val(testoDi(Text1)), Val(testoDi(Text3)));
    } catch (const ErroreRuntime&) {
        return std::nullopt;
    }
}

// Leaving the increment box, or Enter in it, writes back the bounded value
// the table uses, once; that change recalculates as any other.
void FormPrincipale::Text3_LostFocus() {
    const auto usato = incrementoUsato();
    if (usato && usato->limite != IncrementoLimitato::Limite::Nessuno) {
        scriviTesto(Text3, CStr(usato->valore));
    }
}

// An increment out of its bounds (a positive number, then) is used
// bounded: an orange frame says so until the bounded value is written back.
bool FormPrincipale::segnalaIncrementoLimitato() {
    using Limite = IncrementoLimitato::Limite;
    const auto usato = incrementoUsato();
    if (!usato || usato->limite == Limite::Nessuno) {
        return false;
    }
    const double raggio = Val(testoDi(Text1));
    const std::string valore = CStr(usato->valore);
    segnalaCasella(Text3, Lettura::InParte,
                   "Per un raggio di " + CStr(raggio) + " cm l'incremento va da " +
                       CStr(limiteInferioreIncremento(raggio)) + " a " +
                       CStr(limiteSuperioreIncremento(raggio)) + " mm: si usa " + valore + " mm.");
    segnalazioni_ << QString("Incremento limitato a %1 mm (%2 per questo raggio)")
                         .arg(QString::fromStdString(valore),
                              usato->limite == Limite::Minimo ? "minimo" : "massimo");
    return true;
}

void FormPrincipale::mostraNotizia(const QString& notizia) {
    notizia_ = notizia;
    aggiornaRigaErrori();
}

// A failed computation first; else the last piece of news (until the inputs
// change) and what the boxes are read as.
void FormPrincipale::aggiornaRigaErrori() {
    const char* colore = "#B00000";
    if (!erroreCalcolo_.isEmpty()) {
        rigaErrori_ = erroreCalcolo_;
    } else if (!segnalazioni_.isEmpty()) {
        // Where the results went, first: they were written all the same.
        rigaErrori_ = (notizia_.isEmpty() ? QString() : notizia_ + " ") + segnalazioni_.join("; ");
        colore = rifiuti_ ? "#B00000" : "#A05000";
    } else {
        rigaErrori_ = notizia_;
        colore = "#005000";
    }
    // A style sheet costs a restyle: set only when the colour changes.
    if (messaggio_->property("colore").toString() != colore) {
        messaggio_->setProperty("colore", colore);
        messaggio_->setStyleSheet(QString("color: %1;").arg(colore));
    }
    // Cut to the line's width, the whole of it in the tooltip.
    messaggio_->setText(
        messaggio_->fontMetrics().elidedText(rigaErrori_, Qt::ElideRight, messaggio_->width()));
    messaggio_->setToolTip(rigaErrori_);
}
