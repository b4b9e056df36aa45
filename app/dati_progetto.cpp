#include "app/dati_progetto.h"

#include "app/casella_segnalata.h"
#include "file/caratteri_ammessi.h"

#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <optional>
#include <string>
#include <vector>

namespace {

QLineEdit* casellaDiTesto(const std::string& testo) {
    auto* casella = new QLineEdit(QString::fromStdString(testo));
    // Qt's own limit, 32767, would cut a longer text the file holds.
    casella->setMaxLength(static_cast<int>(progetto::testoMassimo));
    casella->setMinimumWidth(360);
    return casella;
}

QPlainTextEdit* testoLungo(const std::string& testo) {
    auto* casella = new QPlainTextEdit(QString::fromStdString(testo));
    casella->setTabChangesFocus(true);
    casella->setFixedHeight(72);
    return casella;
}

// Why a box's text cannot be confirmed, or empty: a text longer than a
// project holds, or a character a name or a note may not hold.
std::string motivoTesto(const QString& testo, Righe righe) {
    if (testo.toStdU32String().size() > progetto::testoMassimo) {
        return "Il testo supera " + std::to_string(progetto::testoMassimo) +
               " caratteri: accorcialo per confermare.";
    }
    if (const std::optional<std::string> motivo = caratteriNonAmmessi(testo.toStdString(), righe)) {
        return "Il testo " + *motivo + ": toglilo per confermare.";
    }
    return {};
}

} // namespace

std::optional<progetto::Dati> modificaDatiProgetto(QWidget* finestra, const progetto::Dati& dati,
                                                   bool conTratti) {
    QDialog dialogo(finestra);
    dialogo.setWindowTitle("Dati del progetto");
    auto* colonna = new QVBoxLayout(&dialogo);
    auto* modulo = new QFormLayout;
    colonna->addLayout(modulo);
    const auto riga = [](QFormLayout* dove, const char* etichetta, const std::string& testo) {
        QLineEdit* casella = casellaDiTesto(testo);
        dove->addRow(etichetta, casella);
        return casella;
    };
    QLineEdit* opera = riga(modulo, "&Opera:", dati.opera);
    QLineEdit* tratto = riga(modulo, "&Tratto:", dati.tratto);
    QLineEdit* committente = riga(modulo, "&Committente:", dati.committente);
    QLineEdit* progettista = riga(modulo, "&Progettista:", dati.progettista);
    QLineEdit* data = riga(modulo, "&Data:", dati.data);
    data->setPlaceholderText("GG/MM/AAAA");
    QPlainTextEdit* descrizione = testoLungo(dati.descrizione);
    modulo->addRow("D&escrizione dell'opera:", descrizione);
    QPlainTextEdit* note = testoLungo(dati.note);
    modulo->addRow("&Note:", note);

    auto* relazione = new QGroupBox("Relazione di calcolo");
    auto* criteri = new QFormLayout(relazione);
    const bool propostaSezione = !conTratti;
    auto* sezioneTipo = new QCheckBox("&Includi la sezione tipo");
    sezioneTipo->setChecked(dati.sezioneTipo.empty() ? propostaSezione : dati.sezioneTipo == "si");
    criteri->addRow(sezioneTipo);
    const progetto::Fonti& f = dati.fonti;
    QLineEdit* velocitaMinima = riga(criteri, "Fonte della velocità minima:", f.velocitaMinima);
    QLineEdit* velocitaMassima = riga(criteri, "Fonte della velocità massima:", f.velocitaMassima);
    QLineEdit* riempimento = riga(criteri, "Fonte del riempimento massimo:", f.riempimentoMassimo);
    QLineEdit* legge = riga(criteri, "Fonte della legge di resistenza:", f.legge);
    QLineEdit* allineamento = riga(criteri, "Fonte dell'allineamento:", f.allineamento);
    QLineEdit* ricoprimento = riga(criteri, "Fonte del ricoprimento minimo:", f.ricoprimento);
    colonna->addWidget(relazione);

    auto* pulsanti = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    QObject::connect(pulsanti, &QDialogButtonBox::accepted, &dialogo, &QDialog::accept);
    QObject::connect(pulsanti, &QDialogButtonBox::rejected, &dialogo, &QDialog::reject);
    colonna->addWidget(pulsanti);
    // A text the project could not read back, OK waits: one beyond the
    // project's length (the long texts have none of their own), or with a
    // character a name or a note may not hold.
    const std::vector<QLineEdit*> righe{opera, tratto,         committente,     progettista,
                                        data,  velocitaMinima, velocitaMassima, riempimento,
                                        legge, allineamento,   ricoprimento};
    const auto verifica = [=] {
        bool confermabile = true;
        const auto segnala = [&](QWidget* casella, const std::string& motivo) {
            segnalaCasella(casella, motivo.empty() ? Lettura::Buona : Lettura::Rifiutata, motivo);
            confermabile = confermabile && motivo.empty();
        };
        for (QLineEdit* casella : righe) {
            segnala(casella, motivoTesto(casella->text(), Righe::Una));
        }
        for (QPlainTextEdit* lungo : {descrizione, note}) {
            segnala(lungo, motivoTesto(lungo->toPlainText(), Righe::Piu));
        }
        pulsanti->button(QDialogButtonBox::Ok)->setEnabled(confermabile);
    };
    for (QLineEdit* casella : righe) {
        QObject::connect(casella, &QLineEdit::textChanged, &dialogo, verifica);
    }
    for (QPlainTextEdit* lungo : {descrizione, note}) {
        QObject::connect(lungo, &QPlainTextEdit::textChanged, &dialogo, verifica);
    }
    verifica();
    if (dialogo.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    const auto testo = [](const QLineEdit* c) { return c->text().toStdString(); };
    progetto::Dati nuovi = dati;
    nuovi.opera = testo(opera);
    nuovi.tratto = testo(tratto);
    nuovi.committente = testo(committente);
    nuovi.progettista = testo(progettista);
    nuovi.data = testo(data);
    nuovi.descrizione = descrizione->toPlainText().toStdString();
    nuovi.note = note->toPlainText().toStdString();
    // Left as proposed, the choice follows the reaches as they come and go.
    if (!(dati.sezioneTipo.empty() && sezioneTipo->isChecked() == propostaSezione)) {
        nuovi.sezioneTipo = sezioneTipo->isChecked() ? "si" : "no";
    }
    nuovi.fonti = {testo(velocitaMinima), testo(velocitaMassima), testo(riempimento),
                   testo(legge),          testo(allineamento),    testo(ricoprimento)};
    return nuovi;
}
