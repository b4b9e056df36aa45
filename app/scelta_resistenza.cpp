#include "app/scelta_resistenza.h"

#include "analisi/valori_indicativi.h"
#include "app/casella_segnalata.h"
#include "numeri/conversioni.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>

#include <algorithm>

namespace {

QString q(std::string_view testo) {
    return QString::fromUtf8(testo.data(), static_cast<qsizetype>(testo.size()));
}

} // namespace

SceltaResistenza::SceltaResistenza(QWidget* parent)
    : QGroupBox("Resistenza al moto", parent), legge(new QComboBox), scabrezza(new QComboBox),
      temperatura(new QLineEdit("15")), etichettaCoefficiente(new QLabel),
      indicativi(new QLabel("valori indicativi nell'elenco")) {
    for (const formule::Legge l : formule::tutteLeLeggi) {
        legge->addItem(q(formule::nomeLegge(l)), q(formule::chiaveLegge(l)));
    }
    scabrezza->setEditable(true);
    scabrezza->setInsertPolicy(QComboBox::NoInsert);
    scabrezza->setCompleter(nullptr);
    scabrezza->setMinimumContentsLength(8);
    scabrezza->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    temperatura->setAlignment(Qt::AlignRight);
    temperatura->setMaximumWidth(110);

    auto* modulo = new QFormLayout(this);
    modulo->setRowWrapPolicy(QFormLayout::WrapLongRows);
    modulo->addRow("Legge", legge);
    modulo->addRow(etichettaCoefficiente, scabrezza);
    modulo->addRow(indicativi);
    modulo->addRow("Temperatura dell'acqua (°C)", temperatura);
    riempiValori();

    connect(legge, &QComboBox::currentIndexChanged, this, [this] {
        riempiValori();
        emit cambiata();
    });
    connect(scabrezza, &QComboBox::editTextChanged, this, &SceltaResistenza::cambiata);
    // After a choice the value, at the start of the entry, stays in view.
    connect(scabrezza, &QComboBox::activated, this,
            [this] { scabrezza->lineEdit()->setCursorPosition(0); });
    connect(temperatura, &QLineEdit::textChanged, this, &SceltaResistenza::cambiata);
}

formule::Legge SceltaResistenza::leggeScelta() const {
    return formule::leggeDaChiave(legge->currentData().toString().toStdString())
        .value_or(formule::Legge::Bazin);
}

// The law's typical values, its coefficient's name and unit; a new law
// starts with an empty coefficient.
void SceltaResistenza::riempiValori() {
    const formule::Legge l = leggeScelta();
    const QSignalBlocker blocco(scabrezza);
    scabrezza->clear();
    // The open list shows every entry whole, however narrow the box.
    int larghezza = 0;
    for (const analisi::ValoreIndicativo& v : analisi::valoriIndicativi(l)) {
        const QString voce = QString("%1: %2").arg(q(CStr(v.valore)), v.descrizione);
        scabrezza->addItem(voce);
        larghezza = std::max(larghezza, scabrezza->view()->fontMetrics().horizontalAdvance(voce));
    }
    scabrezza->view()->setMinimumWidth(larghezza + 40);
    scabrezza->setCurrentIndex(-1);
    scabrezza->setEditText(QString());
    scabrezza->lineEdit()->setPlaceholderText(
        l == formule::Legge::Bazin ? QString("γ della tabella")
                                   : QString("%1 (%2)").arg(q(formule::simboloCoefficiente(l)),
                                                            q(formule::unitaCoefficiente(l))));
    etichettaCoefficiente->setText(
        QString("Coefficiente %1 (%2)")
            .arg(q(formule::simboloCoefficiente(l)), q(formule::unitaCoefficiente(l))));
    indicativi->setToolTip(QString("Fonte: %1").arg(analisi::fonteValoriIndicativi(l)));
    temperatura->setEnabled(l == formule::Legge::Colebrook);
}

void SceltaResistenza::segnala(const progetto::LeggeLetta& letta) {
    const auto casella = [&](QWidget* c, const char* chiave) {
        const bool sbagliata = letta.chiave != nullptr && std::string_view(letta.chiave) == chiave;
        segnalaCasella(c, sbagliata ? Lettura::Rifiutata : Lettura::Buona,
                       sbagliata ? letta.motivo : std::string());
    };
    casella(scabrezza, "scabrezza");
    casella(temperatura, "temperatura");
}

void SceltaResistenza::scriviIn(progetto::Verifiche& v) const {
    v.legge = legge->currentData().toString().toStdString();
    v.scabrezza = progetto::Casella::daTesto(scabrezza->currentText().toStdString());
    v.temperatura = progetto::Casella::daTesto(temperatura->text().toStdString());
}

void SceltaResistenza::imposta(const progetto::Verifiche& v) {
    legge->setCurrentIndex(std::max(0, legge->findData(QString::fromStdString(v.legge))));
    scabrezza->setEditText(QString::fromStdString(v.scabrezza.testo));
    temperatura->setText(QString::fromStdString(v.temperatura.testo));
}
