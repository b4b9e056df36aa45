#include "table/copia_griglia.h"

namespace {

std::string html(const std::string& testo) {
    std::string esito;
    for (const char c : testo) {
        switch (c) {
        case '&':
            esito += "&amp;";
            break;
        case '<':
            esito += "&lt;";
            break;
        case '>':
            esito += "&gt;";
            break;
        default:
            esito += c;
        }
    }
    return esito;
}

} // namespace

CopiaGriglia copiaTesti(const std::vector<std::vector<std::string>>& righe, int righeIntestazione) {
    CopiaGriglia copia;
    copia.html = "<table>";
    for (std::size_t r = 0; r < righe.size(); ++r) {
        const bool intestazione = static_cast<int>(r) < righeIntestazione;
        copia.html += "<tr>";
        for (std::size_t c = 0; c < righe[r].size(); ++c) {
            if (c > 0) {
                copia.testo += '\t';
            }
            copia.testo += righe[r][c];
            copia.html += intestazione ? "<th>" : "<td>";
            copia.html += html(righe[r][c]);
            copia.html += intestazione ? "</th>" : "</td>";
        }
        copia.testo += '\n';
        copia.html += "</tr>";
    }
    copia.html += "</table>";
    return copia;
}
