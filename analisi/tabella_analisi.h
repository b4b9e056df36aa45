#pragma once

#include "analisi/verifiche.h"
#include "numeri/separatore.h"

#include <optional>
#include <string>
#include <vector>

// The answers of the analysis as the window's table and the report show
// them: one row of texts per answer, with the gap between the table's
// formulas and the exact section, and the verdict against the limits.
struct RigaAnalisi {
    analisi::RispostaEtichettata risposta;
    double scartoPercento = 0;           // Q of the table's formulas against the exact section
    std::optional<analisi::Esito> esito; // none for a reference row
};

std::vector<RigaAnalisi> righeAnalisi(const analisi::Sezione& sezione,
                                      const analisi::RisposteRichieste& richieste,
                                      const analisi::Limiti& limiti);

// Column titles, each with its unit on a second line.
std::vector<std::string> titoliAnalisi();

// The texts of a row, in the order of the titles, its numbers with the
// separator asked for; the verdict of a reference row is "riferimento".
std::vector<std::string> testiAnalisi(const RigaAnalisi& riga,
                                      Separatore separatore = Separatore::Punto);

// What the answers leave unsaid: a design flow or velocity the section never
// reaches, limits that cannot both hold, boxes that hold no valid value.
// Numbers with the separator asked for.
std::vector<std::string> messaggiAnalisi(const analisi::Risposte& risposte,
                                         const analisi::RisposteRichieste& richieste,
                                         const analisi::Limiti& limiti, bool caselleValide,
                                         Separatore separatore = Separatore::Punto);
