#include "cli/esecuzione.h"

#include <QGuiApplication>

#include <iostream>

namespace {

// Standard error carries the program's own Italian messages only.
void soloErroriGravi(QtMsgType tipo, const QMessageLogContext&, const QString& testo) {
    if (tipo == QtCriticalMsg || tipo == QtFatalMsg) {
        std::cerr << testo.toStdString() << '\n';
    }
}

} // namespace

int main(int argc, char** argv) {
    // Read before Qt sees them: Qt would take options such as --platform.
    const std::vector<std::string> argomenti(argv + 1, argv + argc);
    // The report is laid out without a window, display or not.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(soloErroriGravi);
    int argcQt = 1;
    QGuiApplication applicazione(argcQt, argv);
    return eseguiCli(argomenti, std::cout, std::cerr);
}
