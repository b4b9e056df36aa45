#include "app/traduzioni.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <gtest/gtest.h>

// Qt's own buttons speak Italian whatever the locale the tests run in.
TEST(Traduzioni, PulsantiDiQtInItaliano) {
    ASSERT_TRUE(installaTraduzioniQt(*qApp));
    QMessageBox domanda(QMessageBox::Question, "", "", QMessageBox::Yes | QMessageBox::No);
    EXPECT_EQ(domanda.button(QMessageBox::Yes)->text().remove('&'), "Sì");
    EXPECT_EQ(domanda.button(QMessageBox::No)->text().remove('&'), "No");
    QMessageBox chiusura(QMessageBox::Question, "", "", QMessageBox::Discard | QMessageBox::Cancel);
    EXPECT_NE(chiusura.button(QMessageBox::Discard)->text().remove('&'), "Discard");
    EXPECT_EQ(chiusura.button(QMessageBox::Cancel)->text().remove('&'), "Annulla");
}
