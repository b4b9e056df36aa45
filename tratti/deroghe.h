#pragma once

#include "tratti/parole.h"
#include "tratti/rete.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// A designer's exceptions ("deroghe"): one failing check of one reach or
// one manhole accepted, with a reason. The check still fails anything else
// it finds, and every other check keeps its verdict.
namespace tratti {

// The checks an exception may accept.
enum class Controllo {
    Autopulizia,     // velocity too low
    VelocitaMassima, // velocity too high
    Riempimento,
    Ricoprimento,
    Profondita,
    Allineamento, // of crowns, waters or inverts at a manhole
    SezioneRidotta,
    Contropendenza,
    Salto, // a drop beyond the largest, without a drop manhole
};

inline constexpr Controllo tuttiIControlli[] = {
    Controllo::Autopulizia,    Controllo::VelocitaMassima, Controllo::Riempimento,
    Controllo::Ricoprimento,   Controllo::Profondita,      Controllo::Allineamento,
    Controllo::SezioneRidotta, Controllo::Contropendenza,  Controllo::Salto};

// Its key in files and on the command line ("autopulizia"), and back.
std::string_view chiaveControllo(Controllo controllo);
std::optional<Controllo> controlloDaChiave(std::string_view chiave);
// Its name in a sentence ("velocità di autopulizia").
std::string_view nomeControllo(Controllo controllo);
// The check a finding breaks, none for one no exception may accept.
std::optional<Controllo> controlloDi(Rilievo::Tipo tipo);
// The check of a finding an exception may accept, or has: a fault, or the
// drop manhole it would need; none for any other finding.
std::optional<Controllo> controlloDerogabile(const Rilievo& rilievo);
// Whether a reason is given: a blank one accepts nothing.
bool motivoDato(std::string_view motivo);

struct Deroga {
    Voce voce = Voce::Tratto; // of a reach, or of a manhole
    std::string nome;
    Controllo controllo = Controllo::Autopulizia;
    std::string motivo; // blank: the check is not accepted

    bool operator==(const Deroga&) const = default;
};

// What an exception accepted: the findings it covers, as they were found.
// None where the item passes that check, or is not in the line.
struct DerogaApplicata {
    Deroga deroga;
    std::vector<Rilievo> rilievi;
};

// Marks each finding an exception covers with its reason, at the reach and
// at the manhole alike, and gives back each reach and manhole its verdict:
// it passes, "con deroga", when every fault left is accepted. A reach's
// exception covers what is found of that reach; a manhole's, what is found
// at that manhole. An exception without a reason accepts nothing.
std::vector<DerogaApplicata> applicaDeroghe(EsitiRete& rete, const std::vector<Tratto>& tratti,
                                            const std::vector<Deroga>& deroghe);

} // namespace tratti
