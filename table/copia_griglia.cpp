#include "table/copia_griglia.h"

#include "table/testo_griglia.h"

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

// A cell as the grid shows it: a number with the separator asked for, a
// label ("Max V") as it is.
std::string mostratoDi(const std::string& testo, Separatore separatore) {
    return decimaliNumero(testo) ? numeroCon(testo, separatore) : testo;
}

// A value cell carries its number beside its text, so that a spreadsheet
// takes the number whatever its language (an Italian one reads "107.87" as
// text). LibreOffice reads sdval with sdnum, the value in US English (1033);
// on a paste it keeps only its built-in formats, so two decimals are named
// ("0.00" in the sheet's own language, 0) and others left to the sheet.
// Excel reads x:num and mso-number-format, with the decimals shown.
std::string cellaDati(const std::string& testo, Separatore separatore) {
    const std::string mostrato = mostratoDi(testo, separatore);
    const std::optional<std::size_t> decimali = decimaliNumero(testo);
    if (!decimali) {
        return "<td>" + html(mostrato) + "</td>";
    }
    const std::string formato = *decimali == 0 ? "0" : "0." + std::string(*decimali, '0');
    const std::string formatoCalc = formato == "0.00" ? "0;0.00" : "";
    return "<td sdval=\"" + testo + "\" sdnum=\"1033;" + formatoCalc + "\" x:num=\"" + testo +
           "\" style=\"mso-number-format:'" + formato + "'\">" + mostrato + "</td>";
}

} // namespace

CopiaGriglia copiaTesti(const std::vector<std::vector<std::string>>& righe, int righeIntestazione,
                        Separatore separatore) {
    CopiaGriglia copia;
    copia.html = "<table xmlns:x=\"urn:schemas-microsoft-com:office:excel\">";
    for (std::size_t r = 0; r < righe.size(); ++r) {
        const bool intestazione = static_cast<int>(r) < righeIntestazione;
        copia.html += "<tr>";
        for (std::size_t c = 0; c < righe[r].size(); ++c) {
            if (c > 0) {
                copia.testo += '\t';
            }
            copia.testo += intestazione ? righe[r][c] : mostratoDi(righe[r][c], separatore);
            copia.html += intestazione ? "<th>" + html(righe[r][c]) + "</th>"
                                       : cellaDati(righe[r][c], separatore);
        }
        copia.testo += '\n';
        copia.html += "</tr>";
    }
    copia.html += "</table>";
    return copia;
}
