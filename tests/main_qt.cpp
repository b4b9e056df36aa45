#include <QApplication>
#include <QTemporaryDir>
#include <gtest/gtest.h>

// The tests that drive widgets share one application, on the offscreen
// platform unless told otherwise, with settings of their own that the
// user's are never mixed with.
int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    const QTemporaryDir impostazioni;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(impostazioni.path()));
    QApplication applicazione(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
