#include "cli/esecuzione.h"

#include <QGuiApplication>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <iostream>
#include <unistd.h>

namespace {

// Standard error carries the program's own Italian messages only.
void soloErroriGravi(QtMsgType tipo, const QMessageLogContext&, const QString& testo) {
    if (tipo == QtCriticalMsg || tipo == QtFatalMsg) {
        std::cerr << testo.toStdString() << '\n';
    }
}

// A standard stream that was closed would be taken by the next file opened,
// and the results would go into it: each gets /dev/null instead. A closed
// standard output is still an output that cannot be written.
void occupaFlussiChiusi() {
    for (int flusso = STDIN_FILENO; flusso <= STDERR_FILENO; ++flusso) {
        if (::fcntl(flusso, F_GETFD) == -1 && errno == EBADF) {
            const int nullo = ::open("/dev/null", flusso == STDIN_FILENO ? O_RDONLY : O_WRONLY);
            if (nullo >= 0 && nullo != flusso) {
                ::dup2(nullo, flusso);
                ::close(nullo);
            }
            if (flusso == STDOUT_FILENO) {
                std::cout.setstate(std::ios::badbit);
            }
        }
    }
}

} // namespace

int main(int argc, char** argv) {
    occupaFlussiChiusi();
    // A file beyond the size allowed is a write that fails, reported and
    // cleaned up, not the end of the program.
    std::signal(SIGXFSZ, SIG_IGN);
    // A reader that went away (`| head`) is an output that cannot be
    // written, said as such, not a silent death.
    std::signal(SIGPIPE, SIG_IGN);
    // Read before Qt sees them: Qt would take options such as --platform.
    const std::vector<std::string> argomenti(argv + 1, argv + argc);
    // The report is laid out without a window, display or not.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(soloErroriGravi);
    int argcQt = 1;
    QGuiApplication applicazione(argcQt, argv);
    return eseguiCli(argomenti, std::cout, std::cerr);
}
