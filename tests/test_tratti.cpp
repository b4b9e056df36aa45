#include "numeri/conversioni.h"
#include "numeri/separatore.h"
#include "seme.h"
#include "tratti/csv_tratti.h"
#include "tratti/parole.h"
#include "tratti/tratto.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <sstream>

using tratti::Esito;
using tratti::Formato;
using tratti::Impostazioni;
using tratti::Tratto;
using namespace std::string_literals;

namespace {

Tratto tratto(std::optional<double> raggio, double pendenza, double portata,
              std::optional<double> portataMinima = std::nullopt) {
    Tratto t;
    t.nome = std::string(1, 'T'); // a literal here trips GCC 12's false -Wrestrict
    t.raggio = raggio;
    t.pendenza = pendenza;
    t.portata = portata;
    t.portataMinima = portataMinima;
    return t;
}

} // namespace

// A reach with no radius gets the smallest size that a check of every size
// passes, from a catalogue in any order; with none, the smallest within the
// filling, else the largest. A typed radius stays as typed.
TEST(Tratti, DimensionatoComeLaProvaDiOgniMisura) {
    const std::optional<unsigned> s = seme();
    ASSERT_TRUE(s);
    std::mt19937 generatore(*s);
    Impostazioni impostazioni;
    std::shuffle(impostazioni.catalogo.begin(), impostazioni.catalogo.end(), generatore);
    std::uniform_real_distribution<double> esponente(-3.5, -1), portata(1, 2500), quota(0, 0.2);
    for (int i = 0; i < 40; ++i) {
        Tratto t =
            tratto(std::nullopt, std::pow(10.0, esponente(generatore)), portata(generatore), 0);
        t.portataMinima = t.portata * quota(generatore);
        const Esito dimensionato = tratti::verifica(t, impostazioni);
        std::optional<Esito> primo;
        std::optional<double> capiente;
        double massimo = 0;
        for (const double r : impostazioni.catalogo) {
            t.raggio = r;
            const Esito provato = tratti::verifica(t, impostazioni);
            EXPECT_EQ(provato.raggio, r);
            EXPECT_FALSE(provato.dimensionato);
            if (provato.verificato && (!primo || r < primo->raggio)) {
                primo = provato;
            }
            if (provato.progetto && provato.progetto->riempimento <= 0.7 &&
                (!capiente || r < *capiente)) {
                capiente = r;
            }
            massimo = std::max(massimo, r);
        }
        SCOPED_TRACE(tratti::motivoDi(dimensionato, Separatore::Punto));
        EXPECT_TRUE(dimensionato.dimensionato);
        EXPECT_EQ(dimensionato.verificato, primo.has_value());
        EXPECT_EQ(dimensionato.raggio, primo ? primo->raggio : capiente.value_or(massimo));
        if (primo) {
            EXPECT_EQ(dimensionato.progetto->altezza, primo->progetto->altezza);
        } else {
            EXPECT_EQ(tratti::motivoDi(dimensionato, Separatore::Punto)
                          .rfind(capiente
                                     ? "nessun raggio del catalogo rispetta tutti i limiti con "
                                       "questa pendenza; r = " +
                                           CStr(*capiente) +
                                           " cm è il più piccolo entro il "
                                           "riempimento: "
                                     : std::string("nessun raggio del catalogo rispetta i limiti; "
                                                   "con il più grande, r = 100 cm: "),
                                 0),
                      0u);
        }
    }
}

// Each limit broken is named with the values compared, then the slope that
// would mend it; the minimum flow is held to the self-cleansing velocity
// only.
TEST(Tratti, OgniLimiteInfrantoConIValori) {
    const analisi::Limiti severi{0.5, 2.0, 0.7};
    Tratto quote = tratto(30, 0, 150, 8);
    quote.pendenza.reset();
    quote.quotaMonte = 100.6;
    quote.quotaValle = 100;
    quote.lunghezza = 120;
    const struct {
        Tratto tratto;
        analisi::Limiti limiti;
        std::string motivo;
    } casi[] = {
        {tratto(30, 0.005, 150, 8), {}, ""},
        {quote, {}, ""},
        {tratto(20, 0.01, 10, 300), severi, ""},
        {tratto(30, 0.1, 500),
         {},
         "velocità troppo alta alla portata di progetto: 600.35 cm/s > 400 cm/s; pendenza "
         "massima per la velocità massima ammessa: 0.0343"},
        {tratto(25, 0.005, 370),
         {},
         "riempimento oltre il limite alla portata di progetto: 73.4% > 70%; pendenza minima "
         "per il riempimento: 0.00581"},
        {tratto(30, 0.005, 150, 8),
         {0.7, 4, 0.7},
         "velocità troppo bassa alla portata minima: 65.54 cm/s < 70 cm/s; pendenza minima per "
         "l'autopulizia: 0.00606"},
        {tratto(20, 0.0005, 20, 0.5),
         {},
         "velocità troppo bassa alla portata di progetto: 36.52 cm/s < 50 cm/s; velocità troppo "
         "bassa alla portata minima: 13.01 cm/s < 50 cm/s; pendenza minima per l'autopulizia: "
         "0.0296"},
        {tratto(20, 0.01, 1000, 8),
         {},
         "nessuna altezza porta la portata di progetto di 1000 l/s: la massima della sezione è "
         "378.07 l/s; nessuna pendenza rispetta i limiti con r = 20 cm"},
        {tratto(20, 0.01, 100, 2000),
         {},
         "nessuna altezza porta la portata minima di 2000 l/s: la massima della sezione è "
         "378.07 l/s"},
        {tratto(20, -0.01, 100), {}, "la pendenza non è positiva"},
        // A value rounded onto its limit takes the decimals that keep it
        // on its side.
        {tratto(20, 0.01, 100, 1.414603),
         {},
         "velocità troppo bassa alla portata minima: 49.997 cm/s < 50 cm/s; pendenza minima per "
         "l'autopulizia: 0.0101"},
        {tratto(20, 0.01, 268.13),
         {},
         "riempimento oltre il limite alla portata di progetto: 70.001% > 70%; pendenza minima "
         "per il riempimento: 0.0101"},
    };
    for (const auto& c : casi) {
        Impostazioni impostazioni;
        impostazioni.limiti = c.limiti;
        const Esito esito = tratti::verifica(c.tratto, impostazioni);
        EXPECT_EQ(tratti::motivoDi(esito, Separatore::Punto), c.motivo);
        EXPECT_EQ(esito.verificato, c.motivo.empty()) << c.motivo;
    }
}

// Read as written, whatever the order of the columns, the quoting, the
// line ends, the blank lines and the kind of CSV.
TEST(CsvTratti, LettiComeScritti) {
    const struct {
        std::string testo, comeRiscritto;
    } casi[] = {
        {"tratto,pendenza,raggio,portata\nT1,0.005,30,150\n", "T1,,,,0.005,,,30,150,,,,,"},
        {"\r\n Portata ,TRATTO,pendenza,raggio\r\n\r\n,,,\r\n1.5e2,\" A, \"\"B\"\"\",0.01,\r\n",
         "\"A, \"\"B\"\"\",,,,0.01,,,,150,,,,,"},
        {"\xEF\xBB\xBFtratto;quota_monte;quota_valle;lunghezza;portata;portata_minima\n"
         "T2;-1,5;-2,5;200;12,5;0,5",
         "T2,,,200,,-1.5,-2.5,,12.5,0.5,,,,"},
        {"tratto,pendenza,portata,legge,scabrezza,pozzetto_valle,terreno_valle\n"
         "T3,0.01,90,Manning,0.013,P2,101.5",
         "T3,,P2,,0.01,,,,90,,manning,0.013,,101.5"},
        // Not UTF-8: Windows-1252, as an Italian Excel saves it.
        {"tratto;pendenza;portata\r\nLibert\xE0 \x80;0,01;10\r\n", "Libertà €,,,,0.01,,,,10,,,,,"},
    };
    for (const auto& c : casi) {
        SCOPED_TRACE(c.testo);
        const tratti::TrattiLetti letti = tratti::leggiTrattiConRighe(c.testo);
        EXPECT_EQ(tratti::testoTratti(letti.tratti, Formato::Csv, letti.pozzetti),
                  "tratto,pozzetto_monte,pozzetto_valle,lunghezza,pendenza,quota_monte,"
                  "quota_valle,raggio,portata,portata_minima,legge,scabrezza,terreno_monte,"
                  "terreno_valle\r\n" +
                      c.comeRiscritto + "\r\n");
    }
    EXPECT_EQ(tratti::leggiTratti(casi[2].testo)[0].pendenzaDiCalcolo(), 1.0 / 200);
}

TEST(CsvTratti, ErroriConRigaEColonna) {
    const std::string piano = "tratto,pendenza,portata,portata_minima,legge,scabrezza\n";
    std::string centomila = "tratto,pendenza,portata\n";
    for (std::size_t i = 0; i < tratti::trattiMassimi; ++i) {
        centomila += "T,0.01,10\n";
    }
    EXPECT_EQ(tratti::leggiTratti(centomila).size(), tratti::trattiMassimi);
    const struct {
        std::string testo;
        std::size_t riga;
        std::string colonna, motivo;
    } casi[] = {
        {"", 1, "", "manca l'intestazione"},
        {"tratto,pendenza,portata,colore\n", 1, "colore", "colonna sconosciuta"},
        {"tratto,pendenza,portata,Pendenza\n", 1, "pendenza", "ripetuta"},
        {"tratto,pendenza\n", 1, "portata", "manca la colonna"},
        {"pendenza,portata\n", 1, "tratto", "manca la colonna"},
        {"tratto,portata,lunghezza\n", 1, "pendenza", "manca la colonna"},
        {"tratto,portata,quota_monte,quota_valle\n", 1, "lunghezza", "manca la colonna"},
        {piano + "A,abc,10,,,", 2, "pendenza", "non è un numero: «abc»"},
        {piano + "A,1e999,10,,,", 2, "pendenza", "fuori dall'intervallo dei numeri"},
        {piano + "A,\"0,01\",10,,,", 2, "pendenza", "il separatore decimale è il punto"},
        {"tratto;pendenza;portata\nA;0.01;10", 2, "pendenza",
         "il separatore decimale è la virgola"},
        {piano + "\"A\nB\",0.01,10,,,", 2, "tratto", "carattere di controllo (U+000A)"},
        {piano + "A,0.01,10,-1,,", 2, "portata_minima", "deve essere maggiore di zero: «-1»"},
        {piano + "A,0.01,,,,", 2, "portata", "manca la portata"},
        {piano + " ,0.01,10,,,", 2, "tratto", "manca il nome"},
        {piano + "A,0.01,10,,chezy,1", 2, "legge", "legge sconosciuta: «chezy»"},
        {piano + "A,0.01,10,,,0.2", 2, "legge", "manca la legge"},
        {piano + "A,0.01,10,,kutter,", 2, "scabrezza", "manca la scabrezza"},
        {piano + "A,0.01,10,,manning,0.5", 2, "scabrezza",
         "fuori dall'intervallo della legge di Manning: «0.5» (n in s/m¹ᐟ³, da 0.005 a 0.1)"},
        {"tratto,lunghezza,quota_monte,quota_valle,portata\nA,50,100,100.5,10", 2, "quota_monte",
         "non è più alta di quella di valle"},
        {"tratto,lunghezza,quota_monte,quota_valle,portata\nA,,100,99,10", 2, "lunghezza",
         "manca la lunghezza"},
        {piano + "A,0.01,10", 2, "", "la riga ha 3 campi, l'intestazione 6"},
        {piano + "A,\"0.01,10,,,\n", 2, "", "virgolette aperte e mai chiuse"},
        {piano + "\"A\"x,0.01,10,,,", 2, "", "testo dopo le virgolette"},
        {centomila + "T,0.01,10", tratti::trattiMassimi + 2, "", "al massimo 100000"},
        {piano + "T\0001,0.01,10,,,"s, 2, "tratto", "contiene un carattere di controllo (U+0000)"},
        {piano + "A,\x1B[31m0.01,10,,,", 2, "pendenza", "carattere di controllo (U+001B)"},
        {piano + "A\x7F,0.01,10,,,", 2, "tratto", "carattere di controllo (U+007F)"},
        {piano + "\"A\tB\",0.01,10,,,", 2, "tratto", "carattere di controllo (U+0009)"},
        {piano + "A,0.01,10,,,\xC2\x9B", 2, "scabrezza", "carattere di controllo (U+009B)"},
        {"tratto,pendenza,portata\nA\x81,0.01,10", 2, "tratto", "carattere di controllo (U+0081)"},
        // Hostile files: quoted in the message escaped, never cut short.
        {"tra\0tto,pendenza,portata\n"s, 1, "tra\0tto"s,
         "colonna «tra\\x00tto»: colonna sconosciuta"},
        {"\xFF\xFEt\0r\0"s, 1, "", "il file è in UTF-16"},
        {"t\0r\0a\0t\0"s, 1, "", "il file è in UTF-16"},
        {piano + "A\"B,0.01,10,,,", 2, "", "virgolette dentro il campo 1"},
        {piano + "A," + std::string(1001, '1') + ",10,,,", 2, "",
         "il campo 2 supera 1000 caratteri"},
        {piano + "\"" + std::string(1001, 'x') + "\",0.01,10,,,", 2, "",
         "il campo 1 supera 1000 caratteri"},
        {piano + std::string(101, 'x') + ",0.01,10,,,", 2, "tratto",
         "il nome supera 100 caratteri"},
        // What no sewer can be, refused with its range.
        {piano + "A,1e50,10,,,", 2, "pendenza", "(da 0.00001 a 1 m/m): «1e50»"},
        {piano + "A,0.01,1e-15,,,", 2, "portata", "(da 0.001 a 1000000 l/s): «1e-15»"},
        {piano + "A,0.01,10,1e-100,,", 2, "portata_minima", "(da 0.001 a 1000000 l/s)"},
        {"tratto,pendenza,portata,raggio\nA,0.01,10,1e12", 2, "raggio", "(da 1 a 1000 cm): «1e12»"},
        {"tratto,pendenza,portata,lunghezza\nA,0.01,10,1e15", 2, "lunghezza",
         "(da 0.01 a 100000 m): «1e15»"},
        {"tratto,pendenza,portata,quota_monte\nA,0.01,10,1e16", 2, "quota_monte",
         "(da -10000 a 10000 m): «1e16»"},
        {"tratto,pendenza,portata,quota_valle\nA,0.01,10,-1e308", 2, "quota_valle",
         "(da -10000 a 10000 m)"},
        {"tratto,lunghezza,quota_monte,quota_valle,portata\nA,0.01,9000,-9000,10", 2, "quota_monte",
         "la pendenza 1800000 delle quote «9000» e «-9000» sulla lunghezza «0.01»"},
        {"tratto,pozzetto_monte,pendenza,portata,terreno_monte\nA,P1,0.01,10,3e20", 2,
         "terreno_monte", "(da -10000 a 10000 m): «3e20»"},
        {piano + "A" + std::string(999, ','), 2, "", "la riga ha 1000 campi, l'intestazione 6"},
        {piano + "A" + std::string(1000, ','), 2, "", "la riga ha più di 1000 campi"},
        {piano + "A,0.01,10,,,\n" + std::string(64 << 20, ','), 3, "",
         "la riga ha più di 1000 campi"},
        {std::string(1000, ';') + "\n", 1, "", "la riga ha più di 1000 campi"},
    };
    for (const auto& c : casi) {
        SCOPED_TRACE(c.testo.substr(0, 200));
        try {
            tratti::leggiTratti(c.testo);
            ADD_FAILURE() << "letto senza errori";
        } catch (const csv::Errore& e) {
            EXPECT_EQ(e.riga(), c.riga);
            EXPECT_EQ(e.colonna(), c.colonna);
            EXPECT_NE(std::string(e.what()).find(c.motivo), std::string::npos) << e.what();
        }
    }
    // A name of 100 characters, each of two bytes, is a name.
    std::string cento;
    for (int i = 0; i < 100; ++i) {
        cento += "à";
    }
    EXPECT_EQ(tratti::leggiTratti(piano + cento + ",0.01,10,,,")[0].nome, cento);
}

// A control character or a control of the writing direction is refused in
// every name, a reach's or a manhole's; other invisible characters, which
// reorder nothing, are a name's own.
TEST(CsvTratti, NomiSenzaControlliNeDirezione) {
    const std::string controllo = "contiene un carattere di controllo (";
    const std::string direzione = "contiene un carattere di controllo della direzione del testo (";
    const struct {
        std::string carattere, motivo;
    } casi[] = {
        {"\x01", controllo + "U+0001)"},
        {"\x1b[2J", controllo + "U+001B)"},
        {"\xc2\x85", controllo + "U+0085)"},
        {"\u061C", direzione + "U+061C)"},
        {"\u200E", direzione + "U+200E)"},
        {"\u200F", direzione + "U+200F)"},
        {"\u202A", direzione + "U+202A)"},
        {"\u202E", direzione + "U+202E)"},
        {"\u2066", direzione + "U+2066)"},
        {"\u2069", direzione + "U+2069)"},
        {"\u200D", ""},
        {"\u202F", ""},
        {"\u206A", ""},
    };
    for (const auto& c : casi) {
        for (const tratti::Colonna colonna :
             {tratti::Nome, tratti::PozzettoMonte, tratti::PozzettoValle}) {
            std::array<std::string, 3> nomi{"T1", "P1", "P2"};
            nomi[colonna].insert(1, c.carattere);
            const std::string testo = "tratto,pozzetto_monte,pozzetto_valle,pendenza,portata\n" +
                                      nomi[0] + "," + nomi[1] + "," + nomi[2] + ",0.01,10\n";
            SCOPED_TRACE(testo);
            try {
                const Tratto t = tratti::leggiTratti(testo).at(0);
                EXPECT_EQ(c.motivo, "");
                EXPECT_EQ((std::array{t.nome, t.pozzettoMonte, t.pozzettoValle}), nomi);
            } catch (const csv::Errore& e) {
                EXPECT_EQ(e.riga(), 2U);
                EXPECT_EQ(e.colonna(), tratti::nomiColonne[colonna]);
                EXPECT_EQ(e.motivo(), c.motivo + ", che non è ammesso");
            }
        }
    }
}

// The window's export reads back as the very reaches, in either CSV.
TEST(CsvTratti, RiscrittiSiRileggonoUguali) {
    Tratto pieno = tratto(std::nullopt, 0.1 + 0.2, 1.0 / 7, 12.5);
    pieno.nome = "A; \"B\", C";
    pieno.quotaMonte = -0.3;
    pieno.quotaValle = -9999.9999999;
    pieno.lunghezza = 1.0 / 3;
    pieno.resistenza = formule::Resistenza{formule::Legge::Colebrook, 0.0015};
    Tratto quote = tratto(35, 0, 150);
    quote.pendenza.reset();
    quote.quotaMonte = 12;
    quote.quotaValle = 11.95;
    quote.lunghezza = 100;
    quote.nome = "1.5"; // a name, though it looks like a number
    for (const Formato formato : {Formato::Csv, Formato::CsvItaliano}) {
        EXPECT_TRUE(tratti::leggiTratti(tratti::testoTratti({pieno, quote}, formato)) ==
                    std::vector<Tratto>({pieno, quote}));
    }
}

// In CSV every number in the shortest form that reads back to the very
// double; csv-it as an Italian spreadsheet opens it; tabella rounded.
TEST(CsvTratti, EsitiNeiTreFormati) {
    const std::vector<Tratto> linea = {tratto(30, 0.005, 150, 8), tratto(std::nullopt, 0.0005, 20)};
    const std::vector<Esito> esiti = tratti::verificaTutti(linea, Impostazioni());
    const std::string motivo = "nessun raggio del catalogo rispetta tutti i limiti con questa "
                               "pendenza; r = 25 cm è il più piccolo entro il riempimento: "
                               "velocità troppo bassa alla portata di progetto: 36.76 cm/s < 50 "
                               "cm/s; pendenza minima per l'autopulizia: 0.00114";
    EXPECT_EQ(tratti::testoEsiti(linea, esiti, Formato::Csv),
              "tratto,pozzetto_monte,pozzetto_valle,raggio_cm,raggio_scelto,pendenza,"
              "portata_l_s,altezza_cm,riempimento_pct,velocita_cm_s,portata_minima_l_s,"
              "altezza_minima_cm,velocita_minima_cm_s,portata_piena_l_s,quota_monte,quota_valle,"
              "salto_m,ricoprimento_min_m,pendenza_minima,pendenza_massima,esito,motivo,"
              "avvisi\r\n"
              "T,,,30,no,0.005,150,30.422,33.8022,144.123,8,6.9875,65.5385,739.651,,,,,"
              "0.00230499,0.0764561,verificato,,\r\n"
              "T,,,25,si,0.0005,20,20.887,27.8494,36.7552,,,,144.127,,,,,0.00113906,0.400742,"
              "non verificato," +
                  motivo + ",\r\n");
    std::string motivoItaliano = motivo;
    motivoItaliano.replace(motivoItaliano.find("36.76"), 5, "36,76");
    motivoItaliano.replace(motivoItaliano.find("0.00114"), 7, "0,00114");
    const std::string csvItaliano = tratti::testoEsiti(linea, esiti, Formato::CsvItaliano);
    EXPECT_NE(csvItaliano.find("\r\nT;;;25;si;0,0005;20;20,887;27,8494;36,7552;;;;144,127;;;;;"
                               "0,00113906;0,400742;non verificato;\"" +
                               motivoItaliano + "\";\r\n"),
              std::string::npos)
        << csvItaliano;
    const std::string tabella = tratti::testoEsiti(linea, esiti, Formato::Tabella);
    EXPECT_EQ(tabella.substr(0, tabella.find('\n')),
              "TRATTO  DA  A  RAGGIO  SCELTO  PENDENZA       Q  ALTEZZA   h/H       V  Q MIN  "
              "ALTEZZA MIN   V MIN  Q PIENA  QUOTA MONTE  QUOTA VALLE  SALTO  RICOPR.     i MIN  "
              "   i MAX  ESITO");
    EXPECT_NE(tabella.find("0.001139  0.400742  non verificato: " + motivo + "\n"),
              std::string::npos)
        << tabella;
    const std::string conVirgola =
        tratti::testoEsiti(linea, esiti, Formato::Tabella, Separatore::Virgola);
    EXPECT_NE(conVirgola.find("0,001139  0,400742  non verificato: "), std::string::npos)
        << conVirgola;

    // A slope from the quotas has six significant digits, as the report
    // prints it, not the subtraction's noise.
    Tratto quote = tratto(30, 0, 150);
    quote.pendenza.reset();
    quote.quotaMonte = 101;
    quote.quotaValle = 100.01;
    quote.lunghezza = 99;
    const std::string conQuote =
        tratti::testoEsiti({quote}, tratti::verificaTutti({quote}, {}), Formato::Csv);
    EXPECT_NE(conQuote.find("\r\nT,,,30,no,0.01,150,"), std::string::npos) << conQuote;
}

// Names with letters of more than one byte keep the columns in line.
TEST(CsvTratti, TabellaAllineataPerCaratteri) {
    std::vector<Tratto> linea(3, tratto(30, 0.005, 150));
    linea[1].nome = "Via Libertà";
    linea[2].nome = "Piazza Ø";
    std::istringstream testo(
        tratti::testoEsiti(linea, tratti::verificaTutti(linea, Impostazioni()), Formato::Tabella));
    // Where a text ends on a line, in characters.
    const auto fineIn = [](const std::string& riga, const std::string& cercato) {
        const std::string prima = riga.substr(0, riga.find(cercato) + cercato.size());
        return std::count_if(prima.begin(), prima.end(),
                             [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; });
    };
    std::string riga;
    std::getline(testo, riga);
    const auto raggio = fineIn(riga, "RAGGIO");
    const auto esito = fineIn(riga, "ESITO");
    std::getline(testo, riga);
    while (std::getline(testo, riga)) {
        EXPECT_EQ(fineIn(riga, "30.0"), raggio) << riga;
        EXPECT_EQ(fineIn(riga, "verificato"), esito + 5) << riga;
    }
}

// Two values a reason compares never read the same: each takes the
// decimals that keep it apart from the other, under either separator.
TEST(Tratti, ValoriConfrontatiCheNonSiLeggonoUguali) {
    using Tipo = tratti::Rilievo::Tipo;
    const struct {
        Tipo tipo;
        double valore, soglia;
        const char* punto;
        const char* virgola;
    } casi[] = {
        {Tipo::Contropendenza, 99.5004, 99.4996,
         "lo scorrimento 99.5004 m è sopra quello di «A», 99.4996 m",
         "lo scorrimento 99,5004 m è sopra quello di «A», 99,4996 m"},
        {Tipo::SopraAllineamento, 100.4004, 100.3996, ": 100.4004 m > 100.3996 m",
         ": 100,4004 m > 100,3996 m"},
        {Tipo::PortataNonRaggiunta, 393, 0.392996,
         "di 393 l/s: la massima della sezione è 392.996 l/s",
         "di 393 l/s: la massima della sezione è 392,996 l/s"},
        {Tipo::RicoprimentoInsufficiente, 0.9996, 1, "): 0.9996 m < 1.00 m",
         "): 0,9996 m < 1,00 m"},
        {Tipo::Contropendenza, 99.56, 99.40,
         "lo scorrimento 99.56 m è sopra quello di «A», 99.40 m",
         "lo scorrimento 99,56 m è sopra quello di «A», 99,40 m"},
    };
    for (const auto& c : casi) {
        tratti::Rilievo r(c.tipo);
        r.valore = c.valore;
        r.soglia = c.soglia;
        r.pozzetto = "P1.1";
        r.altro = "A";
        const std::string punto = tratti::testoRilievo(r, Separatore::Punto);
        const std::string virgola = tratti::testoRilievo(r, Separatore::Virgola);
        EXPECT_NE(punto.find(c.punto), std::string::npos) << punto;
        EXPECT_NE(virgola.find(c.virgola), std::string::npos) << virgola;
        // The manhole's name is a name: no separator touches it.
        EXPECT_EQ(c.tipo == Tipo::PortataNonRaggiunta ||
                      virgola.find("«P1.1»") != std::string::npos,
                  true)
            << virgola;
    }
}
