#include "app/finestra_analisi.h"

#include "analisi/tabella_calcolata.h"
#include "app/casella_segnalata.h"
#include "app/disegno_sezione.h"
#include "app/grafico_deflusso.h"
#include "app/impostazioni.h"
#include "app/scelta_resistenza.h"
#include "documenti/collegamento.h"
#include "documenti/elaboratore_testi.h"
#include "errori/errore_runtime.h"
#include "file/errore_file.h"
#include "file/scrittura_file.h"
#include "numeri/formato.h"
#include "numeri/numero_positivo.h"
#include "numeri/sezione.h"
#include "relazione/aggiunta_relazione.h"
#include "relazione/testi_report.h"

#include <QBuffer>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSettings>
#include <QShowEvent>
#include <QSplitter>
#include <QStyle>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

// The proposals, in the units of the boxes: cm/s and %.
const analisi::Limiti proposte;
const double velocitaMinimaProposta = proposte.velocitaMinima * 100;
const double velocitaMassimaProposta = proposte.velocitaMassima * 100;
const double riempimentoMassimoProposto = proposte.riempimentoMassimo * 100;

// The heights the chart marks, as the report marks them: the minimum
// flow's first, then those of the design flow and velocity.
std::vector<LivelloAcqua> livelli(const analisi::RisposteRichieste& richieste) {
    std::vector<LivelloAcqua> esito;
    for (const analisi::Ruolo ruolo : {analisi::Ruolo::Minima, analisi::Ruolo::Progetto}) {
        for (const analisi::RispostaEtichettata& riga : richieste.righe) {
            if (riga.ruolo == ruolo) {
                esito.push_back({QString::fromStdString(riga.etichetta), riga.risposta.altezza,
                                 ruolo == analisi::Ruolo::Minima});
            }
        }
    }
    return esito;
}

QString nomeGeometria(formule::Geometria geometria) {
    return geometria == formule::Geometria::Esatta ? "esatta" : "tabellare";
}

QLineEdit* casella(const QString& suggerimento) {
    auto* c = new QLineEdit;
    c->setPlaceholderText(suggerimento);
    c->setAlignment(Qt::AlignRight);
    c->setMaximumWidth(110);
    return c;
}

} // namespace

FinestraAnalisi::FinestraAnalisi(Collegamento collegamento, QWidget* parent)
    : QMainWindow(parent), portata(casella("nessuna")), portataMinima(casella("nessuna")),
      velocita(casella("nessuna")), geometria(new QComboBox), resistenza(new SceltaResistenza),
      velocitaMinima(casella("")), velocitaMassima(casella("")), riempimentoMassimo(casella("")),
      grafico(new GraficoDeflusso), disegno(new DisegnoSezione), tabella(new QTableWidget),
      stato(new QLabel), puntatore(new QLabel), esporta(new QPushButton("Esporta grafico…")),
      aggiungi(new QPushButton("Aggiungi alla relazione")), collegamento_(std::move(collegamento)) {
    setWindowTitle("Scala di deflusso e verifiche");
    setWindowFlag(Qt::Window);
    avvisa = [this](const QString& avviso) { QMessageBox::warning(this, windowTitle(), avviso); };
    costruisci();
    leggiImpostazioni();
    for (QLineEdit* c :
         {portata, portataMinima, velocita, velocitaMinima, velocitaMassima, riempimentoMassimo}) {
        connect(c, &QLineEdit::textChanged, this, [this] {
            salvaImpostazioni();
            ricalcola();
            emit verificheCambiate();
        });
    }
    connect(geometria, &QComboBox::currentIndexChanged, this, [this] {
        salvaImpostazioni();
        ricalcola();
        emit verificheCambiate();
    });
    connect(resistenza, &SceltaResistenza::cambiata, this, [this] {
        salvaImpostazioni();
        ricalcola();
        emit verificheCambiate();
    });
    connect(grafico, &GraficoDeflusso::altezzaIndicata, this, &FinestraAnalisi::mostraAltezza);
    connect(esporta, &QPushButton::clicked, this, [this] {
        QString filtro;
        const QString scelto = QFileDialog::getSaveFileName(
            this, "Esporta grafico", "scala-di-deflusso.png",
            "Immagine PNG (*.png);;Disegno SVG (*.svg);;Documento PDF (*.pdf)", &filtro);
        if (scelto.isEmpty()) {
            return;
        }
        // A name with no extension takes the filter's; any other extension
        // is the user's choice, refused if it is not one of the three.
        const bool senzaEstensione = QFileInfo(scelto).suffix().isEmpty();
        esportaGrafico(!senzaEstensione         ? scelto
                       : filtro.contains("svg") ? scelto + ".svg"
                       : filtro.contains("pdf") ? scelto + ".pdf"
                                                : scelto + ".png");
    });
    connect(aggiungi, &QPushButton::clicked, this, &FinestraAnalisi::aggiungiAllaRelazione);
    resize(1280, 800);
    ricalcola();
}

void FinestraAnalisi::adattaAlloSpazio(const QRect& disponibile) {
    // Before its first showing the window's frame is unknown: the main
    // window's, drawn by the same window manager, stands in for it.
    QSize cornice = frameGeometry().size() - size();
    if (parentWidget() != nullptr) {
        const QWidget* principale = parentWidget()->window();
        cornice = cornice.expandedTo(principale->frameGeometry().size() - principale->size());
    }
    const QSize massima = disponibile.size() - cornice;
    setMinimumSize(minimumSizeHint().boundedTo(massima));
    resize(size().boundedTo(massima));
    if (!disponibile.contains(QRect(pos(), size() + cornice))) {
        move(QStyle::alignedRect(layoutDirection(), Qt::AlignCenter, size() + cornice, disponibile)
                 .topLeft());
    }
}

void FinestraAnalisi::showEvent(QShowEvent* evento) {
    // Opened from the main window: on its screen, within what the desktop
    // leaves free.
    if (!evento->spontaneous()) {
        const QWidget* principale = parentWidget() != nullptr ? parentWidget()->window() : this;
        adattaAlloSpazio(principale->screen()->availableGeometry());
    }
    mostraSeInAttesa();
    QMainWindow::showEvent(evento);
}

void FinestraAnalisi::costruisci() {
    geometria->addItem("tabellare");
    geometria->addItem("esatta");
    geometria->setItemData(0, "Le formule della tabella, con le loro costanti arrotondate",
                           Qt::ToolTipRole);
    geometria->setItemData(1, "Il profilo vero a quattro archi, senza costanti arrotondate",
                           Qt::ToolTipRole);

    auto* progetto = new QGroupBox("Dati di progetto");
    auto* moduloProgetto = new QFormLayout(progetto);
    // Narrowed, a box goes under its label.
    moduloProgetto->setRowWrapPolicy(QFormLayout::WrapLongRows);
    moduloProgetto->addRow("Portata di progetto (l/s)", portata);
    moduloProgetto->addRow("Portata minima (l/s)", portataMinima);
    moduloProgetto->addRow("Velocità di progetto (cm/s)", velocita);
    moduloProgetto->addRow("Geometria", geometria);

    auto* verifiche = new QGroupBox("Limiti da verificare");
    auto* moduloLimiti = new QFormLayout(verifiche);
    moduloLimiti->setRowWrapPolicy(QFormLayout::WrapLongRows);
    moduloLimiti->addRow(
        QString("Velocità minima di autopulizia (cm/s)\nproposta: %1").arg(velocitaMinimaProposta),
        velocitaMinima);
    moduloLimiti->addRow(
        QString("Velocità massima ammessa (cm/s)\nproposta: %1").arg(velocitaMassimaProposta),
        velocitaMassima);
    moduloLimiti->addRow(
        QString("Riempimento massimo h/H (%)\nproposta: %1").arg(riempimentoMassimoProposto),
        riempimentoMassimo);
    auto* proposte = new QPushButton("Ripristina le proposte");
    connect(proposte, &QPushButton::clicked, this, &FinestraAnalisi::ripristinaProposte);
    moduloLimiti->addRow(proposte);

    auto* colonnaSinistra = new QVBoxLayout;
    colonnaSinistra->addWidget(progetto);
    colonnaSinistra->addWidget(resistenza);
    colonnaSinistra->addWidget(verifiche);
    stato->setWordWrap(true);
    colonnaSinistra->addWidget(stato);
    colonnaSinistra->addWidget(new QLabel("Sezione in scala, acqua all'altezza indicata:"));
    colonnaSinistra->addWidget(disegno, 1);
    puntatore->setWordWrap(true);
    colonnaSinistra->addWidget(puntatore);
    auto* sinistra = new QWidget;
    sinistra->setLayout(colonnaSinistra);
    // On a small screen the inputs scroll up and down rather than crowd the
    // chart; narrowed, they stand under their labels.
    auto* scorrimento = new QScrollArea;
    scorrimento->setWidget(sinistra);
    scorrimento->setWidgetResizable(true);
    scorrimento->setFrameShape(QFrame::NoFrame);
    scorrimento->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scorrimento->setMinimumWidth(sinistra->minimumSizeHint().width() +
                                 scorrimento->verticalScrollBar()->sizeHint().width());

    tabella->setColumnCount(static_cast<int>(titoliAnalisi().size()));
    QStringList titoli;
    for (const std::string& t : titoliAnalisi()) {
        titoli << QString::fromStdString(t);
    }
    tabella->setHorizontalHeaderLabels(titoli);
    tabella->verticalHeader()->setVisible(false);
    tabella->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Every column as wide as its texts, the verdict too: a narrow table
    // scrolls sideways rather than cut a verdict short.
    tabella->setWordWrap(false);
    tabella->horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
    tabella->setMinimumHeight(120);

    auto* destra = new QSplitter(Qt::Vertical);
    destra->addWidget(grafico);
    destra->addWidget(tabella);
    destra->setStretchFactor(0, 3);
    destra->setStretchFactor(1, 1);
    destra->setSizes({520, 220});
    destra->setChildrenCollapsible(false);

    auto* corpo = new QSplitter(Qt::Horizontal);
    corpo->addWidget(scorrimento);
    corpo->addWidget(destra);
    corpo->setStretchFactor(0, 0);
    corpo->setStretchFactor(1, 1);
    corpo->setChildrenCollapsible(false);

    auto* pulsanti = new QHBoxLayout;
    pulsanti->addStretch(1);
    pulsanti->addWidget(esporta);
    pulsanti->addWidget(aggiungi);

    auto* tutto = new QVBoxLayout;
    tutto->addWidget(corpo, 1);
    tutto->addLayout(pulsanti);
    auto* centro = new QWidget;
    centro->setLayout(tutto);
    setCentralWidget(centro);
}

void FinestraAnalisi::leggiImpostazioni() {
    const QSettings s = impostazioni();
    const QSignalBlocker b1(portata), b2(velocita), b3(geometria), b4(velocitaMinima),
        b5(velocitaMassima), b6(riempimentoMassimo), b7(portataMinima);
    portata->setText(s.value("analisi/portata").toString());
    portataMinima->setText(s.value("analisi/portataMinima").toString());
    velocita->setText(s.value("analisi/velocita").toString());
    geometria->setCurrentIndex(s.value("analisi/geometria", 0).toInt() == 1 ? 1 : 0);
    {
        const QSignalBlocker b8(resistenza);
        progetto::Verifiche v;
        v.legge = s.value("analisi/legge", "bazin").toString().toStdString();
        v.scabrezza.testo = s.value("analisi/scabrezza").toString().toStdString();
        v.temperatura.testo = s.value("analisi/temperatura", "15").toString().toStdString();
        resistenza->imposta(v);
    }
    velocitaMinima->setText(
        s.value("limiti/velocitaMinima", QString::number(velocitaMinimaProposta)).toString());
    velocitaMassima->setText(
        s.value("limiti/velocitaMassima", QString::number(velocitaMassimaProposta)).toString());
    riempimentoMassimo->setText(
        s.value("limiti/riempimentoMassimo", QString::number(riempimentoMassimoProposto))
            .toString());
}

void FinestraAnalisi::salvaImpostazioni() const {
    QSettings s = impostazioni();
    s.setValue("analisi/portata", portata->text());
    s.setValue("analisi/portataMinima", portataMinima->text());
    s.setValue("analisi/velocita", velocita->text());
    s.setValue("analisi/geometria", geometria->currentIndex());
    progetto::Verifiche v;
    resistenza->scriviIn(v);
    s.setValue("analisi/legge", QString::fromStdString(v.legge));
    s.setValue("analisi/scabrezza", QString::fromStdString(v.scabrezza.testo));
    s.setValue("analisi/temperatura", QString::fromStdString(v.temperatura.testo));
    s.setValue("limiti/velocitaMinima", velocitaMinima->text());
    s.setValue("limiti/velocitaMassima", velocitaMassima->text());
    s.setValue("limiti/riempimentoMassimo", riempimentoMassimo->text());
}

progetto::Verifiche FinestraAnalisi::verifiche() const {
    const auto casella = [](const QLineEdit* c) {
        return progetto::Casella::daTesto(c->text().toStdString());
    };
    progetto::Verifiche v;
    v.geometria = geometria->currentIndex() == 1 ? "esatta" : "tabellare";
    v.portataProgetto = casella(portata);
    v.portataMinima = casella(portataMinima);
    v.velocitaProgetto = casella(velocita);
    v.velocitaMinima = casella(velocitaMinima);
    v.velocitaMassima = casella(velocitaMassima);
    v.riempimentoMassimo = casella(riempimentoMassimo);
    resistenza->scriviIn(v);
    return v;
}

void FinestraAnalisi::impostaVerifiche(const progetto::Verifiche& v) {
    geometria->setCurrentIndex(v.geometria == "esatta" ? 1 : 0);
    portata->setText(QString::fromStdString(v.portataProgetto.testo));
    portataMinima->setText(QString::fromStdString(v.portataMinima.testo));
    velocita->setText(QString::fromStdString(v.velocitaProgetto.testo));
    velocitaMinima->setText(QString::fromStdString(v.velocitaMinima.testo));
    velocitaMassima->setText(QString::fromStdString(v.velocitaMassima.testo));
    riempimentoMassimo->setText(QString::fromStdString(v.riempimentoMassimo.testo));
    resistenza->imposta(v);
}

void FinestraAnalisi::ripristinaProposte() {
    velocitaMinima->setText(QString::number(velocitaMinimaProposta));
    velocitaMassima->setText(QString::number(velocitaMassimaProposta));
    riempimentoMassimo->setText(QString::number(riempimentoMassimoProposto));
}

QString FinestraAnalisi::numero(double valore, const char* modello) const {
    return QString::fromStdString(Format(valore, modello, separatore_));
}

// The words and figures change with the separator; what they say does not.
void FinestraAnalisi::impostaSeparatore(Separatore separatore) {
    if (separatore != separatore_) {
        separatore_ = separatore;
        disegno->impostaSeparatore(separatore);
        mostraOAttendi();
    }
}

void FinestraAnalisi::impostaTabella(std::optional<calcolo::Tabella> tabella) {
    tabella_ = std::move(tabella);
    ricalcola();
}

void FinestraAnalisi::ricalcola() {
    progetto::Progetto progetto;
    progetto.verifiche = verifiche();
    sezione_ = valutazione::sezioneDi(progetto, tabella_);
    segnalaCaselle();
    mostraOAttendi();
}

// A hidden window is drawn when it is shown again: a report asks it for
// its evaluation alone, and its chart of a thousand rows would be drawn for
// no one.
void FinestraAnalisi::mostraOAttendi() {
    inAttesa_ = !isVisible();
    if (!inAttesa_) {
        mostra();
    }
}

void FinestraAnalisi::mostraSeInAttesa() {
    if (inAttesa_) {
        inAttesa_ = false;
        mostra();
    }
}

// Each box that does not read gets a red frame and its reason: a design
// value or limit that is not wholly a positive number, a filling the
// evaluation did not take, the law's box that stops the answers.
void FinestraAnalisi::segnalaCaselle() {
    const auto segnala = [](QLineEdit* casella, const std::optional<std::string>& motivo) {
        segnalaCasella(casella, motivo ? Lettura::Rifiutata : Lettura::Buona, motivo.value_or(""));
    };
    for (QLineEdit* c : {portata, portataMinima, velocita, velocitaMinima, velocitaMassima}) {
        segnala(c, leggiNumeroPositivo(c->text().toStdString()).motivo);
    }
    const NumeroLetto riempimento = leggiNumeroPositivo(riempimentoMassimo->text().toStdString());
    segnala(
        riempimentoMassimo,
        riempimento.valore && *riempimento.valore / 100 != sezione_.limiti.riempimentoMassimo
            ? std::optional<std::string>("Il riempimento è una parte dell'altezza: al più 100 %.")
            : riempimento.motivo);
    resistenza->segnala(sezione_.legge);
}

void FinestraAnalisi::mostra() {
    const valutazione::Sezione& s = sezione_;
    if (!tabella_) {
        svuota("Nessuna sezione: la finestra principale non ha una tabella (raggio, pendenza, "
               "incremento e coefficiente devono essere positivi).");
        return;
    }
    if (s.impedimento) {
        svuota(QString::fromStdString("Nessuna risposta: non si legge " +
                                      valutazione::testoCasella(*s.impedimento) + "."));
        return;
    }
    if (!s.risposte) {
        svuota(QString::fromStdString("Nessuna risposta: " + s.errore + "."));
        return;
    }
    // A value no text can be made of, or a fault of the formulas at a row
    // of the chart: nothing shown rather than part of it.
    try {
        mostraTabella();
        std::string messaggi;
        for (const std::string& m : messaggiAnalisi(*s.risposte, s.richieste, s.limiti,
                                                    s.illeggibili.empty(), separatore_)) {
            messaggi.append(messaggi.empty() ? "" : " ").append(m);
        }
        mostraStato(QString::fromStdString(messaggi));
        mostraGrafico();
    } catch (const ErroreRuntime& errore) {
        svuota(QString("Errore %1: %2")
                   .arg(errore.numero())
                   .arg(QString::fromStdString(errore.descrizione())));
        return;
    }
    const analisi::RisposteRichieste& r = s.richieste;
    mostraAltezza(!r.altezzePortata.empty()    ? r.altezzePortata.front().altezza
                  : !r.altezzeVelocita.empty() ? r.altezzeVelocita.front().altezza
                  : r.altezzaMinima            ? r.altezzaMinima->altezza
                                               : s.risposte->portataMassima().altezza);
}

void FinestraAnalisi::mostraTabella() {
    const std::vector<RigaAnalisi>& righe = sezione_.righe;
    tabella->setRowCount(static_cast<int>(righe.size()));
    for (int r = 0; r < static_cast<int>(righe.size()); ++r) {
        const RigaAnalisi& riga = righe[static_cast<std::size_t>(r)];
        const std::vector<std::string> testi = testiAnalisi(riga, separatore_);
        for (int c = 0; c < static_cast<int>(testi.size()); ++c) {
            auto* cella =
                new QTableWidgetItem(QString::fromStdString(testi[static_cast<std::size_t>(c)]));
            cella->setTextAlignment(c == 0 ? Qt::AlignLeft | Qt::AlignVCenter
                                           : Qt::AlignRight | Qt::AlignVCenter);
            if (riga.esito && !riga.esito->conforme()) {
                cella->setBackground(QColor(248, 208, 208));
            }
            tabella->setItem(r, c, cella);
        }
    }
    tabella->resizeColumnsToContents();
}

// The curves of the table's rows under the answers' law, with the heights
// and maxima the evaluation found.
void FinestraAnalisi::mostraGrafico() {
    const valutazione::Sezione& s = sezione_;
    const analisi::Sezione& sezione = *s.sezione;
    DatiScala dati;
    dati.sezione = sezione;
    dati.livelli = livelli(s.richieste);
    dati.limiti = s.limiti;
    dati.massimi = MassimiScala{s.risposte->portataMassima(), s.risposte->velocitaMassima()};
    dati.separatore = separatore_;
    dati.titolo = QString("Sezione inglese %1 cm · i = %2 · %3 · geometria %4")
                      .arg(QString::fromStdString(TestoSezione(sezione.raggio * 100, separatore_)),
                           numero(sezione.pendenza, "#0.###0"),
                           QString::fromStdString(testoResistenza(sezione.resistenza, separatore_)),
                           nomeGeometria(sezione.geometria));
    dati.righeTabella = analisi::righeTabellaConLegge(*tabella_, sezione.resistenza);
    grafico->imposta(dati);
}

void FinestraAnalisi::svuota(const QString& motivo) {
    tabella->setRowCount(0);
    grafico->svuota();
    disegno->imposta(0, 0);
    puntatore->clear();
    mostraStato(motivo);
}

// Under the inputs it speaks of, taking no room when it has nothing to say.
void FinestraAnalisi::mostraStato(const QString& testo) {
    stato->setText(testo);
    stato->setVisible(!testo.isEmpty());
}

// The heights the pointer names on the chart, with the section's values there.
void FinestraAnalisi::mostraAltezza(double altezza) {
    if (!sezione_.risposte) {
        return;
    }
    const analisi::Sezione& sezione = *sezione_.sezione;
    disegno->imposta(sezione.raggio, altezza);
    try {
        const analisi::Grandezze g = analisi::grandezze(sezione, altezza);
        puntatore->setText(QString("h = %1 cm (h/H %2%)\nQ = %3 l/s, V = %4 cm/s")
                               .arg(numero(altezza * 100, "###0.#0"),
                                    numero(altezza / sezione.altezzaPiena() * 100, "##0.0"),
                                    numero(g.portata * 1000, "#####0.#0"),
                                    numero(g.velocita * 100, "###0.#0")));
    } catch (const ErroreRuntime&) {
        puntatore->clear();
    }
}

void FinestraAnalisi::esportaGrafico(const QString& percorso) {
    mostraSeInAttesa();
    const QString estensione = QFileInfo(percorso).suffix().toLower();
    QByteArray contenuto;
    if (estensione == "png") {
        QBuffer contenitore(&contenuto);
        contenitore.open(QIODevice::WriteOnly);
        if (!grafico->immagine().save(&contenitore, "PNG")) {
            avvisa(QString("Impossibile esportare «%1»: l'immagine non si è potuta comporre.")
                       .arg(percorso));
            return;
        }
    } else if (estensione == "svg") {
        contenuto = grafico->svg();
    } else if (estensione == "pdf") {
        contenuto = grafico->pdf();
    } else {
        avvisa(QString("Impossibile esportare «%1»: usare .png, .svg o .pdf.").arg(percorso));
        return;
    }
    try {
        scriviFileIntero(
            QFile::encodeName(percorso).toStdString(),
            std::string_view(contenuto.constData(), static_cast<std::size_t>(contenuto.size())));
    } catch (const ErroreFile& errore) {
        avvisa(QString::fromStdString(errore.what()));
    }
}

void FinestraAnalisi::aggiungiAllaRelazione() {
    mostraSeInAttesa();
    const valutazione::Sezione& s = sezione_;
    if (!s.risposte || tabella->rowCount() == 0) {
        avvisa("Nessuna risposta da aggiungere: la finestra principale non ha una tabella.");
        return;
    }
    ElaboratoreTesti* elaboratore = nullptr;
    try {
        elaboratore = collegamento_.ElaboratoreVisibile();
    } catch (const ErroreRuntime& errore) {
        avvisa(QString::fromStdString(errore.descrizione()));
        return;
    }
    if (elaboratore->documenti().empty()) {
        elaboratore->aggiungiDocumento();
    }

    const analisi::Sezione& analizzata = *s.sezione;
    const auto come = [this](double valore) {
        return QString::fromStdString(Format(valore, separatore_));
    };
    SezioneRelazione sezione;
    sezione.titolo = "SCALA DI DEFLUSSO E VERIFICHE";
    // The section named in words: the document may hold other cases too.
    sezione.righe.push_back(
        QString("Sezione inglese %1 cm, pendenza %2")
            .arg(QString::fromStdString(TestoSezione(analizzata.raggio * 100, separatore_)),
                 come(analizzata.pendenza)));
    sezione.righe.push_back(QString("Geometria: %1").arg(nomeGeometria(analizzata.geometria)));
    sezione.righe.push_back(
        QString("Legge di resistenza: %1, %2")
            .arg(QString::fromStdString(
                     std::string(formule::nomeLegge(analizzata.resistenza.legge))),
                 QString::fromStdString(testoResistenza(analizzata.resistenza, separatore_))));
    if (s.portata) {
        sezione.righe.push_back(QString("Portata di progetto: %1 l/s").arg(come(*s.portata)));
    }
    if (s.velocita) {
        sezione.righe.push_back(QString("Velocità di progetto: %1 cm/s").arg(come(*s.velocita)));
    }
    if (s.portataMinima) {
        sezione.righe.push_back(
            QString("Portata minima (tempo secco): %1 l/s, verificata sulla sola velocità "
                    "minima di autopulizia")
                .arg(come(*s.portataMinima)));
    }
    const analisi::Limiti& l = s.limiti;
    sezione.righe.push_back(QString("Limiti: V minima %1 cm/s, V massima %2 cm/s, h/H massimo %3%")
                                .arg(numero(l.velocitaMinima * 100, "###0.#0"),
                                     numero(l.velocitaMassima * 100, "###0.#0"),
                                     numero(l.riempimentoMassimo * 100, "##0.0")));
    // Within the page's 17 cm, with room for the cells' padding and lines:
    // the label, ten numbers, the verdict in words.
    sezione.larghezzeColonneCm.assign(titoliAnalisi().size(), 1.1);
    sezione.larghezzeColonneCm.front() = 1.2;
    sezione.larghezzeColonneCm.back() = 3.3;
    sezione.tabella.push_back(titoliAnalisi());
    for (const RigaAnalisi& riga : s.righe) {
        sezione.tabella.push_back(testiAnalisi(riga, separatore_));
    }
    sezione.immagine = grafico->immagine();
    ::aggiungiAllaRelazione(*elaboratore->documentoAttivo(), sezione);
    elaboratore->impostaVisibile(true);
}
