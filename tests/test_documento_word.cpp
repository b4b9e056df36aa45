#include "lettore_docx.h"
#include "report/collegamento.h"
#include "report/documento_word.h"
#include "report/elaboratore_testi.h"
#include "report/scrittore_docx.h"
#include "stato_pulito.h"

#include <QTextDocument>
#include <gtest/gtest.h>

#include <memory>

namespace {

using docx::Tabella;
using docx::Testo;

class Report : public StatoPulito {
  protected:
    void SetUp() override {
        StatoPulito::SetUp();
        Collegamento::InstallaAvvio(nullptr);
        Collegamento::InstallaMessaggio(
            [this](const std::string& testo) { messaggi.push_back(testo); });
        calcola(20, 100);
    }
    void TearDown() override { Collegamento::InstallaMessaggio(nullptr); }

    // The report into the open processor, read back from its .docx.
    static std::vector<docx::Elemento> report(ElaboratoreTesti& elaboratore) {
        Modulo2::CreaDocumentoWord();
        return docx::leggi(documentoDocx(*elaboratore.documenti().back()));
    }

    // Makes the n-th call (from 1) of one operation fail.
    static ElaboratoreTesti::Guasti guasto(std::string operazione, int n) {
        auto chiamate = std::make_shared<int>(0);
        return [=](std::string_view o) { return o == operazione && ++*chiamate == n; };
    }

    std::vector<std::string> messaggi;
};

std::vector<QString> testi(const docx::Riga& riga) {
    std::vector<QString> esito;
    for (const Testo& c : riga.celle) {
        esito.push_back(c.testo);
    }
    return esito;
}

std::vector<QString> inizio(const docx::Riga& riga) {
    const auto t = testi(riga);
    return {t.begin(), t.begin() + 4};
}

} // namespace

TEST_F(Report, Intestazione) {
    ElaboratoreTesti elaboratore;
    const auto corpo = report(elaboratore);
    EXPECT_TRUE(elaboratore.visibile());
    EXPECT_EQ(elaboratore.statoFinestra(), 1);

    const auto p = docx::paragrafi(corpo);
    ASSERT_GE(p.size(), 4u);
    EXPECT_EQ(p[0].testo, "TUBAZIONE INGLESE 40/60 Øeq mm 20");
    EXPECT_EQ(p[1].testo, "COEFF. DI SCABREZZA SECONDO BAZIN =  0.18");
    EXPECT_EQ(p[2].testo, "PENDENZA m/m  0.0100");
    EXPECT_EQ(p[3].testo, "");
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(p[i].carattere, "Courier New") << i;
        EXPECT_EQ(p[i].punti, 10) << i;
        EXPECT_EQ(p[i].allineamento, "left") << i;
    }
    // The fifth paragraph, centred, holds the results table.
    ASSERT_TRUE(std::holds_alternative<Tabella>(corpo[4]));
    const Tabella& t = std::get<Tabella>(corpo[4]);
    EXPECT_EQ(t.allineamento, "center");
    EXPECT_EQ(t.righe[2].celle[0].allineamento, "center");
}

TEST_F(Report, TabellaDeiRisultati) {
    ElaboratoreTesti elaboratore;
    const auto tab = docx::tabelle(report(elaboratore));
    ASSERT_EQ(tab.size(), 3u);
    const Tabella& t = tab[0];
    ASSERT_EQ(t.righe.size(), 8u);
    EXPECT_EQ(testi(t.righe[0]), (std::vector<QString>{"ALTEZZA", "AREA", "CONT.BAGNATO",
                                                       "R.IDRAULICO", "VELOCITA'", "PORTATA"}));
    EXPECT_EQ(testi(t.righe[1]),
              (std::vector<QString>{"(cm)", "(mq)", "(m)", "(m)", "(cm/sec)", "(l/sec)"}));
    EXPECT_EQ(testi(t.righe[2]),
              (std::vector<QString>{"10.0", "0.0164", "0.3280", "0.0501", "107.87", "17.71"}));
    EXPECT_EQ(testi(t.righe[7])[0], "60.0");

    for (const Tabella& tabella : tab) {
        EXPECT_EQ(tabella.colonne, std::vector<int>(6, 1417)); // 2.5 cm
        for (std::size_t r = 0; r < tabella.righe.size(); ++r) {
            const bool intestazione = r < 2;
            EXPECT_EQ(tabella.righe[r].intestazione, intestazione) << r;
            ASSERT_EQ(tabella.righe[r].celle.size(), 6u);
            for (const Testo& cella : tabella.righe[r].celle) {
                EXPECT_EQ(cella.carattere, intestazione ? "Arial" : "Courier New") << r;
                EXPECT_EQ(cella.punti, intestazione ? 7 : 10) << r;
            }
        }
    }
    EXPECT_EQ(s.rapporto, 3);
    EXPECT_EQ(s.riga, 7);
}

TEST_F(Report, TabelleDeiMassimiSottoLeLoroEtichette) {
    ElaboratoreTesti elaboratore;
    const auto corpo = report(elaboratore);
    ASSERT_EQ(corpo.size(), 12u);
    const auto paragrafo = [&](std::size_t i) { return std::get<Testo>(corpo[i]); };
    EXPECT_EQ(paragrafo(5).testo, "");
    EXPECT_EQ(paragrafo(6).testo, "Massima velocità:");
    EXPECT_EQ(paragrafo(8).testo, "");
    EXPECT_EQ(paragrafo(9).testo, "Massima portata:");
    for (std::size_t i : {5u, 6u, 8u, 9u}) {
        EXPECT_EQ(paragrafo(i).allineamento, "left") << i;
    }
    const Tabella& velocita = std::get<Tabella>(corpo[7]);
    const Tabella& portata = std::get<Tabella>(corpo[10]);
    ASSERT_EQ(velocita.righe.size(), 3u);
    ASSERT_EQ(portata.righe.size(), 3u);
    EXPECT_EQ(velocita.allineamento, "center");
    EXPECT_EQ(inizio(velocita.righe[2]),
              (std::vector<QString>{"51.2", "0.1633", "1.1967", "0.1364"}));
    EXPECT_EQ(inizio(portata.righe[2]),
              (std::vector<QString>{"57.2", "0.1797", "1.3713", "0.1311"}));
}

TEST_F(Report, NessunaRigaRegolare) {
    calcola(30, 900);
    ElaboratoreTesti elaboratore;
    const auto tab = docx::tabelle(report(elaboratore));
    ASSERT_EQ(tab.size(), 3u);
    EXPECT_EQ(tab[0].righe.size(), 2u);
    EXPECT_TRUE(tab[0].righe[1].intestazione);
    EXPECT_EQ(testi(tab[1].righe[2])[0], "76.9");
    EXPECT_EQ(testi(tab[2].righe[2])[0], "85.8");
}

TEST_F(Report, DueReportDueDocumentiUguali) {
    int avvii = 0;
    Collegamento::InstallaAvvio([&]() -> ElaboratoreTesti* {
        ++avvii;
        return nullptr;
    });
    ElaboratoreTesti elaboratore; // open: the reports attach to it
    const auto primo = report(elaboratore);
    const auto secondo = report(elaboratore);
    EXPECT_EQ(avvii, 0);
    ASSERT_EQ(elaboratore.documenti().size(), 2u);
    EXPECT_EQ(elaboratore.nomeDocumento(elaboratore.documenti()[1]), "Documento2");
    EXPECT_EQ(primo, secondo);
}

TEST_F(Report, ElaboratoreAvviatoQuandoNessunoEAperto) {
    std::unique_ptr<ElaboratoreTesti> avviato;
    Collegamento::InstallaAvvio([&] {
        avviato = std::make_unique<ElaboratoreTesti>();
        return avviato.get();
    });
    Modulo2::CreaDocumentoWord();
    ASSERT_TRUE(avviato);
    EXPECT_EQ(avviato->documenti().size(), 1u);
    EXPECT_TRUE(messaggi.empty());
}

TEST_F(Report, ElaboratoreCheNonSiAvviaUnSoloMessaggio) {
    const Intero16 riga = s.riga;
    Modulo2::CreaDocumentoWord();
    ASSERT_EQ(messaggi.size(), 1u);
    EXPECT_EQ(messaggi[0], "Il componente ActiveX non può creare l'oggetto.");
    EXPECT_EQ(ElaboratoreTesti::aperto(), nullptr);
    EXPECT_EQ(s.riga, riga);
}

// The program-wide reference follows the processor open now: a report after
// the first processor was closed still gets its fonts, tables, widths and
// heading rows.
TEST_F(Report, IlRiferimentoGlobaleSegueLElaboratoreAperto) {
    std::vector<docx::Elemento> primo;
    {
        ElaboratoreTesti chiuso;
        primo = report(chiuso);
    }
    ElaboratoreTesti nuovo;
    EXPECT_EQ(report(nuovo), primo);
}

TEST_F(Report, TabellaNonInseritaManca) {
    ElaboratoreTesti elaboratore;
    elaboratore.impostaGuasti(guasto("Tables.Add", 1));
    const auto corpo = report(elaboratore);
    const auto tab = docx::tabelle(corpo);
    ASSERT_EQ(tab.size(), 2u);
    EXPECT_EQ(testi(tab[0].righe[2])[0], "51.2");
    EXPECT_EQ(testi(tab[1].righe[2])[0], "57.2");
    EXPECT_EQ(docx::paragrafi(corpo)[0].testo, "TUBAZIONE INGLESE 40/60 Øeq mm 20");
    EXPECT_TRUE(tab[0].righe[0].intestazione);
}

TEST_F(Report, CellaNonScrittaResta) {
    ElaboratoreTesti elaboratore;
    elaboratore.impostaGuasti(guasto("Cell.Range.InsertAfter", 13)); // table row 3, column 1
    const auto tab = docx::tabelle(report(elaboratore));
    ASSERT_EQ(tab.size(), 3u);
    EXPECT_EQ(testi(tab[0].righe[2]),
              (std::vector<QString>{"", "0.0164", "0.3280", "0.0501", "107.87", "17.71"}));
    EXPECT_EQ(testi(tab[0].righe[3])[0], "20.0");
}

TEST_F(Report, CarattereNonImpostato) {
    ElaboratoreTesti elaboratore;
    elaboratore.impostaGuasti(guasto("Selection.Font.Name", 1));
    const auto corpo = report(elaboratore);
    const auto p = docx::paragrafi(corpo);
    EXPECT_EQ(p[0].carattere, "Times New Roman");
    EXPECT_EQ(p[0].punti, 10);
    EXPECT_EQ(p[1].testo, "COEFF. DI SCABREZZA SECONDO BAZIN =  0.18");
    EXPECT_EQ(docx::tabelle(corpo)[0].righe[0].celle[0].carattere, "Arial");
}

TEST_F(Report, SpostamentoNonRiuscito) {
    ElaboratoreTesti elaboratore;
    elaboratore.impostaGuasti(guasto("Selection.MoveDown", 1));
    const auto tab = docx::tabelle(report(elaboratore));
    // The label is typed where the insertion point stayed: in the first cell.
    ASSERT_FALSE(tab.empty());
    EXPECT_TRUE(tab[0].righe[0].celle[0].testo.contains("Massima velocità:"));
    EXPECT_EQ(tab[0].righe.size(), 8u);
    EXPECT_EQ(testi(tab[0].righe[7])[0], "60.0");
}

TEST_F(Report, FormattazioneFermaAlPrimoErrore) {
    ElaboratoreTesti elaboratore;
    elaboratore.impostaGuasti(guasto("Selection.Rows.HeadingFormat", 3)); // table 2, row 1
    const auto tab = docx::tabelle(report(elaboratore));
    ASSERT_EQ(tab.size(), 3u);
    EXPECT_TRUE(tab[0].righe[1].intestazione);
    EXPECT_FALSE(tab[1].righe[0].intestazione);
    EXPECT_EQ(tab[1].righe[0].celle[0].carattere, "Courier New");
    EXPECT_FALSE(tab[2].righe[1].intestazione);
}
