#include "file/testo_tabellare.h"

#include "file/utf8.h"

#include <algorithm>
#include <vector>

namespace {

std::string campoCsv(const std::string& testo, char separatore) {
    if (testo.find_first_of(std::string{separatore, '"', '\r', '\n'}) == std::string::npos) {
        return testo;
    }
    std::string campo = "\"";
    for (const char c : testo) {
        campo += c;
        if (c == '"') {
            campo += '"';
        }
    }
    return campo + '"';
}

bool soloCifre(std::string_view testo) {
    return !testo.empty() &&
           std::all_of(testo.begin(), testo.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::string testoSeparato(std::size_t righe, const RigaDi& rigaDi, char separatore,
                          bool virgolaDecimale, std::size_t colonneDiTesto = 0) {
    std::string testo;
    for (std::size_t r = 0; r < righe; ++r) {
        const std::vector<std::string> riga = rigaDi(r);
        for (std::size_t colonna = 0; colonna < riga.size(); ++colonna) {
            if (colonna > 0) {
                testo += separatore;
            }
            std::string cella = riga[colonna];
            if (virgolaDecimale && colonna >= colonneDiTesto && decimaliNumero(cella)) {
                std::replace(cella.begin(), cella.end(), '.', ',');
            }
            testo += campoCsv(cella, separatore);
        }
        testo += "\r\n";
    }
    return testo;
}

} // namespace

std::optional<std::size_t> decimaliNumero(std::string_view testo) {
    if (!testo.empty() && testo.front() == '-') {
        testo.remove_prefix(1);
    }
    const std::size_t punto = testo.find('.');
    if (punto == std::string_view::npos) {
        return soloCifre(testo) ? std::optional<std::size_t>(0) : std::nullopt;
    }
    const std::string_view decimali = testo.substr(punto + 1);
    if (!soloCifre(testo.substr(0, punto)) || !soloCifre(decimali)) {
        return std::nullopt;
    }
    return decimali.size();
}

std::string testoCsv(std::size_t righe, const RigaDi& riga) {
    return testoSeparato(righe, riga, ',', false);
}

std::string testoCsvItaliano(std::size_t righe, const RigaDi& riga, std::size_t colonneDiTesto) {
    return "\xEF\xBB\xBF" + testoSeparato(righe, riga, ';', true, colonneDiTesto);
}

std::string testoAllineato(std::size_t righe, const RigaDi& rigaDi,
                           const std::function<std::string(std::size_t)>& coda) {
    std::vector<std::size_t> larghezze;
    for (std::size_t r = 0; r < righe; ++r) {
        const std::vector<std::string> riga = rigaDi(r);
        larghezze.resize(std::max(larghezze.size(), riga.size()), 0);
        for (std::size_t colonna = 0; colonna < riga.size(); ++colonna) {
            larghezze[colonna] = std::max(larghezze[colonna], caratteriUtf8(riga[colonna]));
        }
    }
    const auto linea = [&](std::size_t r) {
        const std::vector<std::string> riga = rigaDi(r);
        std::string testo;
        for (std::size_t colonna = 0; colonna < riga.size(); ++colonna) {
            const std::string& cella = riga[colonna];
            const std::string spazi(larghezze[colonna] - caratteriUtf8(cella), ' ');
            testo += colonna == 0 ? cella + spazi : "  " + spazi + cella;
        }
        testo.erase(testo.find_last_not_of(' ') + 1);
        return testo;
    };
    std::size_t larghezzaRighe = 0;
    if (coda) {
        for (std::size_t r = 0; r < righe; ++r) {
            larghezzaRighe = std::max(larghezzaRighe, caratteriUtf8(linea(r)));
        }
    }
    std::string testo;
    for (std::size_t r = 0; r < righe; ++r) {
        std::string l = linea(r);
        if (const std::string dopo = coda ? coda(r) : std::string(); !dopo.empty()) {
            l += std::string(larghezzaRighe - caratteriUtf8(l) + 2, ' ') + dopo;
        }
        testo += l + '\n';
    }
    return testo;
}

namespace {

RigaDi rigaDelle(const RigheTesti& righe) {
    return [&righe](std::size_t r) { return righe[r]; };
}

} // namespace

std::string testoCsv(const RigheTesti& righe) {
    return testoCsv(righe.size(), rigaDelle(righe));
}

std::string testoCsvItaliano(const RigheTesti& righe, std::size_t colonneDiTesto) {
    return testoCsvItaliano(righe.size(), rigaDelle(righe), colonneDiTesto);
}

std::string testoAllineato(const RigheTesti& righe) {
    return testoAllineato(righe.size(), rigaDelle(righe));
}
