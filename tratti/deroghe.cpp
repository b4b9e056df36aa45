#include "tratti/deroghe.h"

#include <algorithm>
#include <cctype>
#include <unordered_map>

namespace tratti {

namespace {

struct VoceControllo {
    Controllo controllo;
    const char* chiave;
    const char* nome;
};
constexpr VoceControllo voci[] = {
    {Controllo::Autopulizia, "autopulizia", "velocità di autopulizia"},
    {Controllo::VelocitaMassima, "velocita_massima", "velocità massima"},
    {Controllo::Riempimento, "riempimento", "riempimento massimo"},
    {Controllo::Ricoprimento, "ricoprimento", "ricoprimento minimo"},
    {Controllo::Profondita, "profondita", "profondità massima di scavo"},
    {Controllo::Allineamento, "allineamento", "allineamento al pozzetto"},
    {Controllo::SezioneRidotta, "sezione_ridotta", "sezione non ridotta verso valle"},
    {Controllo::Contropendenza, "contropendenza", "contropendenza al pozzetto"},
    {Controllo::Salto, "salto", "salto massimo senza pozzetto di salto"},
};

const VoceControllo& voceDi(Controllo controllo) {
    return *std::find_if(std::begin(voci), std::end(voci),
                         [&](const VoceControllo& v) { return v.controllo == controllo; });
}

} // namespace

std::optional<Controllo> controlloDerogabile(const Rilievo& r) {
    const Gravita g = r.gravita();
    return g == Gravita::Difetto || g == Gravita::Provvedimento || g == Gravita::Deroga
               ? controlloDi(r.tipo)
               : std::nullopt;
}

bool motivoDato(std::string_view motivo) {
    return std::any_of(motivo.begin(), motivo.end(),
                       [](unsigned char c) { return std::isspace(c) == 0; });
}

std::string_view chiaveControllo(Controllo controllo) {
    return voceDi(controllo).chiave;
}

std::optional<Controllo> controlloDaChiave(std::string_view chiave) {
    for (const VoceControllo& v : voci) {
        if (chiave == v.chiave) {
            return v.controllo;
        }
    }
    return std::nullopt;
}

std::string_view nomeControllo(Controllo controllo) {
    return voceDi(controllo).nome;
}

std::optional<Controllo> controlloDi(Rilievo::Tipo tipo) {
    using Tipo = Rilievo::Tipo;
    switch (tipo) {
    case Tipo::VelocitaBassa:
        return Controllo::Autopulizia;
    case Tipo::VelocitaAlta:
        return Controllo::VelocitaMassima;
    case Tipo::RiempimentoAlto:
        return Controllo::Riempimento;
    case Tipo::RicoprimentoInsufficiente:
        return Controllo::Ricoprimento;
    case Tipo::ScavoOltreIlMassimo:
        return Controllo::Profondita;
    case Tipo::SopraAllineamento:
    case Tipo::FondiNonAllineati:
        return Controllo::Allineamento;
    case Tipo::SezioneRidotta:
        return Controllo::SezioneRidotta;
    case Tipo::Contropendenza:
        return Controllo::Contropendenza;
    case Tipo::SaltoOltreIlMassimo:
        return Controllo::Salto;
    default:
        return std::nullopt;
    }
}

std::vector<DerogaApplicata> applicaDeroghe(EsitiRete& rete, const std::vector<Tratto>& tratti,
                                            const std::vector<Deroga>& deroghe) {
    std::vector<DerogaApplicata> applicate;
    if (deroghe.empty()) {
        return applicate;
    }
    // Where each name's findings are: a reach's in its own list and at the
    // manholes it joins; a manhole's in its list and in the reaches'.
    std::unordered_map<std::string_view, std::vector<std::size_t>> trattiDi, pozzettoDi,
        trattiAlPozzetto;
    for (std::size_t k = 0; k < tratti.size() && k < rete.esiti.size(); ++k) {
        trattiDi[tratti[k].nome].push_back(k);
        for (const Rilievo& r : rete.esiti[k].rilievi) {
            if (!r.pozzetto.empty() && controlloDi(r.tipo)) {
                std::vector<std::size_t>& dove = trattiAlPozzetto[r.pozzetto];
                if (dove.empty() || dove.back() != k) {
                    dove.push_back(k);
                }
            }
        }
    }
    for (std::size_t p = 0; p < rete.pozzetti.size(); ++p) {
        pozzettoDi[rete.pozzetti[p].nome].push_back(p);
    }
    std::vector<bool> toccato(rete.esiti.size(), false);
    for (const Deroga& deroga : deroghe) {
        DerogaApplicata& applicata = applicate.emplace_back(DerogaApplicata{deroga, {}});
        if (!motivoDato(deroga.motivo)) {
            continue;
        }
        const auto copre = [&](const Rilievo& r) {
            return r.deroga.empty() && controlloDerogabile(r) == deroga.controllo &&
                   (deroga.voce == Voce::Tratto ? r.tratto == deroga.nome || r.tratto.empty()
                                                : r.pozzetto == deroga.nome);
        };
        const auto segna = [&](std::vector<Rilievo>& rilievi, bool registra,
                               const auto& pertinente) {
            for (Rilievo& r : rilievi) {
                if (copre(r) && pertinente(r)) {
                    if (registra) {
                        applicata.rilievi.push_back(r);
                    }
                    r.deroga = deroga.motivo;
                }
            }
        };
        const auto sempre = [](const Rilievo&) { return true; };
        const auto diQuesto = [&](const Rilievo& r) { return r.tratto == deroga.nome; };
        if (deroga.voce == Voce::Tratto) {
            std::vector<std::string> aiPozzetti;
            for (const std::size_t k : trattiDi[deroga.nome]) {
                segna(rete.esiti[k].rilievi, true, sempre);
                toccato[k] = true;
                for (const Rilievo& r : rete.esiti[k].rilievi) {
                    if (!r.deroga.empty() && !r.pozzetto.empty()) {
                        aiPozzetti.push_back(r.pozzetto);
                    }
                }
            }
            for (const std::string& nome : aiPozzetti) {
                for (const std::size_t p : pozzettoDi[nome]) {
                    segna(rete.pozzetti[p].rilievi, false, diQuesto);
                }
            }
        } else {
            for (const std::size_t p : pozzettoDi[deroga.nome]) {
                segna(rete.pozzetti[p].rilievi, true, sempre);
            }
            for (const std::size_t k : trattiAlPozzetto[deroga.nome]) {
                segna(rete.esiti[k].rilievi, false, sempre);
                toccato[k] = true;
            }
        }
    }
    for (std::size_t k = 0; k < toccato.size(); ++k) {
        Esito& e = rete.esiti[k];
        if (!toccato[k] || !e.calcolato) {
            continue;
        }
        const auto conGravita = [&](Gravita g) {
            return std::any_of(e.rilievi.begin(), e.rilievi.end(),
                               [g](const Rilievo& r) { return r.gravita() == g; });
        };
        // A size found by the catalogue only within the filling failed for
        // the checks now accepted: with them, it is the size to take.
        const auto accettata =
            std::find_if(e.rilievi.begin(), e.rilievi.end(),
                         [](const Rilievo& r) { return r.gravita() == Gravita::Deroga; });
        const bool soloIlCatalogo =
            std::all_of(e.rilievi.begin(), e.rilievi.end(), [](const Rilievo& r) {
                return r.gravita() != Gravita::Difetto ||
                       r.tipo == Rilievo::Tipo::NessunRaggioEntroRiempimento;
            });
        if (accettata != e.rilievi.end() && soloIlCatalogo) {
            const std::string motivo = accettata->deroga;
            for (Rilievo& r : e.rilievi) {
                if (r.tipo == Rilievo::Tipo::NessunRaggioEntroRiempimento) {
                    r.deroga = motivo;
                }
            }
        }
        e.conDeroga = conGravita(Gravita::Deroga);
        e.verificato = !conGravita(Gravita::Difetto);
    }
    return applicate;
}

} // namespace tratti
