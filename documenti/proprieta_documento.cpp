#include "documenti/proprieta_documento.h"

#include <QTextDocument>
#include <QVariant>

namespace {

constexpr const char* titolo = "sezione.titolo";
constexpr const char* autore = "sezione.autore";
constexpr const char* soggetto = "sezione.soggetto";
constexpr const char* intestazione = "sezione.intestazione";

} // namespace

void impostaProprieta(QTextDocument& documento, const ProprietaDocumento& proprieta) {
    documento.setProperty(titolo, proprieta.titolo);
    documento.setProperty(autore, proprieta.autore);
    documento.setProperty(soggetto, proprieta.soggetto);
    documento.setProperty(intestazione, proprieta.intestazione);
}

ProprietaDocumento proprietaDi(const QTextDocument& documento) {
    return {documento.property(titolo).toString(), documento.property(autore).toString(),
            documento.property(soggetto).toString(), documento.property(intestazione).toString()};
}
