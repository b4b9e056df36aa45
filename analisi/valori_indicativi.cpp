#include "analisi/valori_indicativi.h"

#include <array>

namespace analisi {

namespace {

struct Tabella {
    std::vector<ValoreIndicativo> valori;
    const char* fonte;
};

// In the order of formule::Legge. Manning's and Strickler's lists name the
// same walls, Ks = 1/n rounded to the unit. Where the sources differ, the
// README says which value was chosen and why.
const std::array<Tabella, 5>& tabelle() {
    static const std::array<Tabella, 5> tabelle{{
        // Bazin, γ
        {{
             {0.06, "pareti molto lisce: cemento lisciato, legno piallato"},
             {0.16, "pareti lisce: tavole, mattoni, pietra da taglio"},
             {0.46, "muratura di pietrame"},
             {0.85, "terra molto regolare, rivestimenti in pietrame"},
             {1.30, "canali in terra in condizioni ordinarie"},
             {1.75, "canali in terra con erbe e ciottoli"},
         },
         "H. Bazin (1897), le sei categorie di parete, come in Citrini–Noseda, Idraulica"},
        // Kutter, m
        {{
             {0.12, "cemento lisciato"},
             {0.25, "mattoni ben connessi, pietra da taglio, grès, ghisa"},
             {0.35, "muratura ordinaria di mattoni"},
             {0.45, "fogne in muratura o calcestruzzo, in esercizio"},
             {0.55, "muratura di pietrame, fondo con depositi"},
         },
         "W. R. Kutter, formula abbreviata: le categorie di parete dei manuali tedeschi di "
         "idraulica e fognatura"},
        // Gauckler–Strickler, Ks (m¹ᐟ³/s)
        {{
             {100, "PVC o PE, parete interna liscia"},
             {83, "calcestruzzo lisciato"},
             {77, "ghisa rivestita"},
             {71, "grès ceramico; ghisa non rivestita"},
             {67, "fogne in calcestruzzo o grès con pozzetti; mattoni con malta"},
             {40, "muratura di pietrame con malta"},
         },
         "Ks = 1/n dai valori normali di V. T. Chow, Open-Channel Hydraulics (1959), tab. 5-6"},
        // Manning, n (s/m¹ᐟ³)
        {{
             {0.010, "PVC o PE, parete interna liscia"},
             {0.012, "calcestruzzo lisciato"},
             {0.013, "ghisa rivestita"},
             {0.014, "grès ceramico; ghisa non rivestita"},
             {0.015, "fogne in calcestruzzo o grès con pozzetti; mattoni con malta"},
             {0.025, "muratura di pietrame con malta"},
         },
         "V. T. Chow, Open-Channel Hydraulics (1959), tab. 5-6, valori normali; PVC e PE tra "
         "le prove di Neal e Price e il manuale ASCE–WPCF"},
        // Colebrook–White, ks (mm)
        {{
             {0.0015, "PVC o PE, tubo nuovo"},
             {0.1, "calcestruzzo liscio, tubo nuovo"},
             {0.25, "in esercizio: tratti senza pozzetti, condotte in pressione"},
             {0.5, "in esercizio: collettori con pozzetti"},
             {0.75, "in esercizio: fogne di raccolta con pozzetti e allacci"},
             {1.5, "in esercizio: muratura, getti in opera, tubi non normalizzati"},
         },
         "DWA-A 110 (2006), scabrezza operativa kb; tubi nuovi secondo F. M. White, Fluid "
         "Mechanics, e I. E. Idel'čik, Handbook of Hydraulic Resistance"},
    }};
    return tabelle;
}

const Tabella& tabella(formule::Legge legge) {
    return tabelle()[static_cast<std::size_t>(legge)];
}

} // namespace

const std::vector<ValoreIndicativo>& valoriIndicativi(formule::Legge legge) {
    return tabella(legge).valori;
}

const char* fonteValoriIndicativi(formule::Legge legge) {
    return tabella(legge).fonte;
}

} // namespace analisi
