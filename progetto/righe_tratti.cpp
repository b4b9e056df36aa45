#include "progetto/righe_tratti.h"

#include "file/caratteri_ammessi.h"
#include "file/utf8.h"
#include "numeri/numero_positivo.h"
#include "tratti/grandezze.h"

#include <algorithm>
#include <array>

namespace progetto {

namespace {

using tratti::CelleTratto;
using tratti::colonne;

// Where each column's text lives in a row: a box or a plain text.
struct Campo {
    Casella RigaTratto::*casella;
    std::string RigaTratto::*testo;
};
constexpr std::array<Campo, colonne> campi{{
    {nullptr, &RigaTratto::tratto},
    {nullptr, &RigaTratto::pozzettoMonte},
    {nullptr, &RigaTratto::pozzettoValle},
    {&RigaTratto::lunghezza, nullptr},
    {&RigaTratto::pendenza, nullptr},
    {&RigaTratto::quotaMonte, nullptr},
    {&RigaTratto::quotaValle, nullptr},
    {&RigaTratto::raggio, nullptr},
    {&RigaTratto::portata, nullptr},
    {&RigaTratto::portataMinima, nullptr},
    {nullptr, &RigaTratto::legge},
    {&RigaTratto::scabrezza, nullptr},
    {nullptr, &RigaTratto::esistente},
}};

// A decimal comma, typed, pasted from an Italian spreadsheet or kept so by
// a project, reads as a point: the cell then reads as the same number in an
// Italian file, and a point beside it is a second separator.
std::string comeNumero(std::size_t colonna, std::string testo) {
    if (tratti::numerica(colonna)) {
        std::replace(testo.begin(), testo.end(), ',', '.');
    }
    return testo;
}

} // namespace

const std::string& testoCella(const RigaTratto& riga, std::size_t colonna) {
    const Campo& campo = campi[colonna];
    return campo.casella != nullptr ? (riga.*campo.casella).testo : riga.*campo.testo;
}

void scriviCella(RigaTratto& riga, std::size_t colonna, std::string testo) {
    testo = comeNumero(colonna, std::move(testo));
    const Campo& campo = campi[colonna];
    if (campo.casella != nullptr) {
        riga.*campo.casella = Casella::daTesto(std::move(testo));
    } else {
        riga.*campo.testo = std::move(testo);
    }
}

CelleTratto celleDi(const RigaTratto& riga) {
    CelleTratto celle;
    for (std::size_t c = 0; c < colonne; ++c) {
        celle[c] = comeNumero(c, testoCella(riga, c));
    }
    return celle;
}

// A name too long to be a reach's is refused by its cell, and named by its
// beginning; one with a character a name may not hold is not repeated.
std::string RigaLetta::nome() const {
    const std::string_view scritto = csv::senzaSpazi(celle[tratti::Nome]);
    if (scritto.empty() || caratteriNonAmmessi(scritto)) {
        return "riga " + std::to_string(riga);
    }
    std::size_t byte = 0;
    for (std::size_t caratteri = 0; byte < scritto.size() && caratteri < tratti::nomeMassimo;
         ++caratteri) {
        char32_t punto = 0;
        byte += std::max<std::size_t>(sequenzaUtf8(scritto.substr(byte), punto), 1);
    }
    return byte < scritto.size() ? std::string(scritto.substr(0, byte)) + "…"
                                 : std::string(scritto);
}

std::optional<RigaLetta> leggiRiga(const RigaTratto& riga, std::size_t numero) {
    RigaLetta letta{celleDi(riga), numero, std::nullopt, std::nullopt};
    if (std::all_of(letta.celle.begin(), letta.celle.end(),
                    [](const std::string& c) { return csv::senzaSpazi(c).empty(); })) {
        return std::nullopt;
    }
    try {
        letta.tratto = tratti::trattoDaCelle(letta.celle, numero);
    } catch (const csv::Errore& errore) {
        letta.errore = errore;
    }
    return letta;
}

std::vector<RigaLetta> leggiRighe(const std::vector<RigaTratto>& righe) {
    std::vector<RigaLetta> lette;
    for (std::size_t k = 0; k < righe.size(); ++k) {
        if (std::optional<RigaLetta> letta = leggiRiga(righe[k], k + 1)) {
            lette.push_back(std::move(*letta));
        }
    }
    return lette;
}

RigaTratto rigaDaCelle(const CelleTratto& celle) {
    RigaTratto riga;
    for (std::size_t c = 0; c < colonne; ++c) {
        scriviCella(riga, c, celle[c]);
    }
    return riga;
}

NumeroLetto quotaTerrenoDi(const RigaPozzetto& riga) {
    NumeroLetto letto = leggiNumero(riga.quotaTerreno.testo);
    if (letto.valore) {
        if (std::optional<std::string> motivo =
                tratti::fuoriCampo(*letto.valore, tratti::campoQuota)) {
            letto.motivo = "La quota è " + *motivo + ".";
            letto.valore.reset();
        }
    }
    return letto;
}

std::vector<tratti::Pozzetto> pozzettiDi(const std::vector<RigaPozzetto>& righe) {
    std::vector<tratti::Pozzetto> pozzetti;
    for (const RigaPozzetto& riga : righe) {
        const std::string_view nome = csv::senzaSpazi(riga.pozzetto);
        if (!nome.empty() && !caratteriNonAmmessi(nome)) {
            pozzetti.push_back(
                {std::string(nome), quotaTerrenoDi(riga).valore,
                 caratteriNonAmmessi(riga.nota) ? "" : riga.nota,
                 tratti::allineamentoPozzettoDaNome(csv::senzaSpazi(riga.allineamento))});
        }
    }
    return pozzetti;
}

} // namespace progetto
