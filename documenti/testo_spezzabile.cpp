#include "documenti/testo_spezzabile.h"

namespace {

// Longer than any Italian word, or a number the reports write.
constexpr qsizetype parolaMassima = 40;

constexpr char16_t spazioNullo = 0x200B;

} // namespace

QString testoSpezzabile(const QString& testo) {
    QString esito;
    qsizetype inizio = 0;
    const auto copiaRun = [&](qsizetype fine) {
        if (fine - inizio <= parolaMassima) {
            esito += QStringView(testo).mid(inizio, fine - inizio);
            return;
        }
        for (qsizetype i = inizio; i < fine; ++i) {
            esito += testo[i];
            // Never between the halves of a surrogate pair.
            if (i + 1 < fine && !testo[i].isHighSurrogate()) {
                esito += QChar(spazioNullo);
            }
        }
    };
    for (qsizetype i = 0; i < testo.size(); ++i) {
        if (testo[i].isSpace()) {
            copiaRun(i);
            esito += testo[i];
            inizio = i + 1;
        }
    }
    copiaRun(testo.size());
    return esito;
}
