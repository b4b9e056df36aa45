#include <QApplication>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <optional>

// The tests that drive widgets share one application, on the offscreen
// platform unless told otherwise, with settings of their own that the
// user's are never mixed with.
int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    // A death test's child starts this program again and leaves without
    // clearing up: it keeps the settings folder of the test that started it.
    std::optional<QTemporaryDir> impostazioni;
    if (!qEnvironmentVariableIsSet("SEZIONE_IMPOSTAZIONI_DI_PROVA")) {
        impostazioni.emplace();
        qputenv("SEZIONE_IMPOSTAZIONI_DI_PROVA", "1");
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(impostazioni->path()));
    }
    QApplication applicazione(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
