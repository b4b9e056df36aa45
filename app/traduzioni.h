#pragma once

class QCoreApplication;

// Qt's own dialogs (files, questions, printing) speak Italian whatever the
// user's locale: Qt's Italian translations are loaded, and Italian is the
// default locale. Returns whether the translations were found.
bool installaTraduzioniQt(QCoreApplication& applicazione);
