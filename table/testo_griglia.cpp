#include "table/testo_griglia.h"

#include <algorithm>
#include <vector>

namespace {

std::string campoCsv(const std::string& testo) {
    if (testo.find_first_of(",\"\r\n") == std::string::npos) {
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

} // namespace

std::string grigliaCsv(const GrigliaInMemoria& griglia) {
    std::string testo;
    for (int riga = 0; riga < griglia.Rows(); ++riga) {
        for (int colonna = 0; colonna < griglia.Cols(); ++colonna) {
            if (colonna > 0) {
                testo += ',';
            }
            testo += campoCsv(griglia.testo(riga, colonna));
        }
        testo += "\r\n";
    }
    return testo;
}

std::string grigliaTabella(const GrigliaInMemoria& griglia) {
    std::vector<std::size_t> larghezze(static_cast<std::size_t>(griglia.Cols()), 0);
    for (int riga = 0; riga < griglia.Rows(); ++riga) {
        for (int colonna = 0; colonna < griglia.Cols(); ++colonna) {
            auto& l = larghezze[static_cast<std::size_t>(colonna)];
            l = std::max(l, griglia.testo(riga, colonna).size());
        }
    }
    std::string testo;
    for (int riga = 0; riga < griglia.Rows(); ++riga) {
        std::string linea;
        for (int colonna = 0; colonna < griglia.Cols(); ++colonna) {
            const std::string& cella = griglia.testo(riga, colonna);
            const std::string spazi(larghezze[static_cast<std::size_t>(colonna)] - cella.size(),
                                    ' ');
            linea += colonna == 0 ? cella + spazi : "  " + spazi + cella;
        }
        linea.erase(linea.find_last_not_of(' ') + 1);
        testo += linea + '\n';
    }
    return testo;
}
