#include "file/errore_file.h"
#include "progetto/json.h"
#include "progetto/legge_progetto.h"
#include "progetto/progetto.h"
#include "progetto/righe_tratti.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

using progetto::Casella;
using progetto::Progetto;

namespace {

std::string erroreDi(std::string_view testo) {
    try {
        progetto::progettoDaTesto(testo, "T12.sezione");
    } catch (const ErroreFile& e) {
        return e.what();
    }
    return "nessun errore";
}

const std::string esempio = R"({
  "formato": "sezione-inglese",
  "versione": 1,
  "ingressi": {
    "raggio": 30,
    "pendenza": 0.30000000000000004,
    "coefficiente": 0.16,
    "incremento": "5e1",
    "nomeFile": "INGLESE"
  },
  "verifiche": {
    "geometria": "esatta",
    "portataProgetto": 150,
    "portataMinima": 8,
    "velocitaProgetto": null,
    "velocitaMinima": 50,
    "velocitaMassima": 400,
    "riempimentoMassimo": 70,
    "legge": "manning",
    "scabrezza": "0.013: calcestruzzo",
    "temperatura": 15,
    "futura": [1, {"a": "b\"c"}]
  },
  "progetto": {
    "opera": "Collettore via Roma",
    "tratto": "T12",
    "committente": "",
    "progettista": "Ing. Rossi",
    "data": "2026-12-07",
    "note": "riga 1\nriga 2",
    "descrizione": "Collettore principale, 12 tratti.",
    "sezione_tipo": "si"
  },
  "fonti": {
    "velocita_minima": "Circolare Min. LL.PP. n. 11633 del 7 gennaio 1974",
    "velocita_massima": "Capitolato dell'ente gestore, art. 12",
    "riempimento_massimo": "a cura del progettista",
    "legge": "Manuale dell'ente, tab. 3",
    "allineamento": "",
    "ricoprimento": "a cura del progettista",
    "nuova": 1
  },
  "rete": {
    "allineamento": "pelo",
    "ricoprimento_minimo": "1,20",
    "profondita_massima": null,
    "salto_massimo": 0.5
  },
  "catalogo": [
    25,
    30,
    40
  ],
  "tratti": [
    {
      "tratto": "T1",
      "pozzetto_monte": "P1",
      "pozzetto_valle": "P2",
      "lunghezza": 50,
      "pendenza": "0,004",
      "quota_monte": null,
      "quota_valle": null,
      "raggio": null,
      "portata": 150,
      "portata_minima": 8,
      "legge": "",
      "scabrezza": null
    }
  ],
  "pozzetti": [
    {
      "pozzetto": "P1",
      "quota_terreno": 102.5,
      "nota": "via Roma",
      "chiusino": "D400"
    }
  ],
  "altro": true,
  "intero": 9007199254740993
}
)";

} // namespace

TEST(Progetto, LettoComeScritto) {
    const Progetto p = progetto::progettoDaTesto(esempio, "T12.sezione");
    EXPECT_EQ(p.ingressi.raggio, (Casella{"30", 30}));
    // All the digits that tell the number: the window reads what the file holds.
    EXPECT_EQ(p.ingressi.pendenza, (Casella{"0.30000000000000004", 0.30000000000000004}));
    EXPECT_EQ(p.ingressi.incremento, (Casella{"5e1", std::nullopt}));
    EXPECT_EQ(p.ingressi.incremento.valore(), 50);
    EXPECT_EQ(p.verifiche.geometria, "esatta");
    EXPECT_TRUE(p.verifiche.velocitaProgetto.vuota());
    EXPECT_EQ(p.dati.note, "riga 1\nriga 2");
    EXPECT_EQ(p.dati.descrizione, "Collettore principale, 12 tratti.");
    EXPECT_EQ(p.dati.sezioneTipo, "si");
    EXPECT_EQ(p.dati.fonti.velocitaMassima, "Capitolato dell'ente gestore, art. 12");
    EXPECT_EQ(p.dati.fonti.legge, "Manuale dell'ente, tab. 3");
    EXPECT_EQ(p.dati.fonti.allineamento, ""); // emptied by the designer, not proposed again
    EXPECT_EQ(p.catalogo, (std::vector<double>{25, 30, 40}));
    ASSERT_EQ(p.tratti.size(), 1u);
    EXPECT_EQ(p.tratti[0].pendenza, (Casella{"0,004", std::nullopt})); // kept as typed
    EXPECT_TRUE(p.tratti[0].raggio.vuota());
    EXPECT_EQ(p.tratti[0].pozzettoValle, "P2");
    ASSERT_EQ(p.pozzetti.size(), 1u);
    EXPECT_EQ(p.pozzetti[0].quotaTerreno, (Casella{"102.5", 102.5}));
    const tratti::Impostazioni rete =
        progetto::impostazioniTratti(p.verifiche, p.rete, {}, p.catalogo);
    EXPECT_EQ(rete.allineamento, tratti::Allineamento::Pelo);
    EXPECT_EQ(rete.ricoprimentoMinimo, 1.2);
    EXPECT_EQ(rete.profonditaMassima, std::nullopt);
    EXPECT_EQ(rete.saltoMassimo, 0.5);

    // The same text back, byte for byte: the keys the program does not use
    // as the file wrote them, the known ones in their order.
    EXPECT_EQ(progetto::testoProgetto(p), esempio);
    EXPECT_EQ(progetto::progettoDaTesto(progetto::testoProgetto(p), "x"), p);
}

// What the program does not use survives a change and a save as written:
// inside a reach too, a number beyond 2^53, a negative zero, a lone
// surrogate.
TEST(Progetto, ChiaviAltruiIntatteDopoUnaModifica) {
    const std::string altro =
        R"({"id":12345678901234567891,"neg0":-0.0,"s":"a\ud800b","e":1e-320})";
    Progetto p = progetto::progettoDaTesto(
        R"({"formato":"sezione-inglese","versione":1,"altro":)" + altro +
            R"(, "tratti":[{"tratto":"T1","pendenza":"0.005","portata":"150","colore":"rosso"}]})",
        "x");
    p.ingressi.raggio = Casella::daTesto("35");
    const std::string scritto = progetto::testoProgetto(p);
    EXPECT_NE(scritto.find("\n  \"altro\": " + altro + "\n}"), std::string::npos) << scritto;
    EXPECT_NE(scritto.find("\"scabrezza\": null,\n      \"colore\": \"rosso\"\n    }"),
              std::string::npos)
        << scritto;
    EXPECT_EQ(progetto::progettoDaTesto(scritto, "x"), p);
}

// The profile's scales and sheet: only what was chosen is written, with a
// key of another program's kept; a part emptied is no longer written.
TEST(Progetto, DisegnoDelProfiloLettoEScritto) {
    const std::string inizio = R"({"formato": "sezione-inglese", "versione": 1, "profilo": )";
    const struct {
        std::string parte;
        progetto::DisegnoProfilo atteso;
        const char* scritto; // none: not written
    } casi[] = {
        {R"({"scala_orizzontale": 1000, "scala_verticale": 100, "foglio": "A4"})",
         {1000.0, 100.0, "A4"},
         "\"profilo\": {\n    \"scala_orizzontale\": 1000,\n    \"scala_verticale\": 100,\n"
         "    \"foglio\": \"A4\"\n  }\n}"},
        {R"({"scala_verticale": 50, "penna": 0.35})",
         {std::nullopt, 50.0, ""},
         "\"profilo\": {\n    \"scala_verticale\": 50,\n    \"penna\": 0.35\n  }\n}"},
        {R"({"scala_orizzontale": null, "foglio": null})", {}, nullptr},
    };
    for (const auto& c : casi) {
        const Progetto p = progetto::progettoDaTesto(inizio + c.parte + "}", "x");
        EXPECT_EQ(p.profilo, c.atteso) << c.parte;
        const std::string testo = progetto::testoProgetto(p);
        EXPECT_EQ(testo.find("\"profilo\""), c.scritto ? testo.find(c.scritto) : std::string::npos)
            << testo;
        EXPECT_EQ(progetto::progettoDaTesto(testo, "x"), p);
    }
}

TEST(Progetto, CasellaComeDigitata) {
    const struct {
        const char* testo;
        std::optional<double> numero;
    } casi[] = {{"30", 30},
                {"0.004", 0.004},
                {"-5", -5},
                {"1e2", std::nullopt},
                {" 20", std::nullopt},
                {"20cm", std::nullopt},
                {"0,5", std::nullopt},
                {"", std::nullopt},
                {"1e400", std::nullopt}};
    for (const auto& c : casi) {
        EXPECT_EQ(Casella::daTesto(c.testo), (Casella{c.testo, c.numero})) << c.testo;
    }
}

TEST(Progetto, UnFileMinimoPrendeIValoriDiAvvio) {
    const Progetto p = progetto::progettoDaTesto(
        R"({"formato": "sezione-inglese", "versione": 1, "ingressi": {"raggio": "12,5"}})", "x");
    Progetto atteso = progetto::progettoNuovo();
    atteso.ingressi.raggio = {"12,5", std::nullopt};
    atteso.originale = p.originale;
    EXPECT_EQ(p, atteso);
}

TEST(Progetto, FileSbagliatiUnMotivoChiaro) {
    const std::string inizio = R"({"formato": "sezione-inglese", "versione": 1, )";
    const struct {
        std::string testo;
        const char* motivo;
    } casi[] = {
        {"", "il file è vuoto"},
        {" \n ", "il file è vuoto"},
        {"{\"formato\": \"sezione-inglese\",\n", "il testo non è JSON valido: un oggetto non è "
                                                 "chiuso da una graffa (riga 2, colonna 1)"},
        {"progetto", "il testo non è JSON valido: c'è un valore non ammesso (riga 1, colonna 1)"},
        {"42", "non è un oggetto JSON: un progetto è tra graffe"},
        {"null", "non è un oggetto JSON: un progetto è tra graffe"},
        {inizio + R"("x": "a\qb"})",
         "il testo non è JSON valido: c'è una sequenza di escape non valida (riga 1, colonna 54)"},
        {inizio + R"("x": "a\u0000b"})",
         "il testo non è JSON valido: c'è un carattere nullo (\\u0000) in un testo (riga 1, "
         "colonna 54)"},
        {inizio + R"("x": 1e-400})",
         "il testo non è JSON valido: c'è un numero troppo piccolo (riga 1, colonna 52)"},
        {inizio + R"("x": -1e400})",
         "il testo non è JSON valido: c'è un numero troppo grande (riga 1, colonna 52)"},
        {inizio + R"("x": 0.1e-999999999999999999999})",
         "il testo non è JSON valido: c'è un numero troppo piccolo (riga 1, colonna 52)"},
        {inizio + R"("x": 01})", "il testo non è JSON valido: c'è un numero non valido (riga 1, "
                                 "colonna 52)"},
        {inizio + "\"x\": \"a\tb\"}",
         "il testo non è JSON valido: c'è un carattere di controllo in "
         "un testo: va scritto con una sequenza di escape (riga 1, "
         "colonna 54)"},
        {inizio + "\"x\": " + std::string(600, '[') + std::string(600, ']') + "}",
         "il testo non è JSON valido: gli oggetti sono annidati troppo a fondo (riga 1, colonna "
         "563)"},
        {inizio + R"("progetto": {"note": "a\udc00"}})",
         "«progetto.note» contiene metà di una coppia surrogata UTF-16 (\\ud800–\\udfff), che non "
         "è un carattere"},
        {inizio + R"("progetto": {"note": ")" + std::string(100001, 'x') + "\"}}",
         "«progetto.note» supera 100000 caratteri"},
        {"[]", "non contiene un progetto ma un elenco JSON"},
        {R"({"formato": "altro", "versione": 1})",
         "non è un progetto di Sezione inglese («formato» non è «sezione-inglese»)"},
        {R"({"versione": 1})", "non è un progetto di Sezione inglese (manca «formato»)"},
        {R"({"formato": "sezione-inglese", "versione": 2})",
         "è stato creato da una versione più recente del programma (formato 2; questa versione "
         "legge fino al 1)"},
        {R"({"formato": "sezione-inglese", "versione": "1"})",
         "«versione» deve essere un numero intero da 1 in su"},
        {inizio + R"("ingressi": []})", "«ingressi» deve essere un oggetto JSON, tra graffe"},
        {inizio + R"("ingressi": {"raggio": true}})",
         "«ingressi.raggio» deve essere un numero, un testo o null"},
        {inizio + R"("ingressi": {"nomeFile": 3}})", "«ingressi.nomeFile» deve essere un testo"},
        {inizio + R"("verifiche": {"geometria": "rotonda"}})",
         "«verifiche.geometria» deve essere «tabellare» o «esatta»"},
        {inizio + R"("progetto": {"sezione_tipo": "sì"}})",
         "«progetto.sezione_tipo» deve essere «si», «no» o vuoto"},
        {inizio + R"("fonti": {"legge": 3}})", "«fonti.legge» deve essere un testo"},
        {inizio + R"("rete": {"allineamento": "cielo"}})",
         "«rete.allineamento» deve essere «cieli», «pelo» o «fondo»"},
        {inizio + R"("pozzetti": [{"pozzetto": "P1"}, 3]})",
         "«pozzetti[1]» deve essere un oggetto JSON, tra graffe"},
        {inizio + R"("verifiche": {"legge": "Manning"}})",
         "«verifiche.legge» deve essere «bazin», «kutter», «strickler», «manning» o «colebrook»"},
        {inizio + R"("verifiche": {"portataMinima": {}}})",
         "«verifiche.portataMinima» deve essere un numero, un testo o null"},
        {inizio + R"("progetto": {"data": 20261207}})", "«progetto.data» deve essere un testo"},
        {inizio + R"("tratti": [{"portata": true}]})",
         "«tratti[0].portata» deve essere un numero, un testo o null"},
        {inizio + R"("profilo": {"scala_orizzontale": 5}})",
         "«profilo.scala_orizzontale» deve essere il denominatore di una scala da 1:10 a "
         "1:1000000, o null"},
        {inizio + R"("profilo": {"scala_verticale": "100"}})",
         "«profilo.scala_verticale» deve essere il denominatore di una scala da 1:10 a "
         "1:1000000, o null"},
        {inizio + R"("profilo": {"foglio": "A0"}})",
         "«profilo.foglio» deve essere «A3», «A4» o null"},
        {inizio + R"("profilo": 1000})", "«profilo» deve essere un oggetto JSON, tra graffe"},
        {inizio + R"("catalogo": [25, -30]})",
         "«catalogo» deve essere un elenco di numeri positivi"},
        {inizio + "\"progetto\": {\"opera\": \"\xff\"}}",
         "il testo non è in UTF-8 (riga 1, colonna 70)"},
        {inizio + std::string("\"progetto\": {\"opera\": \"a\0b\"}}", 30),
         "il file contiene un carattere nullo: non è un testo (riga 1, colonna 71)"},
        // A key written twice would lose one of its values on saving.
        {inizio + R"("rete": {}, "rete": {}})",
         "la voce «rete» è scritta due volte (riga 1, colonna 59)"},
        {R"({"formato": "sezione-inglese", "formato": "altro", "versione": 1})",
         "la voce «formato» è scritta due volte (riga 1, colonna 32)"},
        {inizio + "\"progetto\": {\n  \"opera\": \"a\",\n  \"opera\": \"b\"}}",
         "la voce «progetto.opera» è scritta due volte (riga 3, colonna 3)"},
        {inizio + R"("tratti": [{"tratto": "T1"}, {"portata": 1, "portata": 2}]})",
         "la voce «tratti[1].portata» è scritta due volte (riga 1, colonna 91)"},
        {inizio + R"("altro": {"x": [{"y": 1, "\u0079": 2}]}})",
         "la voce «altro.x[0].y» è scritta due volte (riga 1, colonna 72)"},
        {inizio + R"("pozzetti": [{"\u001b": 1, "\u001B": 2}]})",
         "la voce «pozzetti[0].\\x1b» è scritta due volte (riga 1, colonna 74)"},
    };
    for (const auto& c : casi) {
        EXPECT_EQ(erroreDi(c.testo),
                  std::string("Impossibile aprire «T12.sezione»: ") + c.motivo + ".")
            << c.testo;
    }
}

// A control character or a control of the writing direction is refused in
// the project's texts, naming the key; the description and the notes may
// break their lines. The reaches' and manholes' rows are read as the window
// reads them: a reach whose name holds one is not computed, nor named; a
// manhole is left out, its note is not used.
TEST(Progetto, NomiENoteSenzaControlliNeDirezione) {
    const std::string controllo = "contiene un carattere di controllo (";
    const std::string direzione = "contiene un carattere di controllo della direzione del testo (";
    const struct {
        const char *parte, *chiave;
        std::string testo, motivo;
    } casi[] = {
        {"progetto", "opera", "Collettore \u202Evia Roma", direzione + "U+202E)"},
        {"progetto", "tratto", "T\x01", controllo + "U+0001)"},
        {"progetto", "committente", "Comune\u200E", direzione + "U+200E)"},
        {"progetto", "progettista", "\u2066Ing. Rossi\u2069", direzione + "U+2066)"},
        {"progetto", "data", "07/12/2026\u061C", direzione + "U+061C)"},
        {"progetto", "note", "riga 1\n\x1b[2Jriga 2", controllo + "U+001B)"},
        {"progetto", "descrizione", "a\tb", controllo + "U+0009)"},
        {"progetto", "note", "a\r\nb", controllo + "U+000D)"},
        {"fonti", "legge", "Manuale\xc2\x85", controllo + "U+0085)"},
        {"fonti", "ricoprimento", "a\nb", controllo + "U+000A)"},
        {"progetto", "descrizione", "riga 1\nriga 2", ""},
        {"progetto", "opera", "Collettore\u200Dvia Roma", ""},
    };
    for (const auto& c : casi) {
        const std::string testo = R"({"formato": "sezione-inglese", "versione": 1, ")" +
                                  std::string(c.parte) + "\": {\"" + c.chiave +
                                  "\": " + json::stringa(c.testo) + "}}";
        EXPECT_EQ(erroreDi(testo), c.motivo.empty() ? "nessun errore"
                                                    : "Impossibile aprire «T12.sezione»: «" +
                                                          std::string(c.parte) + "." + c.chiave +
                                                          "» " + c.motivo + ", che non è ammesso.")
            << testo;
    }

    const Progetto p = progetto::progettoDaTesto(
        R"({"formato": "sezione-inglese", "versione": 1,
            "tratti": [{"tratto": "T\u202E1", "pendenza": 0.01, "portata": 10}],
            "pozzetti": [{"pozzetto": "P\u001b", "quota_terreno": 100},
                         {"pozzetto": "P2", "quota_terreno": 101, "nota": "\u2067via Roma"}]})",
        "x");
    const std::vector<progetto::RigaLetta> righe = progetto::leggiRighe(p.tratti);
    ASSERT_EQ(righe.size(), 1U);
    ASSERT_TRUE(righe[0].errore);
    EXPECT_EQ(righe[0].errore->colonna(), "tratto");
    EXPECT_EQ(righe[0].errore->motivo(), direzione + "U+202E), che non è ammesso");
    EXPECT_EQ(righe[0].nome(), "riga 1");
    EXPECT_EQ(progetto::pozzettiDi(p.pozzetti), (std::vector<tratti::Pozzetto>{{"P2", 101, ""}}));
}

// A reach's number cell kept by the file as typed reads as the window reads
// the same text typed in its cell: a decimal comma is a point, a point
// beside it a second separator.
TEST(Progetto, CelleDeiTrattiComeDigitate) {
    const struct {
        std::string testo;
        std::optional<double> lunghezza;
    } casi[] = {
        {"50,5", 50.5}, {"50.5", 50.5}, {" 50,5 ", 50.5}, {"5e1", 50}, {"1.234,5", std::nullopt},
    };
    for (const auto& c : casi) {
        SCOPED_TRACE(c.testo);
        const Progetto p = progetto::progettoDaTesto(
            R"({"formato": "sezione-inglese", "versione": 1, "tratti": [{"tratto": "T1",
                "lunghezza": )" +
                json::stringa(c.testo) +
                R"(, "quota_monte": "100,5", "quota_valle": "100", "portata": "1,5"}]})",
            "x");
        progetto::RigaTratto digitata;
        for (const auto& [colonna, testo] : {std::pair{tratti::Nome, std::string("T1")},
                                             {tratti::Lunghezza, c.testo},
                                             {tratti::QuotaMonte, std::string("100,5")},
                                             {tratti::QuotaValle, std::string("100")},
                                             {tratti::Portata, std::string("1,5")}}) {
            progetto::scriviCella(digitata, colonna, testo);
        }
        const std::optional<progetto::RigaLetta> letta = progetto::leggiRiga(p.tratti.at(0), 1);
        const std::optional<progetto::RigaLetta> comeNellaFinestra =
            progetto::leggiRiga(digitata, 1);
        ASSERT_TRUE(letta && comeNellaFinestra);
        ASSERT_EQ(letta->tratto.has_value(), c.lunghezza.has_value());
        if (c.lunghezza) {
            EXPECT_EQ(letta->tratto->lunghezza, c.lunghezza);
            EXPECT_EQ(letta->tratto->pendenzaDiCalcolo(), 0.5 / *c.lunghezza);
            EXPECT_EQ(letta->tratto->portata, 1.5);
            EXPECT_EQ(letta->tratto, comeNellaFinestra->tratto);
        } else {
            EXPECT_EQ(letta->errore->what(), std::string(comeNellaFinestra->errore->what()));
            EXPECT_EQ(letta->errore->motivo(), "non è un numero: «1.234.5»");
        }
        EXPECT_EQ(p.tratti[0].lunghezza.testo, c.testo); // the file keeps what was typed
    }
}

TEST(Progetto, FileCheNonSiPossonoLeggere) {
    char modello[] = "/tmp/test_progetto-XXXXXX";
    const std::filesystem::path cartella = ::mkdtemp(modello);
    const auto errore = [](const std::filesystem::path& percorso) {
        try {
            progetto::leggiProgetto(percorso.string());
        } catch (const ErroreFile& e) {
            return std::string(e.what());
        }
        return std::string("nessun errore");
    };
    const auto motivo = [&](const std::filesystem::path& percorso, const char* atteso) {
        EXPECT_EQ(errore(percorso),
                  "Impossibile aprire «" + percorso.string() + "»: " + atteso + ".");
    };
    motivo(cartella / "manca.sezione", "il file non esiste");
    motivo(cartella, "è una cartella, non un file");
    ASSERT_EQ(::mkfifo((cartella / "coda.sezione").c_str(), 0600), 0);
    motivo(cartella / "coda.sezione", "non è un file ma una coda FIFO");
    std::ofstream(cartella / "grande.sezione") << std::string(progetto::dimensioneMassima + 1, ' ');
    motivo(cartella / "grande.sezione", "il file supera 1 MiB");
    if (::geteuid() != 0) {
        std::ofstream(cartella / "chiuso.sezione") << esempio;
        ::chmod((cartella / "chiuso.sezione").c_str(), 0);
        motivo(cartella / "chiuso.sezione", "manca il permesso di leggerlo");
    }

    // Written through the safe writer and read back the same.
    const Progetto p = progetto::progettoDaTesto(esempio, "x");
    progetto::scriviProgetto((cartella / "T12.sezione").string(), p);
    EXPECT_EQ(progetto::leggiProgetto((cartella / "T12.sezione").string()), p);
    std::filesystem::remove_all(cartella);
}

// The dry-weather flow is read, and written as typed in its place.
TEST(Progetto, PortataMinimaLettaEScritta) {
    Progetto p = progetto::progettoDaTesto(esempio, "x");
    EXPECT_EQ(p.verifiche.portataMinima, (Casella{"8", 8}));
    p.verifiche.portataMinima = Casella::daTesto("8 l/s");
    const std::string testo = progetto::testoProgetto(p);
    EXPECT_NE(testo.find("150,\n    \"portataMinima\": \"8 l/s\",\n    \"velocitaProgetto\""),
              std::string::npos);
    EXPECT_EQ(progetto::progettoDaTesto(testo, "x").verifiche, p.verifiche);
}

// The limits as the analysis window reads them: a box without a positive
// number, or a filling beyond 100 %, keeps the proposal.
TEST(Progetto, LimitiComeLaFinestraDiAnalisi) {
    const analisi::Limiti proposte;
    const struct {
        const char *minima, *massima, *riempimento;
        analisi::Limiti attesi;
    } casi[] = {
        {"60", "350", "80", {0.6, 3.5, 0.8}},
        {"", "abc", "0", proposte},
        {"-5", "4e2", "150", {proposte.velocitaMinima, 4.0, proposte.riempimentoMassimo}},
        {"50", "400", "100", {0.5, 4.0, 1.0}},
    };
    for (const auto& c : casi) {
        progetto::Verifiche v;
        v.velocitaMinima = progetto::Casella::daTesto(c.minima);
        v.velocitaMassima = progetto::Casella::daTesto(c.massima);
        v.riempimentoMassimo = progetto::Casella::daTesto(c.riempimento);
        const analisi::Limiti l = progetto::limitiDi(v);
        EXPECT_DOUBLE_EQ(l.velocitaMinima, c.attesi.velocitaMinima) << c.minima;
        EXPECT_DOUBLE_EQ(l.velocitaMassima, c.attesi.velocitaMassima) << c.massima;
        EXPECT_DOUBLE_EQ(l.riempimentoMassimo, c.attesi.riempimentoMassimo) << c.riempimento;
    }
}

// The water's temperature against its range, 0 included: a value below it
// is out of the range, not "not positive".
TEST(Progetto, TemperaturaNelSuoIntervallo) {
    const struct {
        const char* temperatura;
        std::optional<double> letta;
        const char* motivo;
    } casi[] = {{"0", 0.0, ""},
                {"40", 40.0, ""},
                {"-5", std::nullopt, "Fuori dall'intervallo ammesso: deve essere tra 0 e 40 °C."},
                {"41", std::nullopt, "Fuori dall'intervallo ammesso: deve essere tra 0 e 40 °C."},
                {"", std::nullopt, "La casella è vuota: serve un valore da 0–40 °C."}};
    for (const auto& c : casi) {
        progetto::Verifiche v;
        v.legge = "colebrook";
        v.scabrezza = Casella::daTesto("1");
        v.temperatura = Casella::daTesto(c.temperatura);
        const progetto::LeggeLetta l = progetto::leggiLegge(v, 0.18);
        EXPECT_EQ(l.resistenza ? std::optional(l.resistenza->temperatura) : std::nullopt, c.letta)
            << c.temperatura;
        EXPECT_EQ(l.motivo, c.motivo) << c.temperatura;
    }
}
