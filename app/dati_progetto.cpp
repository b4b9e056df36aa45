#include "app/dati_progetto.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

std::optional<progetto::Dati> modificaDatiProgetto(QWidget* finestra, const progetto::Dati& dati) {
    QDialog dialogo(finestra);
    dialogo.setWindowTitle("Dati del progetto");
    auto* modulo = new QFormLayout(&dialogo);
    const auto riga = [&](const char* etichetta, const std::string& testo) {
        auto* casella = new QLineEdit(QString::fromStdString(testo));
        // Qt's own limit, 32767, would cut a longer text the file holds.
        casella->setMaxLength(static_cast<int>(progetto::testoMassimo));
        casella->setMinimumWidth(320);
        modulo->addRow(etichetta, casella);
        return casella;
    };
    QLineEdit* opera = riga("&Opera:", dati.opera);
    QLineEdit* tratto = riga("&Tratto:", dati.tratto);
    QLineEdit* committente = riga("&Committente:", dati.committente);
    QLineEdit* progettista = riga("&Progettista:", dati.progettista);
    QLineEdit* data = riga("&Data:", dati.data);
    data->setPlaceholderText("GG/MM/AAAA");
    auto* note = new QPlainTextEdit(QString::fromStdString(dati.note));
    note->setTabChangesFocus(true);
    modulo->addRow("&Note:", note);
    auto* pulsanti = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    QObject::connect(pulsanti, &QDialogButtonBox::accepted, &dialogo, &QDialog::accept);
    QObject::connect(pulsanti, &QDialogButtonBox::rejected, &dialogo, &QDialog::reject);
    modulo->addRow(pulsanti);
    // The notes have no length of their own: beyond the project's, OK waits.
    QObject::connect(note, &QPlainTextEdit::textChanged, &dialogo, [note, pulsanti] {
        const bool entra = note->toPlainText().toStdU32String().size() <= progetto::testoMassimo;
        pulsanti->button(QDialogButtonBox::Ok)->setEnabled(entra);
        note->setToolTip(entra ? QString()
                               : QString("Le note superano %1 caratteri: accorciale per "
                                         "confermare.")
                                     .arg(progetto::testoMassimo));
    });
    if (dialogo.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    const auto testo = [](const QLineEdit* c) { return c->text().toStdString(); };
    return progetto::Dati{testo(opera),       testo(tratto), testo(committente),
                          testo(progettista), testo(data),   note->toPlainText().toStdString()};
}
