#include "elaboratore/finestra_report.h"

#include "documenti/elaboratore_testi.h"
#include "documenti/impaginazione.h"
#include "documenti/salvataggio.h"
#include "elaboratore/barra_avanzamento.h"
#include "elaboratore/cartella_temporanea.h"
#include "file/errore_file.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenuBar>
#include <QMessageBox>
#include <QPageLayout>
#include <QPageSize>
#include <QPointer>
#include <QPrintDialog>
#include <QPrinter>
#include <QScreen>
#include <QTabWidget>
#include <QTextDocument>
#include <QTextEdit>
#include <QUrl>

namespace {

// The text's width on the report's page, at the document's 96 pixels per
// inch.
constexpr int larghezzaPaginaPixel =
    static_cast<int>((pagina::larghezzaCm - 2 * pagina::margineCm) / 2.54 * 96 + 0.5);

const char* const filtroDocx = "Documento Word (*.docx)";
const char* const filtroOdt = "Documento ODF (*.odt)";
const char* const filtroPdf = "PDF (*.pdf)";
const char* const filtroHtml = "Pagina web (*.html)";
const QString filtri = QStringList{filtroDocx, filtroOdt, filtroPdf, filtroHtml}.join(";;");

QTextDocument* documentoDi(QWidget* scheda) {
    auto* editor = qobject_cast<QTextEdit*>(scheda);
    return editor ? editor->document() : nullptr;
}

// The extension of the chosen file type, when the name has none of ours.
QString conEstensione(const QString& percorso, const QString& filtro) {
    if (formatoDaNome(percorso.toStdString())) {
        return percorso;
    }
    const QString estensione = filtro == filtroOdt    ? ".odt"
                               : filtro == filtroPdf  ? ".pdf"
                               : filtro == filtroHtml ? ".html"
                                                      : ".docx";
    return percorso + estensione;
}

} // namespace

FinestraReport::FinestraReport(QWidget* parent)
    : QMainWindow(parent), schede_(new QTabWidget(this)), elaboratore_(new ElaboratoreTesti(this)) {
    setWindowTitle("Elaboratore di testi - Sezione inglese");
    setAttribute(Qt::WA_DeleteOnClose);
    schede_->setTabsClosable(true);
    schede_->setDocumentMode(true);
    setCentralWidget(schede_);
    resize(900, 700);
    creaMenu();

    avvisa = [this](const QString& avviso) { QMessageBox::warning(this, windowTitle(), avviso); };
    apriConIlSistema = [](const QUrl& indirizzo) { return QDesktopServices::openUrl(indirizzo); };
    seguiLavoro = [this](const QString& testo) { return barraAvanzamento(this, testo); };
    chiediSeSalvare = [this](const QString& domanda) { return ::chiediSeSalvare(this, domanda); };
    scegliFile = [this](const QString& proposto) {
        FileScelto scelto{QString(), filtroDocx};
        scelto.percorso =
            QFileDialog::getSaveFileName(this, "Salva con nome", proposto, filtri, &scelto.filtro);
        return scelto;
    };

    // A document gets its editor once the report that fills it has returned:
    // an editor would lay the document out again at every cell written.
    connect(elaboratore_, &ElaboratoreTesti::documentoAggiunto, this,
            [this](QTextDocument* documento) {
                QPointer<QTextDocument> ancoraAperto(documento);
                QMetaObject::invokeMethod(
                    this,
                    [this, ancoraAperto] {
                        const auto& aperti = elaboratore_->documenti();
                        if (ancoraAperto &&
                            std::find(aperti.begin(), aperti.end(), ancoraAperto) != aperti.end()) {
                            aggiungiScheda(ancoraAperto);
                        }
                    },
                    Qt::QueuedConnection);
            });
    connect(elaboratore_, &ElaboratoreTesti::documentoChiuso, this, &FinestraReport::togliScheda);
    connect(elaboratore_, &ElaboratoreTesti::visibilitaRichiesta, this, [this](bool visibile) {
        setVisible(visibile);
        if (visibile) {
            raise();
            activateWindow();
        }
    });
    connect(elaboratore_, &ElaboratoreTesti::statoFinestraRichiesto, this, [this](int stato) {
        if (stato == 1) {
            // Also where no window manager maximises.
            if (const QScreen* schermo = screen()) {
                setGeometry(schermo->availableGeometry());
            }
            showMaximized();
        } else if (stato == 2) {
            showMinimized();
        } else {
            showNormal();
        }
    });
    connect(schede_, &QTabWidget::currentChanged, this, [this](int indice) {
        if (QTextDocument* documento = documentoDi(schede_->widget(indice))) {
            elaboratore_->attivaDocumento(documento);
        }
    });
    connect(schede_, &QTabWidget::tabCloseRequested, this, &FinestraReport::chiudiDocumento);
}

void FinestraReport::creaMenu() {
    QMenu* file = menuBar()->addMenu("&File");
    file->addAction("Salva", QKeySequence::Save, this, &FinestraReport::salva);
    // Not QKeySequence::SaveAs: Qt gives it no keys on a plain X11 desktop.
    file->addAction("Salva con nome…", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S), this,
                    &FinestraReport::salvaConNome);
    file->addAction("Stampa…", QKeySequence::Print, this, &FinestraReport::stampa);
    file->addAction("Apri con l'elaboratore di testi del sistema", this,
                    &FinestraReport::apriNelSistema);
    file->addSeparator();
    file->addAction("Chiudi documento", QKeySequence::Close, this,
                    [this] { chiudiDocumento(schede_->currentIndex()); });
    file->addAction("Esci", QKeySequence::Quit, this, &QWidget::close);
}

void FinestraReport::aggiungiScheda(QTextDocument* documento) {
    auto* editor = new QTextEdit(schede_);
    editor->setAcceptRichText(true);
    // A page's text width, as a word processor shows it; fixed, so that a
    // scroll bar coming or going does not lay the document out again.
    editor->setLineWrapMode(QTextEdit::FixedPixelWidth);
    editor->setLineWrapColumnOrWidth(larghezzaPaginaPixel);
    editor->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // The editor gets an empty document, then the report's content in one
    // move: a document given whole to an editor would be laid out thrice.
    auto* mostrato = new QTextDocument(editor);
    editor->setDocument(mostrato);
    const int indice = schede_->addTab(editor, elaboratore_->nomeDocumento(documento));
    QApplication::setOverrideCursor(Qt::WaitCursor);
    elaboratore_->trasferisci(documento, mostrato);
    QApplication::restoreOverrideCursor();
    schede_->setCurrentIndex(indice);
    elaboratore_->attivaDocumento(mostrato);
}

void FinestraReport::togliScheda(QTextDocument* documento) {
    for (int i = 0; i < schede_->count(); ++i) {
        if (documentoDi(schede_->widget(i)) == documento) {
            QWidget* scheda = schede_->widget(i);
            percorsi_.erase(documento);
            schede_->removeTab(i);
            scheda->deleteLater();
            return;
        }
    }
}

QTextDocument* FinestraReport::documentoCorrente() const {
    return documentoDi(schede_->currentWidget());
}

bool FinestraReport::chiudiDocumento(int indice) {
    QTextDocument* documento = documentoDi(schede_->widget(indice));
    if (documento == nullptr || !lasciaAndare(indice)) {
        return false;
    }
    elaboratore_->chiudiDocumento(documento);
    return true;
}

// One question per unsaved document, its tab shown while asked about.
void FinestraReport::closeEvent(QCloseEvent* evento) {
    for (int i = 0; i < schede_->count(); ++i) {
        if (!lasciaAndare(i)) {
            evento->ignore();
            return;
        }
    }
    evento->accept();
}

bool FinestraReport::lasciaAndare(int indice) {
    if (!documentoDi(schede_->widget(indice))->isModified()) {
        return true;
    }
    schede_->setCurrentIndex(indice);
    switch (chiediSeSalvare(QString("Salvare le modifiche al documento «%1» prima di chiuderlo?")
                                .arg(schede_->tabText(indice)))) {
    case RispostaSalvare::Salva:
        return salvaScheda(indice, false);
    case RispostaSalvare::Scarta:
        return true;
    case RispostaSalvare::Annulla:
        break;
    }
    return false;
}

bool FinestraReport::salva() {
    return salvaScheda(schede_->currentIndex(), false);
}

bool FinestraReport::salvaConNome() {
    return salvaScheda(schede_->currentIndex(), true);
}

bool FinestraReport::salvaCome(const QString& scelto, const QString& filtro) {
    return scrivi(schede_->currentIndex(), conEstensione(scelto, filtro));
}

QString FinestraReport::nomeProposto(const Progetto& progetto) {
    // A slash would name a folder, a control character no file at all.
    QString opera;
    for (const QChar c : progetto.opera) {
        opera += c == '/' || c == '\\'                  ? QChar('-')
                 : c.category() == QChar::Other_Control ? QChar(' ')
                                                        : c;
    }
    opera = opera.simplified();
    while (opera.startsWith('.')) {
        opera.remove(0, 1); // no hidden file
    }
    opera = opera.left(120).trimmed();
    const QString nome =
        opera.isEmpty() ? QString("Relazione.docx") : "Relazione – " + opera + ".docx";
    return QDir(progetto.cartella.isEmpty() ? QDir::currentPath() : progetto.cartella)
        .filePath(nome);
}

bool FinestraReport::salvaScheda(int indice, bool conNome) {
    const QTextDocument* documento = documentoDi(schede_->widget(indice));
    if (documento == nullptr) {
        return false;
    }
    const auto salvato = percorsi_.find(documento);
    if (salvato != percorsi_.end() && !conNome) {
        return scrivi(indice, salvato->second);
    }
    const FileScelto scelto =
        scegliFile(salvato != percorsi_.end() ? salvato->second
                                              : nomeProposto(progetto ? progetto() : Progetto{}));
    return !scelto.percorso.isEmpty() &&
           scrivi(indice, conEstensione(scelto.percorso, scelto.filtro));
}

// The path has one of our extensions, which says the format.
bool FinestraReport::scrivi(int indice, const QString& percorso) {
    QTextDocument* documento = documentoDi(schede_->widget(indice));
    if (documento == nullptr) {
        return false;
    }
    try {
        salvaDocumento(*documento, QFile::encodeName(percorso).toStdString(),
                       Avanzamento(seguiLavoro(
                           QString("Salvataggio di «%1»…").arg(QFileInfo(percorso).fileName()))));
    } catch (const Annullato&) {
        return false; // the user's choice: nothing to warn of
    } catch (const ErroreFile& errore) {
        avvisa(QString::fromStdString(errore.what()));
        return false;
    }
    documento->setModified(false);
    percorsi_[documento] = percorso;
    schede_->setTabText(indice, QFileInfo(percorso).fileName());
    schede_->setTabToolTip(indice, percorso);
    return true;
}

void FinestraReport::stampa() {
    QTextDocument* documento = documentoCorrente();
    if (documento == nullptr) {
        return;
    }
    // The pages of the saved .pdf: A4, the same margins and page numbers.
    QPrinter stampante(QPrinter::HighResolution);
    stampante.setPageLayout(
        QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF()));
    stampante.setFullPage(true);
    QPrintDialog dialogo(&stampante, this);
    if (dialogo.exec() != QDialog::Accepted) {
        return;
    }
    // Stopped, the job is withdrawn rather than ended: no half report on
    // paper.
    const auto segui = seguiLavoro("Stampa del documento…");
    const Avanzamento avanzamento([&](std::int64_t fatti, std::int64_t totale) {
        if (segui(fatti, totale)) {
            return true;
        }
        stampante.abort();
        return false;
    });
    try {
        if (!disegnaPagine(*documento, stampante, stampante.fromPage(), stampante.toPage(),
                           avanzamento)) {
            avvisa("Impossibile stampare il documento.");
        }
    } catch (const Annullato&) {
    }
}

// Written as a .docx named after its tab, in a folder of the program's own
// that goes when the program ends.
void FinestraReport::apriNelSistema() {
    QTextDocument* documento = documentoCorrente();
    if (documento == nullptr) {
        return;
    }
    const QString cartella = cartellaTemporaneaProgramma();
    if (cartella.isEmpty()) {
        avvisa("Impossibile creare una cartella temporanea per il documento.");
        return;
    }
    // A name of its own: the desktop's program may still hold an earlier one.
    const QString nome = QFileInfo(schede_->tabText(schede_->currentIndex())).completeBaseName();
    QString percorso = QDir(cartella).filePath(nome + ".docx");
    for (int copia = 2; QFileInfo::exists(percorso); ++copia) {
        percorso = QDir(cartella).filePath(QString("%1-%2.docx").arg(nome).arg(copia));
    }
    try {
        salvaDocumento(*documento, QFile::encodeName(percorso).toStdString(),
                       Avanzamento(seguiLavoro("Preparazione del documento…")));
    } catch (const Annullato&) {
        return;
    } catch (const ErroreFile& errore) {
        avvisa(QString::fromStdString(errore.what()));
        return;
    }
    if (!apriConIlSistema(QUrl::fromLocalFile(percorso))) {
        avvisa(QString("Nessun elaboratore di testi del sistema ha aperto «%1».").arg(percorso));
    }
}
