#include "analisi/tabella_analisi.h"

#include "analisi/risposte.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

// What the analysis says beside its answers, the same in the window and in
// the browser page: design values the section never reaches, limits that
// cannot both hold, boxes that hold no valid value.
TEST(TabellaAnalisi, MessaggiAccantoAlleRisposte) {
    const analisi::Sezione sezione{0.4, 0.005, {}, formule::Geometria::Tabellare};
    const analisi::Risposte risposte(sezione);
    const double oltre = risposte.portataMassima().portata * 2;
    const double troppoVeloce = risposte.velocitaMassima().velocita * 2;
    const analisi::Limiti buoni;
    analisi::Limiti incrociati;
    incrociati.velocitaMinima = 5;
    const struct {
        std::optional<double> portata, velocita, portataMinima;
        analisi::Limiti limiti;
        bool caselleValide;
        Separatore separatore;
        std::vector<std::string> inizi;
    } casi[] = {
        {0.1, std::nullopt, 0.01, buoni, true, Separatore::Punto, {}},
        {oltre,
         std::nullopt,
         std::nullopt,
         buoni,
         true,
         Separatore::Punto,
         {"Nessuna altezza con la portata di progetto: la portata massima della sezione è "}},
        {std::nullopt,
         std::nullopt,
         oltre,
         buoni,
         true,
         Separatore::Virgola,
         {"Nessuna altezza con la portata minima: la portata massima della sezione è "}},
        {std::nullopt,
         troppoVeloce,
         std::nullopt,
         buoni,
         true,
         Separatore::Punto,
         {"Nessuna altezza con la velocità di progetto"}},
        {0.1,
         std::nullopt,
         std::nullopt,
         incrociati,
         false,
         Separatore::Punto,
         {"La velocità minima di autopulizia supera la massima ammessa",
          "Le caselle in rosso non contengono un valore valido"}},
    };
    for (const auto& c : casi) {
        const std::vector<std::string> messaggi = messaggiAnalisi(
            risposte, analisi::risposteRichieste(risposte, c.portata, c.velocita, c.portataMinima),
            c.limiti, c.caselleValide, c.separatore);
        ASSERT_EQ(messaggi.size(), c.inizi.size());
        for (std::size_t i = 0; i < messaggi.size(); ++i) {
            EXPECT_EQ(messaggi[i].rfind(c.inizi[i], 0), 0u) << messaggi[i];
            // The section's maximum with two decimals, in the separator asked for.
            const std::size_t l = messaggi[i].find(" l/s.");
            if (l != std::string::npos) {
                const char separatore = c.separatore == Separatore::Virgola ? ',' : '.';
                EXPECT_EQ(messaggi[i][l - 3], separatore) << messaggi[i];
            }
        }
    }
}
