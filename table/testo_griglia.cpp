#include "table/testo_griglia.h"

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

std::string testoSeparato(const RigheTesti& righe, char separatore, bool virgolaDecimale,
                          std::size_t colonneDiTesto = 0) {
    std::string testo;
    for (const auto& riga : righe) {
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

RigheTesti righeGriglia(const GrigliaInMemoria& griglia) {
    RigheTesti righe(static_cast<std::size_t>(griglia.Rows()));
    for (int riga = 0; riga < griglia.Rows(); ++riga) {
        for (int colonna = 0; colonna < griglia.Cols(); ++colonna) {
            righe[static_cast<std::size_t>(riga)].push_back(griglia.testo(riga, colonna));
        }
    }
    return righe;
}

std::string testoCsv(const RigheTesti& righe) {
    return testoSeparato(righe, ',', false);
}

std::string testoCsvItaliano(const RigheTesti& righe, std::size_t colonneDiTesto) {
    return "\xEF\xBB\xBF" + testoSeparato(righe, ';', true, colonneDiTesto);
}

std::string testoAllineato(const RigheTesti& righe) {
    std::vector<std::size_t> larghezze;
    for (const auto& riga : righe) {
        larghezze.resize(std::max(larghezze.size(), riga.size()), 0);
        for (std::size_t colonna = 0; colonna < riga.size(); ++colonna) {
            larghezze[colonna] = std::max(larghezze[colonna], caratteriUtf8(riga[colonna]));
        }
    }
    std::string testo;
    for (const auto& riga : righe) {
        std::string linea;
        for (std::size_t colonna = 0; colonna < riga.size(); ++colonna) {
            const std::string& cella = riga[colonna];
            const std::string spazi(larghezze[colonna] - caratteriUtf8(cella), ' ');
            linea += colonna == 0 ? cella + spazi : "  " + spazi + cella;
        }
        linea.erase(linea.find_last_not_of(' ') + 1);
        testo += linea + '\n';
    }
    return testo;
}
