#include "cli/uscita_si.h"

#include "analisi/tabella_calcolata.h"

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

std::vector<RigaUscita> righeTabella(const calcolo::Tabella& tabella) {
    const std::vector<analisi::Grandezze> calcolate = analisi::righeTabellaCalcolata(tabella);
    std::vector<RigaUscita> righe;
    for (std::size_t k = 0; k < calcolate.size(); ++k) {
        const std::size_t daFine = calcolate.size() - k;
        righe.push_back({daFine == 2 ? "Max V" : daFine == 1 ? "Max Q" : "", calcolate[k]});
    }
    return righe;
}

std::string testoSi(const std::vector<RigaUscita>& righe) {
    std::string testo = "riga,etichetta,altezza_m,area_m2,contorno_m,raggio_idraulico_m,chezy,"
                        "velocita_m_s,portata_m3_s\n";
    std::size_t numero = 0;
    for (const RigaUscita& riga : righe) {
        testo += std::to_string(++numero);
        testo += ',';
        testo += riga.etichetta;
        const analisi::Grandezze& g = riga.valori;
        for (const double valore : {g.altezza, g.area, g.contorno, g.raggioIdr}) {
            aggiungiNumero(testo, valore);
        }
        // Where the flow is not turbulent the law gives no C, V or Q.
        for (const double valore : {g.chezy, g.velocita, g.portata}) {
            if (analisi::turbolento(g)) {
                aggiungiNumero(testo, valore);
            } else {
                testo += ',';
            }
        }
        testo += '\n';
    }
    return testo;
}
