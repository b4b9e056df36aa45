#include "tratto_di_rete.h"

#include "file/errore_file.h"
#include "progetto/progetto.h"
#include "tratti/deroghe.h"
#include "tratti/parole.h"
#include "valutazione/conclusione.h"
#include "valutazione/valutazione.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

using tratti::Allineamento;
using tratti::Controllo;
using tratti::Tratto;
using tratti::Voce;

namespace {

bool contiene(const std::string& testo, const std::string& parte) {
    return testo.find(parte) != std::string::npos;
}

progetto::Progetto esempio() {
    return progetto::leggiProgetto(PROGETTO_ESEMPIO);
}

} // namespace

// The example line: twelve head reaches too slow at the dry-weather flow,
// an existing reach whose crown stands above the incoming one: fit only
// with every exception and its reason; a drop manhole is still a provision.
TEST(Deroghe, LaLineaDiEsempioIdoneaSoloConOgniMotivo) {
    const progetto::Progetto p = esempio();
    const valutazione::Valutazione v = valutazione::valuta(p);
    EXPECT_EQ(v.giudizio.idonea, true);
    EXPECT_EQ(v.giudizio.verificati, 19u);
    EXPECT_EQ(v.giudizio.conDeroga, 13u);
    EXPECT_EQ(v.giudizio.pozzettiConDeroga, 1u);
    EXPECT_EQ(v.giudizio.pozzettiDiSalto, std::vector<std::string>{"P8"});
    const valutazione::ConclusioneLinea conclusione =
        valutazione::conclusioneLinea(v, Separatore::Virgola, "tabella 5");
    EXPECT_TRUE(contiene(conclusione.giudizio, "l'opera è idonea")) << conclusione.giudizio;
    EXPECT_EQ(conclusione.deroghe.titolo, "Verificati con deroga motivata 13 tratti e 1 pozzetto "
                                          "(tabella 5), per il controllo accettato:");
    EXPECT_EQ(conclusione.deroghe.voci.size(), 14u);
    ASSERT_EQ(v.rete.derogheApplicate.size(), p.deroghe.size());
    for (const tratti::DerogaApplicata& a : v.rete.derogheApplicate) {
        EXPECT_FALSE(a.rilievi.empty()) << a.deroga.nome;
    }
    // A reach that passes by its exception has no fault, nor a remedy, to tell.
    const tratti::Esito& testa = v.rete.esiti->esiti[0];
    EXPECT_EQ(tratti::motivoDi(testa, Separatore::Punto), "");
    EXPECT_TRUE(contiene(tratti::avvisiDi(testa, Separatore::Punto),
                         "in deroga: velocità troppo bassa alla portata minima"));
    for (std::size_t i = 0; i < p.deroghe.size(); ++i) {
        progetto::Progetto senza = p;
        senza.deroghe[i].motivo = "  ";
        const valutazione::Valutazione w = valutazione::valuta(senza);
        EXPECT_EQ(w.giudizio.idonea, false) << p.deroghe[i].tratto << p.deroghe[i].pozzetto;
        EXPECT_TRUE(contiene(valutazione::conclusioneLinea(w, Separatore::Punto).giudizio,
                             "L'opera non è idonea"));
    }
}

// An exception accepts its check of its item, wherever the finding is told,
// and nothing else: another check still fails the item.
TEST(Deroghe, OgniDerogaCopreSoloIlSuoControllo) {
    // B, smaller than A upstream and too full; its manhole P2 is checked
    // for the shrinking section.
    const std::vector<Tratto> linea = {tratto("A", "P1", "P2", 100, 40),
                                       tratto("B", "P2", "P3", 400, 25)};
    const struct {
        const char* nome;
        std::vector<tratti::Deroga> deroghe;
        bool bVerificato, bConDeroga, p2Verificato; // B: a fault accepted, failing or not
        std::size_t accettati;                      // findings of the first exception
    } casi[] = {
        {"nessuna", {}, false, false, false, 0},
        {"la sezione di B",
         {{Voce::Tratto, "B", Controllo::SezioneRidotta, "esistente"}},
         false,
         true,
         true,
         1},
        {"la sezione al pozzetto",
         {{Voce::Pozzetto, "P2", Controllo::SezioneRidotta, "esistente"}},
         false,
         true,
         true,
         1},
        {"entrambi i controlli",
         {{Voce::Tratto, "B", Controllo::SezioneRidotta, "esistente"},
          {Voce::Tratto, "B", Controllo::Riempimento, "sfioratore a monte"}},
         true,
         true,
         true,
         1},
        {"un controllo soddisfatto",
         {{Voce::Tratto, "A", Controllo::Riempimento, "x"}},
         false,
         false,
         false,
         0},
        {"senza motivo",
         {{Voce::Tratto, "B", Controllo::SezioneRidotta, " "}},
         false,
         false,
         false,
         0},
        {"un altro tratto",
         {{Voce::Tratto, "Z", Controllo::SezioneRidotta, "x"}},
         false,
         false,
         false,
         0},
    };
    for (const auto& c : casi) {
        SCOPED_TRACE(c.nome);
        tratti::EsitiRete rete = *tratti::calcolaRete(linea, {}, tratti::Impostazioni());
        const auto applicate = tratti::applicaDeroghe(rete, linea, c.deroghe);
        const tratti::Esito& b = rete.esiti[1];
        EXPECT_EQ(b.verificato, c.bVerificato) << tratti::motivoDi(b, Separatore::Punto);
        EXPECT_EQ(b.conDeroga, c.bConDeroga);
        EXPECT_STREQ(b.verdetto(), c.bVerificato ? "verificato con deroga" : "non verificato");
        EXPECT_EQ(rete.pozzetti[1].verificato(), c.p2Verificato);
        if (!c.deroghe.empty()) {
            EXPECT_EQ(applicate.front().rilievi.size(), c.accettati);
        }
    }
}

// A manhole's own rule over the line's: "nessuna" checks no alignment there
// and carries the levels with no drop, "fondo" lets no drop in.
TEST(Deroghe, AllineamentoDelPozzetto) {
    std::vector<Tratto> linea = {tratto("A", "P1", "P2", 50, 30), tratto("B", "P2", "P3", 60, 40)};
    linea[0].quotaMonte = 100.0; // to 99.75, crown 100.65
    linea[1].quotaMonte = 99.70; // crown 100.90: above A's
    const struct {
        std::optional<Allineamento> regola;
        bool verificato;
        double monteCalcolato; // B's upstream invert with none typed
    } casi[] = {
        {std::nullopt, false, 100.65 - 1.2},
        {Allineamento::Nessuno, true, 99.75},
        {Allineamento::Fondo, false, 99.75},
        {Allineamento::Cieli, false, 100.65 - 1.2},
    };
    for (const auto& c : casi) {
        SCOPED_TRACE(c.regola ? std::string(tratti::nomeAllineamento(*c.regola)) : "della linea");
        std::vector<tratti::Pozzetto> pozzetti = {{"P2", std::nullopt, "", c.regola}};
        tratti::EsitiRete rete = *tratti::calcolaRete(linea, pozzetti, tratti::Impostazioni());
        EXPECT_EQ(rete.esiti[1].verificato, c.verificato)
            << tratti::motivoDi(rete.esiti[1], Separatore::Punto);
        std::vector<Tratto> senzaQuota = linea;
        senzaQuota[1].quotaMonte.reset();
        rete = *tratti::calcolaRete(senzaQuota, pozzetti, tratti::Impostazioni());
        EXPECT_NEAR(*rete.esiti[1].quotaMonte, c.monteCalcolato, 1e-9);
    }
    EXPECT_EQ(tratti::allineamentoDaNome("nessuna"), std::nullopt);
    EXPECT_EQ(tratti::allineamentoPozzettoDaNome("nessuna"), Allineamento::Nessuno);
}

// An existing reach is told as such and never sized; a project keeps its
// exceptions, its existing reaches and its manholes' rules, and refuses
// them malformed.
TEST(Deroghe, EsistentiEProgetto) {
    Tratto esistente = tratto("E", "", "", 100, 30);
    esistente.esistente = true;
    Tratto senzaRaggio = esistente;
    senzaRaggio.raggio.reset();
    const auto esiti = tratti::verificaTutti({esistente, senzaRaggio}, tratti::Impostazioni());
    EXPECT_TRUE(contiene(tratti::avvisiDi(esiti[0], Separatore::Punto), "tratto esistente"));
    EXPECT_STREQ(esiti[1].verdetto(), "non calcolato");
    EXPECT_TRUE(contiene(tratti::motivoDi(esiti[1], Separatore::Punto), "senza raggio"));

    const progetto::Progetto p = esempio();
    const progetto::Progetto riletto =
        progetto::progettoDaTesto(progetto::testoProgetto(p), "riletto");
    EXPECT_EQ(riletto, p);
    EXPECT_EQ(progetto::testoProgetto(riletto), progetto::testoProgetto(p));

    const std::string testo = progetto::testoProgetto(p);
    const struct {
        const char* da;
        const char* a;
        const char* motivo;
    } sbagliati[] = {
        {"\"controllo\": \"allineamento\"", "\"controllo\": \"estetica\"", "deroghe[12].controllo"},
        {"\"tratto\": \"\",\n      \"pozzetto\": \"P11\"",
         "\"tratto\": \"X\",\n      \"pozzetto\": \"P11\"", "non entrambi"},
        {"\"nota\": \"\"\n", "\"nota\": \"\", \"allineamento\": \"storto\"\n",
         "pozzetti[0].allineamento"},
    };
    for (const auto& s : sbagliati) {
        SCOPED_TRACE(s.a);
        std::string rotto = testo;
        const std::size_t dove = rotto.find(s.da);
        ASSERT_NE(dove, std::string::npos);
        rotto.replace(dove, std::string(s.da).size(), s.a);
        try {
            progetto::progettoDaTesto(rotto, "rotto");
            ADD_FAILURE() << "letto";
        } catch (const ErroreFile& e) {
            EXPECT_TRUE(contiene(e.what(), s.motivo)) << e.what();
        }
    }
}
