#include "cli/uscita_si.h"

#include "calc/variabili_pubbliche.h"

#include <charconv>

namespace {

void aggiungiNumero(std::string& testo, double valore) {
    char cifre[32];
    const auto fine =
        std::to_chars(cifre, cifre + sizeof cifre, valore, std::chars_format::general, 17).ptr;
    testo += ',';
    testo.append(cifre, fine);
}

} // namespace

std::string tabellaSi() {
    const variabili_pubbliche::Stato& s = variabili_pubbliche::stato;
    std::string testo = "riga,etichetta,altezza_m,area_m2,contorno_m,raggio_idraulico_m,chezy,"
                        "velocita_m_s,portata_m3_s\n";
    const int ultima = s.numPassi + 2;
    for (int k = 1; k <= ultima; ++k) {
        testo += std::to_string(k);
        testo += ',';
        testo += k == ultima - 1 ? "Max V" : k == ultima ? "Max Q" : "";
        for (const auto* colonna :
             {&s.altezza, &s.area, &s.contorno, &s.raggioIdr, &s.chezy, &s.velocita, &s.portata}) {
            aggiungiNumero(testo, (*colonna)(k));
        }
        testo += '\n';
    }
    return testo;
}
