#include "caselle/presentatore_ingressi.h"

#include <gtest/gtest.h>

using presentatore::Testi;

// What the boxes say about themselves, from their texts alone: the line
// above the grid, its colour, the frames, and why there is no table.
TEST(PresentatoreIngressi, LaRigaSopraLaTabellaEICornici) {
    const struct {
        Testi testi;
        const char* riga;
        const char* colore;
        Lettura raggio, incremento;
    } casi[] = {
        {{"20", "0.01", "100", std::nullopt}, "", "#005000", Lettura::Buona, Lettura::Buona},
        {{"", "0.01", "100", std::nullopt},
         "Raggio caratteristico: non è un numero positivo",
         "#B00000",
         Lettura::Rifiutata,
         Lettura::Buona},
        {{"20cm", "0.01", "100", std::nullopt},
         "Raggio caratteristico: letto come 20",
         "#A05000",
         Lettura::InParte,
         Lettura::Buona},
        {{"40", "0.01", "0.5", std::nullopt},
         "Incremento limitato a 1.2 mm (minimo per questo raggio)",
         "#A05000",
         Lettura::Buona,
         Lettura::InParte},
        {{"20", "-1", "100", "abc"},
         "Pendenza: non è un numero positivo; Coeff. scabrezza Bazin: non è un numero positivo",
         "#B00000",
         Lettura::Buona,
         Lettura::Buona},
    };
    for (const auto& c : casi) {
        SCOPED_TRACE(c.riga);
        const presentatore::Valutazione v = presentatore::valuta(c.testi);
        const presentatore::Riga riga = presentatore::rigaMessaggio({}, v, {});
        EXPECT_EQ(riga.testo, c.riga);
        EXPECT_STREQ(riga.colore, c.colore);
        EXPECT_EQ(v.raggio.lettura, c.raggio);
        EXPECT_EQ(v.incremento.lettura, c.incremento);
    }

    // A computation error comes first; the news of a file written goes
    // before what the boxes are read as.
    const presentatore::Valutazione parziale = presentatore::valuta({"20cm", "0.01", "100", {}});
    EXPECT_EQ(presentatore::rigaMessaggio("Errore 6: Overflow", parziale, "Scritto.").testo,
              "Errore 6: Overflow");
    EXPECT_EQ(presentatore::rigaMessaggio({}, parziale, "Scritto.").testo,
              "Scritto. Raggio caratteristico: letto come 20");

    const presentatore::Valutazione vuoto = presentatore::valuta({"", "0.01", "100", {}});
    EXPECT_EQ(presentatore::motivoNessunaTabella({}, false, vuoto),
              "Nessuna tabella da scrivere: raggio, pendenza, incremento e coefficiente devono "
              "essere numeri positivi (Raggio caratteristico: non è un numero positivo).");
    EXPECT_EQ(presentatore::motivoNessunaTabella({}, true, parziale), "");
    EXPECT_EQ(presentatore::incrementoDaRiscrivere({"40", "0.01", "0.5", {}}), "1.2");
    EXPECT_EQ(presentatore::incrementoDaRiscrivere({"40", "0.01", "100", {}}), std::nullopt);
}
