#include "web/nucleo/json_scritto.h"

#include "numeri/caratteri_reali.h"

#include <cmath>

namespace web {

Oggetto& Oggetto::chiave(std::string_view chiave) {
    if (testo_.size() > 1) {
        testo_ += ',';
    }
    testo_ += json::stringa(chiave);
    testo_ += ':';
    return *this;
}

Oggetto& Oggetto::testo(std::string_view c, std::string_view valore) {
    chiave(c).testo_ += json::stringa(valore);
    return *this;
}

Oggetto& Oggetto::testoOpzionale(std::string_view c, const std::optional<std::string>& valore) {
    return valore ? testo(c, *valore) : grezzo(c, "null");
}

Oggetto& Oggetto::numero(std::string_view c, double valore) {
    return grezzo(c, numeroJson(valore));
}

Oggetto& Oggetto::vero(std::string_view c, bool valore) {
    return grezzo(c, valore ? "true" : "false");
}

Oggetto& Oggetto::grezzo(std::string_view c, std::string_view json) {
    chiave(c).testo_ += json;
    return *this;
}

std::string elenco(const std::vector<std::string>& elementi) {
    std::string testo = "[";
    for (const std::string& e : elementi) {
        testo.append(testo.size() > 1 ? "," : "").append(e);
    }
    return testo + ']';
}

std::string elencoDiTesti(const std::vector<std::string>& testi) {
    std::string testo = "[";
    for (const std::string& t : testi) {
        testo.append(testo.size() > 1 ? "," : "").append(json::stringa(t));
    }
    return testo + ']';
}

// Seventeen digits read back exactly; JSON has no infinities: a value
// beyond the doubles is no value.
std::string numeroJson(double valore) {
    char testo[32];
    return std::isfinite(valore)
               ? std::string(testo, caratteri::scientifico(testo, testo + sizeof testo, valore, 16))
               : "null";
}

const json::Valore& membroDi(const json::Valore& oggetto, std::string_view chiave) {
    static const json::Valore nessuno;
    const json::Valore* membro = oggetto.membro(chiave);
    return membro != nullptr ? *membro : nessuno;
}

std::string testoDi(const json::Valore& oggetto, std::string_view chiave) {
    const json::Valore& membro = membroDi(oggetto, chiave);
    return membro.tipo == json::Tipo::Testo && membro.testo ? *membro.testo : std::string();
}

} // namespace web
