#include "elaboratore/barra_avanzamento.h"

#include <QPointer>
#include <QProgressDialog>

#include <algorithm>
#include <memory>

namespace {

constexpr int passi = 1000;

// The dialog goes with the last copy of the function, unless its window
// took it first.
struct Dialogo {
    QPointer<QProgressDialog> barra;
    ~Dialogo() { delete barra.data(); }
};

} // namespace

Avanzamento::Ascolta barraAvanzamento(QWidget* genitore, const QString& testo) {
    auto dialogo = std::make_shared<Dialogo>();
    dialogo->barra = new QProgressDialog(testo, "Annulla", 0, passi, genitore);
    QProgressDialog& barra = *dialogo->barra;
    barra.setWindowTitle("Sezione inglese");
    barra.setWindowModality(Qt::ApplicationModal);
    barra.setMinimumDuration(1000);
    // Shown till the work returns, not hidden at its last step.
    barra.setAutoReset(false);
    barra.setAutoClose(false);
    return [dialogo](std::int64_t fatti, std::int64_t totale) {
        QProgressDialog* barra = dialogo->barra;
        if (barra == nullptr) {
            return true;
        }
        if (!barra->wasCanceled()) {
            // Once shown, a modal dialog handles the events here, the button's too.
            barra->setValue(static_cast<int>(fatti * passi / std::max<std::int64_t>(totale, 1)));
        }
        return !barra->wasCanceled();
    };
}
