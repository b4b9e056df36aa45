#include "app/form_principale.h"
#include "app/traduzioni.h"
#include "versione.h"

#include <QApplication>
#include <QIcon>

#include <csignal>
#include <cstdio>
#include <cstdlib>

namespace {

// Qt would abort without a display; say what to do instead.
bool schermoDisponibile() {
    const auto impostata = [](const char* variabile) {
        const char* valore = std::getenv(variabile);
        return valore != nullptr && *valore != '\0';
    };
    return impostata("DISPLAY") || impostata("WAYLAND_DISPLAY") || impostata("QT_QPA_PLATFORM");
}

} // namespace

int main(int argc, char** argv) {
    if (!schermoDisponibile()) {
        std::fputs("sezione-inglese: nessuno schermo disponibile; per i risultati senza finestra "
                   "usare sezione-inglese-cli (vedere --help)\n",
                   stderr);
        return 1;
    }
    // A file beyond the size allowed is a write that fails, reported and
    // cleaned up, not the end of the program.
    std::signal(SIGXFSZ, SIG_IGN);
    QApplication applicazione(argc, argv);
    QApplication::setApplicationName("sezione-inglese");
    QApplication::setApplicationVersion(versioneProgramma);
    // The icon the package installs, and the menu entry it belongs to.
    QGuiApplication::setDesktopFileName("it.sezioneinglese.SezioneInglese");
    QApplication::setWindowIcon(QIcon::fromTheme("it.sezioneinglese.SezioneInglese"));
    installaTraduzioniQt(applicazione);
    FormPrincipale finestra;
    // A project named on the command line, as the desktop passes it on a
    // double click (Qt has already taken its own options out of argv).
    if (argc > 1) {
        finestra.apriAllAvvio(argv[1]);
    }
    finestra.show();
    return QApplication::exec();
}
