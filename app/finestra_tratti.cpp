#include "app/finestra_tratti.h"

#include "app/casella_segnalata.h"
#include "app/finestra_analisi.h"
#include "app/finestra_profilo.h"
#include "app/impostazioni.h"
#include "app/modello_pozzetti.h"
#include "app/modello_tratti.h"
#include "caselle/catalogo.h"
#include "caselle/ingressi.h"
#include "file/errore_file.h"
#include "file/lettura_file.h"
#include "file/scrittura_file.h"
#include "numeri/misure.h"
#include "relazione/testi_report.h"
#include "tratti/parole.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QStyledItemDelegate>
#include <QTabWidget>
#include <QTableView>
#include <QToolBar>
#include <QUndoCommand>
#include <QVBoxLayout>

#include <algorithm>

namespace {

const char* const chiaveCatalogo = "tratti/catalogo";
const char* const chiaveAllineamento = "tratti/allineamento";
const char* const chiaveRicoprimento = "tratti/ricoprimento_minimo";
const char* const chiaveProfondita = "tratti/profondita_massima";
const char* const chiaveSalto = "tratti/salto_massimo";
const char* const filtroCsv = "File CSV (*.csv)";
const char* const filtroCsvItaliano = "CSV per fogli di calcolo italiani, con il «;» (*.csv)";

QString mostrato(const std::string& percorso) {
    return QFile::decodeName(QByteArray::fromStdString(percorso));
}

// The network's rules as the user last left them; a new project's at first.
progetto::Rete reteRicordata() {
    progetto::Rete rete = progetto::progettoNuovo().rete;
    rete.allineamento = impostazioni()
                            .value(chiaveAllineamento, QString::fromStdString(rete.allineamento))
                            .toString()
                            .toStdString();
    const auto casella = [](const char* chiave, const progetto::Casella& usuale) {
        return progetto::Casella::daTesto(impostazioni()
                                              .value(chiave, QString::fromStdString(usuale.testo))
                                              .toString()
                                              .toStdString());
    };
    rete.ricoprimentoMinimo = casella(chiaveRicoprimento, rete.ricoprimentoMinimo);
    rete.profonditaMassima = casella(chiaveProfondita, rete.profonditaMassima);
    rete.saltoMassimo = casella(chiaveSalto, rete.saltoMassimo);
    return rete;
}

// A length of the network's rules: empty, or a number within its range.
bool leggiLunghezza(QLineEdit* casella, const tratti::Campo& campo) {
    const std::string motivo = motivoLunghezza(casella->text().toStdString(), campo).value_or("");
    segnalaCasella(casella, motivo.empty() ? Lettura::Buona : Lettura::Rifiutata, motivo);
    return motivo.empty();
}

QString quanti(int numero, const char* uno, const char* molti) {
    return QString("%1 %2").arg(numero).arg(numero == 1 ? uno : molti);
}

// The dialog of "Deroga…": the checks failed, and the reason, which an
// exception already given shows.
std::optional<FinestraTratti::SceltaDeroga>
dialogoDeroga(QWidget* genitore, const QString& elemento,
              const std::vector<std::pair<tratti::Controllo, std::string>>& controlli) {
    QDialog dialogo(genitore);
    dialogo.setWindowTitle("Deroga");
    auto* scelte = new QComboBox(&dialogo);
    for (const auto& [controllo, motivo] : controlli) {
        scelte->addItem(QString::fromStdString(std::string(tratti::nomeControllo(controllo))));
    }
    auto* motivo = new QLineEdit(&dialogo);
    motivo->setPlaceholderText("es. tratto di testa: lavaggio con pozzetto di cacciata");
    motivo->setMinimumWidth(420);
    const auto mostraMotivo = [&](int i) {
        motivo->setText(QString::fromStdString(controlli[static_cast<std::size_t>(i)].second));
    };
    QObject::connect(scelte, &QComboBox::currentIndexChanged, &dialogo, mostraMotivo);
    mostraMotivo(0);
    auto* pulsanti =
        new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialogo);
    QObject::connect(pulsanti, &QDialogButtonBox::accepted, &dialogo, &QDialog::accept);
    QObject::connect(pulsanti, &QDialogButtonBox::rejected, &dialogo, &QDialog::reject);
    auto* forma = new QFormLayout(&dialogo);
    forma->addRow(new QLabel(QString("Deroga per %1: il controllo resta nella relazione, con il "
                                     "motivo. Un motivo vuoto toglie la deroga.")
                                 .arg(elemento)));
    forma->addRow("Controllo", scelte);
    forma->addRow("Motivo", motivo);
    forma->addRow(pulsanti);
    if (dialogo.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return FinestraTratti::SceltaDeroga{
        controlli[static_cast<std::size_t>(scelte->currentIndex())].first,
        motivo->text().trimmed().toStdString()};
}

// A run of keys in the catalogue's box, undone at once: the run ends when
// the box loses the focus.
class ModificaCatalogo : public QUndoCommand {
  public:
    ModificaCatalogo(QLineEdit* casella, QString prima, QString dopo, std::uint64_t corsa)
        : QUndoCommand("modifica del catalogo"), casella_(casella), prima_(std::move(prima)),
          dopo_(std::move(dopo)), corsa_(corsa) {}

    int id() const override { return 1; }
    bool mergeWith(const QUndoCommand* altro) override {
        const auto* seguente = static_cast<const ModificaCatalogo*>(altro);
        if (seguente->corsa_ != corsa_) {
            return false;
        }
        dopo_ = seguente->dopo_;
        return true;
    }
    // The text is already in the box when the change is pushed.
    void redo() override { scrivi(dopo_); }
    void undo() override { scrivi(prima_); }

  private:
    void scrivi(const QString& testo) {
        if (casella_->text() != testo) {
            casella_->setText(testo);
        }
    }

    QLineEdit* casella_;
    QString prima_;
    QString dopo_;
    std::uint64_t corsa_;
};

// Rows of tab-separated cells, as a spreadsheet copies them.
std::vector<std::vector<std::string>> bloccoDaTesto(QString testo) {
    testo.replace("\r\n", "\n").replace('\r', '\n');
    if (testo.endsWith('\n')) {
        testo.chop(1);
    }
    std::vector<std::vector<std::string>> blocco;
    for (const QString& linea : testo.split('\n')) {
        std::vector<std::string>& riga = blocco.emplace_back();
        for (const QString& cella : linea.split('\t')) {
            riga.push_back(cella.trimmed().toStdString());
        }
    }
    return blocco;
}

// Enter keeps what was typed and moves down, as in a spreadsheet.
class DelegatoCelle : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::QStyledItemDelegate;

    std::function<void()> invio;

  protected:
    bool eventFilter(QObject* oggetto, QEvent* evento) override {
        auto* editor = qobject_cast<QWidget*>(oggetto);
        if (editor != nullptr && evento->type() == QEvent::KeyPress) {
            const int tasto = static_cast<QKeyEvent*>(evento)->key();
            if (tasto == Qt::Key_Return || tasto == Qt::Key_Enter) {
                emit commitData(editor);
                emit closeEditor(editor, QAbstractItemDelegate::NoHint);
                invio();
                return true;
            }
        }
        return QStyledItemDelegate::eventFilter(oggetto, evento);
    }
};

// The law of a reach: none (the line's) or one of the five, by its key.
class DelegatoLegge : public DelegatoCelle {
  public:
    using DelegatoCelle::DelegatoCelle;

    QWidget* createEditor(QWidget* genitore, const QStyleOptionViewItem&,
                          const QModelIndex&) const override {
        auto* scelta = new QComboBox(genitore);
        scelta->addItem("della linea", QString());
        for (const formule::Legge l : formule::tutteLeLeggi) {
            scelta->addItem(QString::fromUtf8(formule::nomeLegge(l).data()),
                            QString::fromUtf8(formule::chiaveLegge(l).data()));
        }
        return scelta;
    }

    void setEditorData(QWidget* editor, const QModelIndex& indice) const override {
        auto* scelta = static_cast<QComboBox*>(editor);
        scelta->setCurrentIndex(
            std::max(0, scelta->findData(indice.data(Qt::EditRole).toString().toLower())));
    }

    void setModelData(QWidget* editor, QAbstractItemModel* modello,
                      const QModelIndex& indice) const override {
        modello->setData(indice, static_cast<QComboBox*>(editor)->currentData());
    }
};

// A table kept as a spreadsheet keeps it: Enter moves down, Delete empties
// the cells, Ctrl+V pastes a block at the current cell.
class VistaTratti : public QTableView {
  public:
    std::function<void()> incolla;
    std::function<void()> svuota;

    void scendi() {
        const QModelIndex attuale = currentIndex();
        if (attuale.isValid() && attuale.row() + 1 < model()->rowCount()) {
            setCurrentIndex(attuale.sibling(attuale.row() + 1, attuale.column()));
        }
    }

  protected:
    // A click below the last row leaves no current cell: a paste there
    // goes after the last row.
    void mousePressEvent(QMouseEvent* evento) override {
        if (!indexAt(evento->position().toPoint()).isValid()) {
            selectionModel()->clear();
            return;
        }
        QTableView::mousePressEvent(evento);
    }

    void keyPressEvent(QKeyEvent* evento) override {
        if (evento->matches(QKeySequence::Paste)) {
            incolla();
        } else if (evento->key() == Qt::Key_Delete || evento->key() == Qt::Key_Backspace) {
            svuota();
        } else if (evento->key() == Qt::Key_Return || evento->key() == Qt::Key_Enter) {
            scendi();
        } else {
            QTableView::keyPressEvent(evento);
        }
    }
};

} // namespace

FinestraTratti::FinestraTratti(FinestraAnalisi* analisi, QWidget* parent,
                               CalcoloTratti::Verifica verifica)
    : QMainWindow(parent), modello(new ModelloTratti(this, std::move(verifica))),
      pozzetti(new ModelloPozzetti(modello, this)), schede(new QTabWidget),
      tabella(new VistaTratti), tabellaPozzetti(new QTableView), linea(new QLabel),
      casellaCatalogo(new QLineEdit), dimensiona(new QPushButton("Dimensiona")),
      collega(new QPushButton("Collega in linea")), calcolaQuote(new QPushButton("Calcola quote")),
      profilo(new QPushButton("Profilo longitudinale…")), allineamento(new QComboBox),
      ricoprimento(new QLineEdit), profondita(new QLineEdit), salto(new QLineEdit),
      stato(new QLabel), analisi_(analisi) {
    setWindowTitle("Verifica dei tratti");
    setWindowFlag(Qt::Window);
    avvisa = [this](const QString& avviso) { QMessageBox::warning(this, windowTitle(), avviso); };
    scegliDeroga = [this](const QString& elemento, const auto& controlli) {
        return dialogoDeroga(this, elemento, controlli);
    };
    conferma = [this](const QString& domanda) {
        return QMessageBox::question(this, windowTitle(), domanda) == QMessageBox::Yes;
    };
    costruisci();
    creaMenu();
    casellaCatalogo->setPlaceholderText(
        QString::fromStdString(::catalogo::testo(::catalogo::usuale(), separatore_)));
    casellaCatalogo->setText(impostazioni()
                                 .value(chiaveCatalogo, QString::fromStdString(::catalogo::testo(
                                                            ::catalogo::usuale(), separatore_)))
                                 .toString());
    leggiCatalogo();
    testoCatalogo_ = casellaCatalogo->text();
    connect(casellaCatalogo, &QLineEdit::textChanged, this, [this] {
        leggiCatalogo();
        emit trattiCambiati();
    });
    connect(casellaCatalogo, &QLineEdit::textEdited, this, [this](const QString& testo) {
        modello->annullamenti()->push(
            new ModificaCatalogo(casellaCatalogo, testoCatalogo_, testo, corsaCatalogo_));
    });
    connect(casellaCatalogo, &QLineEdit::textChanged, this,
            [this](const QString& testo) { testoCatalogo_ = testo; });
    connect(casellaCatalogo, &QLineEdit::editingFinished, this, [this] { ++corsaCatalogo_; });
    connect(analisi_, &FinestraAnalisi::verificheCambiate, this, &FinestraTratti::aggiornaLinea);
    connect(modello, &ModelloTratti::celleCambiate, this, [this] {
        notizia_.clear();
        mostraStato();
        emit trattiCambiati();
    });
    connect(modello, &ModelloTratti::esitiAggiornati, this, &FinestraTratti::mostraStato);
    connect(
        modello, &ModelloTratti::dimensionati, this,
        [this](int scritti, int nonVerificati, int senzaMisura) {
            notizia_ =
                QString("Dimensiona: %1").arg(quanti(scritti, "raggio scritto", "raggi scritti"));
            if (nonVerificati > 0) {
                notizia_ += QString(", di cui %1 (nessun raggio rispetta tutti i limiti: "
                                    "il motivo dice il rimedio)")
                                .arg(quanti(nonVerificati, "resta non verificato",
                                            "restano non verificati"));
            }
            if (senzaMisura > 0) {
                notizia_ +=
                    QString(", %1: il raggio resta vuoto (il motivo dice perché)")
                        .arg(quanti(senzaMisura, "tratto non calcolato", "tratti non calcolati"));
            }
            mostraStato();
        });
    connect(dimensiona, &QPushButton::clicked, modello, &ModelloTratti::dimensiona);
    connect(collega, &QPushButton::clicked, this, &FinestraTratti::collegaSelezionati);
    connect(calcolaQuote, &QPushButton::clicked, this, &FinestraTratti::scriviQuote);
    connect(modello, &ModelloTratti::reteAggiornata, this, &FinestraTratti::mostraStato);
    connect(modello, &ModelloTratti::reteAggiornata, this, &FinestraTratti::aggiornaProfilo);
    connect(profilo, &QPushButton::clicked, this, &FinestraTratti::apriProfilo);
    connect(pozzetti, &QAbstractItemModel::modelReset, this, [this] { emit trattiCambiati(); });
    scriviRete(reteRicordata());
    connect(allineamento, &QComboBox::currentIndexChanged, this, &FinestraTratti::leggiRete);
    for (QLineEdit* casella : {ricoprimento, profondita, salto}) {
        connect(casella, &QLineEdit::textChanged, this, &FinestraTratti::leggiRete);
    }
    // Wide enough for the reasons beside the numbers, where the screen allows.
    const QRect schermo = screen()->availableGeometry();
    resize(std::min(1560, schermo.width() - 40), std::min(760, schermo.height() - 80));
}

// Hiding the window on destruction takes the focus from the boxes, which
// then report the end of an edit to a window already half destroyed.
FinestraTratti::~FinestraTratti() {
    for (QLineEdit* casella : {casellaCatalogo, ricoprimento, profondita, salto}) {
        casella->disconnect(this);
    }
}

void FinestraTratti::costruisci() {
    auto* vista = static_cast<VistaTratti*>(tabella);
    vista->incolla = [this] { incolla(); };
    vista->svuota = [this] { svuotaSelezione(); };
    tabella->setModel(modello);
    auto* celle = new DelegatoCelle(tabella);
    auto* legge = new DelegatoLegge(tabella);
    celle->invio = legge->invio = [vista] { vista->scendi(); };
    tabella->setItemDelegate(celle);
    tabella->setItemDelegateForColumn(tratti::Legge, legge);
    tabella->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                             QAbstractItemView::AnyKeyPressed);
    tabella->setSelectionMode(QAbstractItemView::ExtendedSelection);
    tabella->setWordWrap(false);
    // Rows of one height, never measured: ten thousand of them stay quick.
    tabella->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    tabella->verticalHeader()->setDefaultSectionSize(tabella->fontMetrics().height() + 8);
    QHeaderView* intestazione = tabella->horizontalHeader();
    intestazione->setDefaultAlignment(Qt::AlignCenter);
    intestazione->resizeSections(QHeaderView::ResizeToContents);
    const int cifre = tabella->fontMetrics().horizontalAdvance("0000.000") + 12;
    for (int c = 0; c < ModelloTratti::colonneTotali; ++c) {
        intestazione->resizeSection(c, std::max(intestazione->sectionSize(c), cifre));
    }
    intestazione->resizeSection(tratti::Legge,
                                tabella->fontMetrics().horizontalAdvance("Colebrook") + 24);
    intestazione->resizeSection(ModelloTratti::RaggioUsato,
                                tabella->fontMetrics().horizontalAdvance("100 (scelto)") + 12);
    intestazione->resizeSection(ModelloTratti::Verdetto,
                                tabella->fontMetrics().horizontalAdvance("non verificato") + 12);
    // The reasons are long: the last column takes the room left, and the
    // whole reason is its tooltip.
    intestazione->resizeSection(ModelloTratti::Motivo, 480);
    intestazione->setStretchLastSection(true);

    linea->setWordWrap(true);
    linea->setToolTip("Dalla finestra «Scala di deflusso e verifiche»: i limiti, la legge e la "
                      "geometria si cambiano là.");
    casellaCatalogo->setMinimumWidth(200);
    casellaCatalogo->setToolTip("I raggi separati da «;» o da «,»; un raggio con la virgola "
                                "decimale va tra due «;» (22,5; 25). Vuoto, il catalogo usuale");
    dimensiona->setToolTip("Scrive nel raggio vuoto di ogni tratto il più piccolo del catalogo "
                           "che rispetta tutti i limiti, alle due portate, e non è minore dei "
                           "raggi a monte; se nessuno li rispetta, il più piccolo entro il "
                           "riempimento, e il tratto resta non verificato");
    stato->setWordWrap(true);

    auto* rigaCatalogo = new QHBoxLayout;
    rigaCatalogo->addWidget(new QLabel("Catalogo (r in cm):"));
    rigaCatalogo->addWidget(casellaCatalogo, 1);
    rigaCatalogo->addWidget(dimensiona);

    tabellaPozzetti->setModel(pozzetti);
    tabellaPozzetti->setItemDelegate(new DelegatoCelle(tabellaPozzetti));
    tabellaPozzetti->setEditTriggers(QAbstractItemView::DoubleClicked |
                                     QAbstractItemView::EditKeyPressed |
                                     QAbstractItemView::AnyKeyPressed);
    tabellaPozzetti->setWordWrap(false);
    tabellaPozzetti->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    tabellaPozzetti->verticalHeader()->setDefaultSectionSize(tabella->fontMetrics().height() + 8);
    tabellaPozzetti->horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
    tabellaPozzetti->horizontalHeader()->resizeSections(QHeaderView::ResizeToContents);
    tabellaPozzetti->horizontalHeader()->resizeSection(ModelloPozzetti::Nota, 240);
    tabellaPozzetti->horizontalHeader()->setStretchLastSection(true);
    schede->addTab(tabella, "Tratti");
    schede->addTab(tabellaPozzetti, "Pozzetti");

    allineamento->addItem("dei cieli", "cieli");
    allineamento->addItem("dei peli liberi", "pelo");
    allineamento->addItem("dei fondi", "fondo");
    allineamento->setToolTip("Al pozzetto, il tratto che esce non sta più in alto di quelli che "
                             "arrivano: il cielo, il pelo libero alla portata di progetto o il "
                             "fondo, senza salto");
    ricoprimento->setToolTip("Il terreno sul cielo del tratto, ai due estremi, in metri");
    profondita->setToolTip("Lo scavo dal terreno allo scorrimento, in metri; vuoto, non si "
                           "verifica");
    salto->setToolTip("Un salto più alto chiede un pozzetto di salto, in metri; vuoto, non si "
                      "verifica");
    for (QLineEdit* casella : {ricoprimento, profondita, salto}) {
        casella->setMaximumWidth(tabella->fontMetrics().horizontalAdvance("0000.00") + 16);
    }
    collega->setToolTip("Chiama P1, P2… i pozzetti dei tratti scelti, nel loro ordine: ognuno "
                        "scarica nel seguente");
    calcolaQuote->setToolTip("Scrive le quote di scorrimento vuote, portate da monte con la "
                             "pendenza e la regola di allineamento; le quote scritte restano. "
                             "Una pendenza o una lunghezza scritta poi in un tratto dalle quote "
                             "calcolate le sposta, con quelle calcolate a valle");
    auto* rigaRete = new QHBoxLayout;
    rigaRete->addWidget(new QLabel("Allineamento:"));
    rigaRete->addWidget(allineamento);
    rigaRete->addWidget(new QLabel("Ricoprimento minimo (m):"));
    rigaRete->addWidget(ricoprimento);
    rigaRete->addWidget(new QLabel("Profondità massima (m):"));
    rigaRete->addWidget(profondita);
    rigaRete->addWidget(new QLabel("Salto massimo (m):"));
    rigaRete->addWidget(salto);
    rigaRete->addStretch(1);
    rigaRete->addWidget(collega);
    rigaRete->addWidget(calcolaQuote);
    rigaRete->addWidget(profilo);

    auto* tutto = new QVBoxLayout;
    tutto->addWidget(linea);
    tutto->addLayout(rigaCatalogo);
    tutto->addLayout(rigaRete);
    tutto->addWidget(schede, 1);
    tutto->addWidget(stato);
    auto* centro = new QWidget;
    centro->setLayout(tutto);
    setCentralWidget(centro);
}

// The menus and the toolbar share their actions: one name for each.
void FinestraTratti::creaMenu() {
    const auto azione = [this](const QString& nome, auto fai) {
        auto* a = new QAction(nome, this);
        connect(a, &QAction::triggered, this, fai);
        return a;
    };
    QAction* importaCsv = azione("Importa CSV…", &FinestraTratti::chiediImportazione);
    QAction* esportaTratti =
        azione("Esporta tratti…", [this] { chiediEsportazione(Contenuto::Tratti); });
    QAction* esportaEsiti =
        azione("Esporta esiti…", [this] { chiediEsportazione(Contenuto::Esiti); });
    QAction* aggiungi = azione("Aggiungi tratto", &FinestraTratti::aggiungiTratto);
    QAction* elimina = azione("Elimina tratti", &FinestraTratti::eliminaTratti);
    QAction* deroga = azione("Deroga…", &FinestraTratti::chiediDeroga);
    deroga->setObjectName("deroga");
    deroga->setToolTip("Accetta un controllo non soddisfatto del tratto o del pozzetto scelto, "
                       "con il suo motivo");
    // The table's own keys, written beside the entry: the table takes them
    // while it has the focus.
    QAction* incollaBlocco = azione("Incolla\tCtrl+V", &FinestraTratti::incolla);
    incollaBlocco->setIconText("Incolla");

    QMenu* file = menuBar()->addMenu("&File");
    file->addActions({importaCsv, esportaTratti, esportaEsiti});
    file->addSeparator();
    file->addAction("Chiudi", QKeySequence::Close, this, &QWidget::close);

    QMenu* modifica = menuBar()->addMenu("&Modifica");
    QAction* annulla = modello->annullamenti()->createUndoAction(this, "Annulla");
    annulla->setShortcut(QKeySequence::Undo);
    QAction* ripeti = modello->annullamenti()->createRedoAction(this, "Ripeti");
    ripeti->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    modifica->addActions({annulla, ripeti});
    modifica->addSeparator();
    modifica->addAction(incollaBlocco);
    modifica->addAction("Svuota le celle\tCanc", this, &FinestraTratti::svuotaSelezione);
    modifica->addSeparator();
    modifica->addActions({aggiungi, elimina});
    modifica->addSeparator();
    modifica->addAction(deroga);

    auto* strumenti = addToolBar("Tratti");
    strumenti->setMovable(false);
    strumenti->addActions({aggiungi, elimina, deroga});
    strumenti->addSeparator();
    strumenti->addActions({incollaBlocco, importaCsv, esportaTratti, esportaEsiti});
}

void FinestraTratti::impostaSeparatore(Separatore separatore) {
    if (separatore != separatore_) {
        separatore_ = separatore;
        modello->impostaSeparatore(separatore);
        pozzetti->impostaSeparatore(separatore);
        casellaCatalogo->setPlaceholderText(
            QString::fromStdString(::catalogo::testo(::catalogo::usuale(), separatore)));
        aggiornaLinea();
    }
}

void FinestraTratti::impostaCoefficienteTabella(std::optional<double> gamma, std::string casella) {
    if (gamma != gammaTabella_ || casella != coefficienteTabella_) {
        gammaTabella_ = gamma;
        coefficienteTabella_ = std::move(casella);
        aggiornaLinea();
    }
}

// The line as the project's evaluation reads it from the analysis window's
// law, geometry and limits, this window's catalogue and rules, and the
// main window's γ: its settings, or in red the box that stops it.
void FinestraTratti::aggiornaLinea() {
    progetto::Progetto progetto;
    progetto.ingressi.coefficiente = progetto::Casella::daTesto(coefficienteTabella_);
    progetto.verifiche = analisi_->verifiche();
    progetto.rete = rete_;
    progetto.catalogo = catalogo();
    valutazione::Tabella tabella;
    tabella.coeffBazin = gammaTabella_;
    valutazione::Linea letta = valutazione::lineaDi(progetto, tabella);
    linea->setText(testoLinea(letta, progetto.verifiche));
    // Restyled only when the colour changes: the coefficient's every key
    // comes here.
    if (const QString stile = letta.impostazioni ? QString() : QString("color: #B00000;");
        linea->styleSheet() != stile) {
        linea->setStyleSheet(stile);
    }
    modello->impostaLinea(std::move(letta));
    mostraStato();
}

QString FinestraTratti::testoLinea(const valutazione::Linea& letta,
                                   const progetto::Verifiche& verifiche) const {
    if (!letta.impostazioni) {
        const formule::Legge legge =
            formule::leggeDaChiave(verifiche.legge).value_or(formule::Legge::Bazin);
        return QString("Legge: %1 · nessun esito: non si legge %2.")
            .arg(QString::fromUtf8(formule::nomeLegge(legge).data()),
                 QString::fromStdString(valutazione::testoCasella(*letta.impedimento)));
    }
    const tratti::Impostazioni& i = *letta.impostazioni;
    const auto misura = [this](Misura m, double valore) {
        return QString::fromStdString(testoMisura(m, valore, separatore_));
    };
    return QString("Limiti: V min %1 cm/s, V max %2 cm/s, h/H max %3% · legge: %4, %5%6 · "
                   "geometria: %7")
        .arg(misura(Misura::Velocita, i.limiti.velocitaMinima),
             misura(Misura::Velocita, i.limiti.velocitaMassima),
             misura(Misura::Riempimento, i.limiti.riempimentoMassimo),
             QString::fromUtf8(formule::nomeLegge(i.resistenza.legge).data()),
             QString::fromStdString(testoResistenza(i.resistenza, separatore_)),
             letta.leggeDellaTabella ? " (della finestra principale)" : "",
             i.geometria == formule::Geometria::Esatta ? "esatta" : "tabellare");
}

// A catalogue that does not read is marked, and the last one that did
// stays in use.
void FinestraTratti::leggiCatalogo() {
    std::string motivo;
    const std::optional<std::vector<double>> letto =
        ::catalogo::daTesto(casellaCatalogo->text().toStdString(), motivo);
    segnalaCasella(casellaCatalogo, letto ? Lettura::Buona : Lettura::Rifiutata, motivo);
    if (letto) {
        catalogo_ = *letto;
        impostazioni().setValue(chiaveCatalogo, casellaCatalogo->text());
        aggiornaLinea();
    }
}

void FinestraTratti::scriviRete(const progetto::Rete& rete) {
    const QSignalBlocker bloccoAllineamento(allineamento);
    const int voce = allineamento->findData(QString::fromStdString(rete.allineamento));
    allineamento->setCurrentIndex(std::max(voce, 0));
    const std::pair<QLineEdit*, const progetto::Casella*> caselle[] = {
        {ricoprimento, &rete.ricoprimentoMinimo},
        {profondita, &rete.profonditaMassima},
        {salto, &rete.saltoMassimo}};
    for (const auto& [casella, valore] : caselle) {
        const QSignalBlocker blocco(casella);
        casella->setText(QString::fromStdString(valore->testo));
    }
    leggiRete();
}

// A box that does not read is marked, and the last value that did stays in
// use.
void FinestraTratti::leggiRete() {
    rete_.allineamento = allineamento->currentData().toString().toStdString();
    impostazioni().setValue(chiaveAllineamento, allineamento->currentData());
    const struct {
        QLineEdit* casella;
        progetto::Casella progetto::Rete::*valore;
        const char* chiave;
        const tratti::Campo& campo;
    } caselle[] = {
        {ricoprimento, &progetto::Rete::ricoprimentoMinimo, chiaveRicoprimento,
         tratti::campoRicoprimento},
        {profondita, &progetto::Rete::profonditaMassima, chiaveProfondita, tratti::campoProfondita},
        {salto, &progetto::Rete::saltoMassimo, chiaveSalto, tratti::campoSalto}};
    // Each box as typed: one that does not read stops the line, named, as
    // the evaluation stops it everywhere else; only one that reads is
    // remembered for the next start.
    for (const auto& c : caselle) {
        rete_.*c.valore = progetto::Casella::daTesto(c.casella->text().toStdString());
        if (leggiLunghezza(c.casella, c.campo)) {
            impostazioni().setValue(c.chiave, c.casella->text());
        }
    }
    aggiornaLinea();
    emit trattiCambiati();
}

std::vector<int> FinestraTratti::righeSelezionate() const {
    std::vector<int> righe;
    for (const QModelIndex& cella : tabella->selectionModel()->selectedIndexes()) {
        righe.push_back(cella.row());
    }
    if (righe.empty() && tabella->currentIndex().isValid()) {
        righe.push_back(tabella->currentIndex().row());
    }
    std::sort(righe.begin(), righe.end());
    righe.erase(std::unique(righe.begin(), righe.end()), righe.end());
    return righe;
}

void FinestraTratti::collegaSelezionati() {
    const std::vector<int> righe = righeSelezionate();
    if (righe.empty()) {
        avvisa("Scegliere i tratti da collegare, dal primo a monte all'ultimo a valle.");
        return;
    }
    modello->collegaInLinea(righe);
}

void FinestraTratti::scriviQuote() {
    const int scritte = modello->calcolaQuote();
    notizia_ = scritte > 0 ? QString("Calcola quote: %1 (Ctrl+Z annulla)")
                                 .arg(quanti(scritte, "quota scritta", "quote scritte"))
                           : QString("Calcola quote: nessuna quota vuota che la rete sappia "
                                     "calcolare; serve una quota nota a monte");
    mostraStato();
}

FinestraProfilo* FinestraTratti::apriProfilo() {
    if (profilo_ == nullptr) {
        profilo_ = new FinestraProfilo(this);
        profilo_->addActions(actions());
        profilo_->datiProgetto = [this] { return datiProgetto(); };
        profilo_->impostaDisegno(disegnoProfilo_);
        connect(profilo_, &FinestraProfilo::disegnoCambiato, this, [this] {
            disegnoProfilo_ = profilo_->disegno();
            emit trattiCambiati();
        });
    }
    mostraLaLineaNelProfilo();
    profilo_->show();
    profilo_->raise();
    profilo_->activateWindow();
    return profilo_;
}

// While the profile is open it follows the results, once they are all in.
// The item in view: the manhole of the current row on "Pozzetti", else the
// reach of the current row.
void FinestraTratti::chiediDeroga() {
    const bool diPozzetto = schede->currentWidget() == tabellaPozzetti;
    const QModelIndex corrente =
        (diPozzetto ? tabellaPozzetti : tabella)->selectionModel()->currentIndex();
    if (!corrente.isValid()) {
        avvisa(diPozzetto ? "Scegliere il pozzetto della deroga."
                          : "Scegliere il tratto della "
                            "deroga.");
        return;
    }
    modello->attendiCalcolo();
    const tratti::Voce voce = diPozzetto ? tratti::Voce::Pozzetto : tratti::Voce::Tratto;
    std::string nome;
    const std::vector<tratti::Rilievo>* rilievi = nullptr;
    if (diPozzetto) {
        nome =
            pozzetti->index(corrente.row(), ModelloPozzetti::Nome).data().toString().toStdString();
        for (const tratti::EsitoPozzetto& p : modello->rete().pozzetti) {
            if (p.nome == nome) {
                rilievi = &p.rilievi;
            }
        }
    } else {
        const auto riga = static_cast<std::size_t>(corrente.row());
        const progetto::RigaTratto celle = modello->righe()[riga];
        nome = celle.tratto;
        const valutazione::Rete rete = modello->reteCalcolata();
        for (std::size_t k = 0; k < rete.tratti.size() && rete.esiti; ++k) {
            if (rete.righeDeiTratti[k] == riga + 1) {
                scegli(voce, nome, rete.esiti->esiti[k].rilievi);
                return;
            }
        }
    }
    scegli(voce, nome, rilievi != nullptr ? *rilievi : std::vector<tratti::Rilievo>{});
}

void FinestraTratti::scegli(tratti::Voce voce, const std::string& nome,
                            const std::vector<tratti::Rilievo>& rilievi) {
    std::vector<std::pair<tratti::Controllo, std::string>> controlli;
    for (const tratti::Rilievo& r : rilievi) {
        const std::optional<tratti::Controllo> c = tratti::controlloDerogabile(r);
        if (c && std::none_of(controlli.begin(), controlli.end(),
                              [&](const auto& scelto) { return scelto.first == *c; })) {
            controlli.emplace_back(*c, r.deroga);
        }
    }
    const QString elemento = QString("%1 «%2»").arg(
        voce == tratti::Voce::Tratto ? "il tratto" : "il pozzetto", QString::fromStdString(nome));
    if (controlli.empty()) {
        avvisa(QString("Per %1 nessun controllo non soddisfatto chiede una deroga.").arg(elemento));
        return;
    }
    if (const std::optional<SceltaDeroga> scelta = scegliDeroga(elemento, controlli)) {
        modello->deroga(voce, nome, scelta->controllo, scelta->motivo);
    }
}

void FinestraTratti::aggiornaProfilo() {
    if (profilo_ != nullptr && profilo_->isVisible() && !modello->inCalcolo()) {
        mostraLaLineaNelProfilo();
    }
}

// The reaches that read, with the network's results and theirs.
void FinestraTratti::mostraLaLineaNelProfilo() {
    valutazione::Rete rete = modello->reteCalcolata();
    profilo_->mostra(std::move(rete.tratti), rete.esiti.value_or(modello->rete()), separatore_);
}

void FinestraTratti::mostraStato() {
    const ModelloTratti::Conteggio c = modello->conteggio();
    QStringList parti;
    parti << QString("%1: %2%3, %4")
                 .arg(quanti(c.tratti, "tratto", "tratti"),
                      quanti(c.verificati, "verificato", "verificati"),
                      c.conDeroga > 0 ? QString(" (%1 con deroga)").arg(c.conDeroga) : QString(),
                      quanti(c.nonVerificati, "non verificato", "non verificati"));
    if (c.nonCalcolati > 0) {
        parti.back() += ", " + quanti(c.nonCalcolati, "non calcolato", "non calcolati");
    }
    const tratti::EsitiRete& rete = modello->rete();
    if (const int numero = static_cast<int>(rete.pozzetti.size()); numero > 0) {
        parti << QString("%1: %2").arg(quanti(numero, "pozzetto", "pozzetti"),
                                       quanti(pozzetti->conSalto(), "con salto", "con salto"));
    }
    if (!rete.errori.empty()) {
        parti << QString("la rete non è un albero: %1")
                     .arg(QString::fromStdString(tratti::testoRilievo(
                              rete.errori.front().rilievo, separatore_, tratti::Voce::Pozzetto)) +
                          (rete.errori.size() > 1
                               ? QString(" (e altri %1, nella scheda «Pozzetti»)")
                                     .arg(rete.errori.size() - 1)
                               : QString()));
    }
    const auto senzaQuote = std::count_if(rete.alberi.begin(), rete.alberi.end(),
                                          [](const tratti::Albero& a) { return !a.conQuote; });
    if (senzaQuote > 0) {
        parti << QString("%1 senza alcuna quota di scorrimento: quote e ricoprimenti non "
                         "verificati")
                     .arg(quanti(static_cast<int>(senzaQuote), "rete", "reti"));
    }
    if (c.illeggibili > 0) {
        parti << QString("%1 con una cella non valida (in rosso: il motivo è nel suggerimento)")
                     .arg(quanti(c.illeggibili, "riga", "righe"));
    }
    if (c.inAttesa > 0 && modello->inCalcolo()) {
        parti << QString("calcolo in corso, %1 in attesa").arg(c.inAttesa);
    }
    if (!notizia_.isEmpty()) {
        parti << notizia_;
    }
    stato->setText(parti.join(" · "));
}

std::vector<progetto::RigaTratto> FinestraTratti::righe() const {
    return modello->righe();
}

std::vector<progetto::RigaPozzetto> FinestraTratti::righePozzetti() const {
    return pozzetti->righe();
}

std::vector<progetto::RigaDeroga> FinestraTratti::deroghe() const {
    return modello->deroghe();
}

std::uint64_t FinestraTratti::revisione() const {
    return modello->revisione() + pozzetti->revisione();
}

std::vector<double> FinestraTratti::catalogo() const {
    return catalogo_ == ::catalogo::usuale() ? std::vector<double>() : catalogo_;
}

void FinestraTratti::impostaProgetto(const progetto::Progetto& p) {
    casellaCatalogo->setText(QString::fromStdString(
        ::catalogo::testo(p.catalogo.empty() ? ::catalogo::usuale() : p.catalogo, separatore_)));
    scriviRete(p.rete);
    modello->impostaRighe(p.tratti);
    pozzetti->impostaRighe(p.pozzetti);
    modello->impostaDeroghe(p.deroghe);
    disegnoProfilo_ = p.profilo;
    if (profilo_ != nullptr) {
        profilo_->impostaDisegno(p.profilo);
    }
}

void FinestraTratti::incolla() {
    incollaTesto(QApplication::clipboard()->text());
}

// At the current cell; with none (a click below the last row), after the
// last row.
void FinestraTratti::incollaTesto(const QString& testo) {
    if (testo.isEmpty()) {
        return;
    }
    const QModelIndex attuale = tabella->currentIndex();
    const int riga = attuale.isValid() ? attuale.row() : modello->rowCount();
    const int colonna = attuale.isValid() ? attuale.column() : 0;
    if (colonna >= ModelloTratti::colonneCelle) {
        avvisa("Si incolla nelle colonne dei dati, da «Tratto» a «Coefficiente»: scegliere la "
               "cella da cui cominciare.");
        return;
    }
    const std::vector<std::vector<std::string>> blocco = bloccoDaTesto(testo);
    const ModelloTratti::Incollato fatto = modello->incolla(riga, colonna, blocco);
    std::size_t larghezza = 0;
    for (const auto& r : blocco) {
        larghezza = std::max(larghezza, r.size());
    }
    const int ultimaColonna =
        std::min(colonna + static_cast<int>(larghezza), ModelloTratti::colonneCelle) - 1;
    tabella->setCurrentIndex(modello->index(riga, colonna));
    tabella->selectionModel()->select(
        QItemSelection(modello->index(riga, colonna),
                       modello->index(riga + static_cast<int>(blocco.size()) - 1, ultimaColonna)),
        QItemSelectionModel::ClearAndSelect);
    QStringList fatti;
    if (fatto.righeAggiunte > 0) {
        fatti << quanti(fatto.righeAggiunte, "riga aggiunta", "righe aggiunte");
    }
    if (fatto.celleSostituite > 0) {
        fatti << quanti(fatto.celleSostituite, "cella piena sostituita", "celle piene sostituite");
    }
    if (!fatti.isEmpty()) {
        notizia_ = QString("Incolla: %1 (Ctrl+Z annulla)").arg(fatti.join(", "));
        mostraStato();
    }
}

void FinestraTratti::svuotaSelezione() {
    modello->svuota(tabella->selectionModel()->selectedIndexes());
}

void FinestraTratti::aggiungiTratto() {
    const QModelIndex attuale = tabella->currentIndex();
    const int riga = attuale.isValid() ? attuale.row() + 1 : modello->rowCount();
    modello->insertRows(riga, 1);
    tabella->setCurrentIndex(modello->index(riga, tratti::Nome));
    tabella->setFocus();
}

void FinestraTratti::eliminaTratti() {
    std::vector<int> righe = righeSelezionate();
    if (!righe.empty() &&
        conferma(QString("Eliminare %1?")
                     .arg(quanti(static_cast<int>(righe.size()), "il tratto", "tratti")))) {
        modello->elimina(std::move(righe));
    }
}

bool FinestraTratti::importa(const std::string& percorso) {
    tratti::CelleLette letti;
    try {
        letti = tratti::leggiCelleTratti(leggiFileIntero(percorso, tratti::fileMassimo));
    } catch (const ErroreFile& errore) {
        avvisa(QString::fromStdString(errore.what()));
        return false;
    } catch (const csv::Errore& errore) {
        avvisa(QString("Impossibile importare «%1», %2.")
                   .arg(mostrato(percorso), QString::fromStdString(errore.what())));
        return false;
    }
    const ModelloTratti::Conteggio c = modello->conteggio();
    if (c.tratti + c.illeggibili > 0 &&
        !conferma(QString("Sostituire i tratti della tabella con i %1 di «%2»?")
                      .arg(letti.celle.size())
                      .arg(QFileInfo(mostrato(percorso)).fileName()))) {
        return false;
    }
    std::vector<progetto::RigaTratto> righe;
    righe.reserve(letti.celle.size());
    for (const tratti::CelleTratto& celle : letti.celle) {
        righe.push_back(progetto::rigaDaCelle(celle));
    }
    modello->annullamenti()->beginMacro("importa CSV");
    modello->importaRighe(std::move(righe));
    pozzetti->importaTerreni(letti.pozzetti);
    modello->annullamenti()->endMacro();
    return true;
}

bool FinestraTratti::esporta(const std::string& percorso, Contenuto contenuto,
                             tratti::Formato formato) {
    for (int r = 0; r < modello->rowCount(); ++r) {
        if (const std::optional<csv::Errore>& errore = modello->errore(r)) {
            avvisa(QString("Nulla è stato esportato: alla riga %1 la colonna «%2» non è "
                           "valida: %3.")
                       .arg(r + 1)
                       .arg(QString::fromStdString(errore->colonna()),
                            QString::fromStdString(errore->motivo())));
            return false;
        }
    }
    std::string testo;
    if (contenuto == Contenuto::Tratti) {
        testo = tratti::testoTratti(modello->trattiLetti(), formato,
                                    progetto::pozzettiDi(pozzetti->righe()));
    } else {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        const valutazione::Rete rete = modello->reteCalcolata();
        QApplication::restoreOverrideCursor();
        if (!rete.esiti) {
            avvisa("Nulla è stato esportato: la legge di resistenza della linea non è data (la "
                   "riga sopra la tabella dice perché).");
            return false;
        }
        testo = tratti::testoEsiti(rete.tratti, rete.esiti->esiti, formato);
    }
    try {
        scriviFileIntero(percorso, testo);
    } catch (const ErroreFile& errore) {
        avvisa(QString::fromStdString(errore.what()));
        return false;
    }
    return true;
}

void FinestraTratti::chiediImportazione() {
    const QString scelto = QFileDialog::getOpenFileName(this, "Importa CSV", QString(),
                                                        QString(filtroCsv) + ";;Tutti i file (*)");
    if (!scelto.isEmpty()) {
        importa(QFile::encodeName(scelto).toStdString());
    }
}

// The dialog's filter says which CSV: plain, or for Italian spreadsheets.
void FinestraTratti::chiediEsportazione(Contenuto contenuto) {
    QFileDialog dialogo(this, contenuto == Contenuto::Tratti ? "Esporta tratti" : "Esporta esiti",
                        contenuto == Contenuto::Tratti ? "tratti.csv" : "esiti.csv",
                        QString(filtroCsv) + ";;" + filtroCsvItaliano);
    dialogo.setAcceptMode(QFileDialog::AcceptSave);
    dialogo.setDefaultSuffix("csv");
    if (dialogo.exec() != QDialog::Accepted || dialogo.selectedFiles().isEmpty()) {
        return;
    }
    const tratti::Formato formato = dialogo.selectedNameFilter() == filtroCsvItaliano
                                        ? tratti::Formato::CsvItaliano
                                        : tratti::Formato::Csv;
    esporta(QFile::encodeName(dialogo.selectedFiles().front()).toStdString(), contenuto, formato);
}
