#include "con_finestra.h"

#include "app/form_principale.h"

#include <QApplication>
#include <benchmark/benchmark.h>

namespace {
FormPrincipale* finestra = nullptr;
}

FormPrincipale& finestraDiProva() {
    return *finestra;
}

int eseguiConFinestra(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication applicazione(argc, argv);
    FormPrincipale form;
    finestra = &form;
    form.show();
    QCoreApplication::processEvents();

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
