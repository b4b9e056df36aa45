#include "app/finestra_profilo.h"

#include "app/casella_segnalata.h"
#include "figure/esporta_profilo.h"
#include "numeri/conversioni.h"
#include "numeri/misure.h"
#include "numeri/numero_positivo.h"
#include "relazione/profilo_progetto.h"

#include <QComboBox>
#include <QEvent>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

#include <algorithm>
#include <stdexcept>

// The sheet drawn to the height of the window, as wide as the path needs;
// the pointer's place goes to the window in millimetres of the sheet.
class TelaProfilo : public QWidget {
  public:
    explicit TelaProfilo(FinestraProfilo* finestra) : finestra_(finestra) {
        setMouseTracking(true);
    }

    void adatta(int altezza) {
        const QSizeF foglio = dimensioniDi(finestra_->impaginazione());
        scala_ = foglio.height() > 0 ? altezza / foglio.height() : 1;
        setFixedSize(static_cast<int>(std::min(foglio.width() * scala_, double{QWIDGETSIZE_MAX})),
                     altezza);
        update();
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        if (!finestra_->profilo()) {
            return;
        }
        QPainter pittore(this);
        pittore.fillRect(rect(), Qt::white);
        pittore.scale(scala_, scala_);
        disegnaFoglioProfilo(pittore, *finestra_->profilo(), finestra_->impaginazione(), 0,
                             separatore);
    }
    void mouseMoveEvent(QMouseEvent* evento) override {
        finestra_->puntatore->setText(finestra_->testoSotto(evento->position().x() / scala_));
    }
    void leaveEvent(QEvent*) override { finestra_->puntatore->clear(); }

  public:
    Separatore separatore = Separatore::Punto;

  private:
    FinestraProfilo* finestra_;
    double scala_ = 1; // pixels a millimetre
};

namespace {

// The window's sheet is as high as an A3's, so that the drawing keeps the
// proportions of the printed one, and as wide as the window shows it.
// The widest drawing a window holds, in pixels.
constexpr double larghezzaMassima = 4e6;

NumeroLetto scalaLetta(const QLineEdit* casella) {
    NumeroLetto letto = leggiNumeroPositivo(casella->text().toStdString());
    if (letto.valore && !scalaAmmessa(*letto.valore)) {
        letto = {std::nullopt,
                 std::string("Serve il denominatore di una scala ") + scaleAmmesse + "."};
    }
    return letto;
}

QSizeF foglioDellaFinestra(QSize vista) {
    const double altezza = dimensioniFoglio(FormatoFoglio::A3).height();
    return {altezza * std::max(vista.width(), 1) / std::max(vista.height(), 1), altezza};
}

} // namespace

FinestraProfilo::FinestraProfilo(QWidget* parent)
    : QWidget(parent, Qt::Window), albero(new QComboBox), testa(new QComboBox),
      scalaOrizzontale(new QLineEdit), scalaVerticale(new QLineEdit), foglio(new QComboBox),
      esportaProfilo(new QPushButton("Esporta profilo…")), avviso(new QLabel),
      puntatore(new QLabel), scorrimento_(new QScrollArea), tela_(new TelaProfilo(this)) {
    setWindowTitle("Profilo longitudinale");
    resize(1200, 760);
    avvisa = [this](const QString& testo) {
        QMessageBox::warning(this, "Profilo longitudinale", testo);
    };
    for (QLineEdit* casella : {scalaOrizzontale, scalaVerticale}) {
        casella->setPlaceholderText("adatta");
        casella->setMaximumWidth(80);
        connect(casella, &QLineEdit::textChanged, this, &FinestraProfilo::ridisegna);
        connect(casella, &QLineEdit::textChanged, this, &FinestraProfilo::leggiDisegno);
    }
    scalaOrizzontale->setToolTip("Il denominatore della scala orizzontale: 1000 per 1:1000; "
                                 "vuota, la scala che fa stare il percorso nel foglio");
    scalaVerticale->setToolTip("Il denominatore della scala verticale: 100 per 1:100; vuota, "
                               "la scala che fa stare le quote nel foglio");
    foglio->addItem("A3 orizzontale");
    foglio->addItem("A4 orizzontale");
    foglio->setToolTip("Il foglio del PDF esportato");

    auto* barra = new QHBoxLayout;
    const auto etichetta = [&](const char* testo, QWidget* campo) {
        auto* nome = new QLabel(testo);
        nome->setBuddy(campo);
        barra->addWidget(nome);
        barra->addWidget(campo);
    };
    etichetta("&Rete:", albero);
    etichetta("&Da pozzetto:", testa);
    etichetta("Scala &orizzontale 1:", scalaOrizzontale);
    etichetta("&verticale 1:", scalaVerticale);
    etichetta("&Foglio:", foglio);
    barra->addStretch();
    barra->addWidget(esportaProfilo);

    avviso->setWordWrap(true);
    avviso->hide();
    scorrimento_->setWidget(tela_);
    scorrimento_->setWidgetResizable(false);
    scorrimento_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scorrimento_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    scorrimento_->setBackgroundRole(QPalette::Dark);
    scorrimento_->viewport()->installEventFilter(this);

    auto* colonna = new QVBoxLayout(this);
    colonna->addLayout(barra);
    colonna->addWidget(avviso);
    colonna->addWidget(scorrimento_, 1);
    colonna->addWidget(puntatore);

    connect(albero, &QComboBox::currentIndexChanged, this, &FinestraProfilo::riempiTeste);
    connect(testa, &QComboBox::currentIndexChanged, this, &FinestraProfilo::ridisegna);
    connect(esportaProfilo, &QPushButton::clicked, this, &FinestraProfilo::chiediEsportazione);
    connect(foglio, &QComboBox::activated, this, [this](int voce) {
        disegno_.foglio = voce == 1 ? "A4" : "A3";
        emit disegnoCambiato();
    });
}

void FinestraProfilo::impostaDisegno(const progetto::DisegnoProfilo& disegno) {
    disegno_ = disegno;
    for (const auto& [casella, scala] : {std::pair{scalaOrizzontale, disegno.scalaOrizzontale},
                                         std::pair{scalaVerticale, disegno.scalaVerticale}}) {
        const QSignalBlocker blocco(casella);
        casella->setText(scala ? QString::fromStdString(CStr(*scala)) : QString());
    }
    const QSignalBlocker blocco(foglio);
    foglio->setCurrentIndex(formatoDelProgetto(disegno) == FormatoFoglio::A4 ? 1 : 0);
    // Before any line is shown there is nothing to draw, nor a sheet.
    if (percorsi_) {
        ridisegna();
    }
}

// A scale the box refuses is none, as the drawing takes it.
void FinestraProfilo::leggiDisegno() {
    progetto::DisegnoProfilo letto = disegno_;
    letto.scalaOrizzontale = scalaLetta(scalaOrizzontale).valore;
    letto.scalaVerticale = scalaLetta(scalaVerticale).valore;
    if (letto != disegno_) {
        disegno_ = letto;
        emit disegnoCambiato();
    }
}

Cartiglio FinestraProfilo::cartiglio() const {
    return profilo_ ? cartiglioDelProfilo(datiProgetto(), *profilo_) : Cartiglio();
}

FinestraProfilo::~FinestraProfilo() = default;

// The sheet follows the view's size: as high, and fitted to its width.
bool FinestraProfilo::eventFilter(QObject* oggetto, QEvent* evento) {
    if (oggetto == scorrimento_->viewport() && evento->type() == QEvent::Resize) {
        ridisegna();
    }
    return QWidget::eventFilter(oggetto, evento);
}

void FinestraProfilo::mostra(std::vector<tratti::Tratto> tratti, tratti::EsitiRete rete,
                             Separatore separatore) {
    tratti_ = std::move(tratti);
    rete_ = std::move(rete);
    separatore_ = separatore;
    tela_->separatore = separatore;
    percorsi_ = std::make_unique<tratti::Percorsi>(tratti_, rete_);
    riempiAlberi();
}

void FinestraProfilo::riempiAlberi() {
    const QString prima = albero->currentData().toString();
    const QSignalBlocker blocco(albero);
    albero->clear();
    for (const tratti::Albero& a : rete_.alberi) {
        const QString sbocco = QString::fromStdString(a.sbocco);
        albero->addItem(QString("sbocco %1 (%2 tratti)").arg(sbocco).arg(a.tratti), sbocco);
    }
    const int dove = albero->findData(prima);
    albero->setCurrentIndex(dove >= 0 ? dove : 0);
    riempiTeste();
}

void FinestraProfilo::riempiTeste() {
    const QString prima = testa->currentText();
    {
        const QSignalBlocker blocco(testa);
        testa->clear();
        if (percorsi_ && albero->currentIndex() >= 0) {
            for (const std::string& nome :
                 percorsi_->teste(albero->currentData().toString().toStdString())) {
                testa->addItem(QString::fromStdString(nome));
            }
        }
        const int dove = testa->findText(prima);
        testa->setCurrentIndex(dove >= 0 ? dove : 0);
    }
    ridisegna();
}

// A scale refused is none: the drawing keeps the fitted one meanwhile.
std::optional<double> FinestraProfilo::scala(QLineEdit* casella) const {
    const NumeroLetto letto = scalaLetta(casella);
    segnalaCasella(casella, letto.motivo ? Lettura::Rifiutata : Lettura::Buona,
                   letto.motivo.value_or(""));
    return letto.valore;
}

void FinestraProfilo::ridisegna() {
    profilo_.reset();
    QString motivo;
    if (rete_.alberi.empty()) {
        motivo = "Nessun profilo: i tratti non formano una rete di pozzetti senza errori (si "
                 "diano a ogni tratto il pozzetto di monte e di valle).";
    } else if (testa->currentIndex() >= 0 && percorsi_) {
        try {
            profilo_ = percorsi_->da(testa->currentText().toStdString());
        } catch (const std::invalid_argument& e) {
            motivo = QString("Nessun profilo: %1.").arg(QString::fromUtf8(e.what()));
        }
    }
    if (profilo_ && !profilo_->conQuote) {
        motivo = "Quote non calcolate: nessuno scorrimento noto in questa rete; si disegnano il "
                 "terreno e il cartiglio.";
    }
    if (profilo_) {
        try {
            impagina();
        } catch (const TroppiFogli& e) {
            profilo_.reset();
            impaginazione_ = {};
            motivo =
                QString("Nessun profilo: %1%2.")
                    .arg(QString::fromUtf8(e.what()), QString::fromStdString(consiglioDiScala(e)));
        }
    }
    if (profilo_ && foglioCheNonSta(*profilo_, impaginazione_)) {
        motivo = "Le quote non stanno nel disegno nemmeno alla scala verticale più piccola: i "
                 "loro dislivelli sono troppo grandi per un profilo.";
    }
    avviso->setText(motivo);
    avviso->setVisible(!motivo.isEmpty());
    esportaProfilo->setEnabled(profilo_.has_value());
    tela_->adatta(std::max(200, scorrimento_->viewport()->height()));
}

// The window's sheet at the scales typed; where the path would be too long
// for a window to hold, or the levels too high for the sheet, at the
// scale fitted instead, and the box says why. TroppiFogli when even the
// fitted scale is too large.
void FinestraProfilo::impagina() {
    const QSize vista = scorrimento_->viewport()->size();
    const QSizeF foglio = foglioDellaFinestra(vista);
    const auto fogliMassimi =
        static_cast<std::size_t>(larghezzaMassima / std::max(vista.width(), 1));
    std::optional<double> orizzontale = scala(scalaOrizzontale);
    const std::optional<double> verticale = scala(scalaVerticale);
    try {
        impaginazione_ =
            impaginaProfilo(*profilo_, foglio, orizzontale, verticale, true, 1, fogliMassimi);
    } catch (const TroppiFogli& e) {
        if (!orizzontale) {
            throw;
        }
        segnalaCasella(scalaOrizzontale, Lettura::Rifiutata,
                       "A questa scala il percorso è troppo lungo per la finestra: si usi una "
                       "scala più piccola, o si esporti il profilo.");
        orizzontale.reset();
        impaginazione_ =
            impaginaProfilo(*profilo_, foglio, orizzontale, verticale, true, 1, fogliMassimi);
    }
    if (verticale && foglioCheNonSta(*profilo_, impaginazione_)) {
        segnalaCasella(scalaVerticale, Lettura::Rifiutata,
                       "A questa scala le quote non stanno nel disegno: si usi una scala "
                       "verticale più piccola, o la si lasci vuota.");
        impaginazione_ =
            impaginaProfilo(*profilo_, foglio, orizzontale, std::nullopt, true, 1, fogliMassimi);
    }
    impaginazione_.cartiglio = cartiglio();
}

ImpaginazioneProfilo FinestraProfilo::impaginazioneDaStampare(const std::string& percorso) const {
    if (!profilo_) {
        return {};
    }
    const QSizeF dimensioni =
        dimensioniFoglio(foglio->currentIndex() == 1 ? FormatoFoglio::A4 : FormatoFoglio::A3);
    ImpaginazioneProfilo impaginazione =
        impaginaProfilo(*profilo_, dimensioni, scala(scalaOrizzontale), scala(scalaVerticale),
                        false, 1, fogliMassimi(percorso, dimensioni));
    impaginazione.cartiglio = cartiglio();
    return impaginazione;
}

QString FinestraProfilo::testoSotto(double xMillimetri) const {
    if (!profilo_) {
        return {};
    }
    const std::optional<double> progressiva = progressivaA(impaginazione_, 0, xMillimetri);
    if (!progressiva) {
        return {};
    }
    const auto metri = [&](Misura misura, double valore) {
        return QString::fromStdString(testoMisura(misura, valore, separatore_)) + " " +
               unitaMisura(misura);
    };
    QStringList parti{"Progressiva " + metri(Misura::Lunghezza, *progressiva)};
    const tratti::LivelliProfilo l = tratti::livelliA(*profilo_, *progressiva);
    for (const auto& [nome, quota] : {std::pair{"terreno", l.terreno},
                                      {"cielo", l.cielo},
                                      {"pelo libero", l.acquaProgetto},
                                      {"pelo alla portata minima", l.acquaMinima},
                                      {"scorrimento", l.fondo}}) {
        if (quota) {
            parti << QString(nome) + " " + metri(Misura::Quota, *quota);
        }
    }
    return parti.join("  ·  ");
}

bool FinestraProfilo::esporta(const std::string& percorso) {
    if (!profilo_) {
        return false;
    }
    try {
        const ImpaginazioneProfilo impaginazione = impaginazioneDaStampare(percorso);
        if (const std::optional<std::size_t> foglio = foglioCheNonSta(*profilo_, impaginazione)) {
            // Advice only about a scale that was typed.
            avvisa(QString("Alla scala verticale 1:%1 le quote del foglio %2 non stanno nel "
                           "disegno: %3")
                       .arg(impaginazione.scalaVerticale)
                       .arg(*foglio + 1)
                       .arg(scala(scalaVerticale)
                                ? "si usi una scala verticale più piccola, o la si lasci vuota."
                                : "i loro dislivelli sono troppo grandi per un profilo."));
            return false;
        }
        scriviProfilo(percorso, *profilo_, impaginazione, separatore_);
        return true;
    } catch (const TroppiFogli& e) {
        avvisa(QString("Profilo non esportato: %1%2.")
                   .arg(QString::fromUtf8(e.what()), QString::fromStdString(consiglioDiScala(e))));
        return false;
    } catch (const std::exception& e) {
        avvisa(QString::fromUtf8(e.what()));
        return false;
    }
}

void FinestraProfilo::chiediEsportazione() {
    const QString nome = QFileDialog::getSaveFileName(
        this, "Esporta profilo", "profilo.pdf",
        "PDF (*.pdf);;SVG (*.svg);;Immagine PNG (*.png);;DXF per CAD (*.dxf)");
    if (!nome.isEmpty()) {
        esporta(QFile::encodeName(nome).toStdString());
    }
}
