#include "app/vista_griglia.h"
#include "finestra_avviata.h"
#include "table/copia_griglia.h"

#include <QApplication>
#include <QClipboard>
#include <QItemSelectionModel>
#include <QMimeData>

namespace {

QString appunti() {
    return QGuiApplication::clipboard()->text();
}

using CopiaDellaGriglia = FinestraAvviata;

} // namespace

// Ctrl+A, Ctrl+C: the whole table as the grid shows it, header lines and
// row labels included.
TEST_F(CopiaDellaGriglia, TuttaLaTabellaConIntestazioniEdEtichette) {
    finestra->griglia1->setFocus();
    QTest::keyClick(finestra->griglia1, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(finestra->griglia1, Qt::Key_C, Qt::ControlModifier);
    const QStringList righe = appunti().split('\n');
    ASSERT_EQ(righe.size(), 11); // 2 header lines, 8 rows, the last line end
    EXPECT_EQ(righe[0], "\tALTEZZA\tAREA\tCONT.BAGNATO\tR.IDRAULICO\tV\tQ");
    EXPECT_EQ(righe[1], "\t(cm)\t(mq)\t(m)\t(m)\t(cm/sec)\t(l/sec)");
    EXPECT_EQ(righe[2], "\t10.0\t0.0164\t0.3280\t0.0501\t107.87\t17.71");
    EXPECT_EQ(righe[9], "Max Q\t57.2\t0.1797\t1.3713\t0.1311\t210.36\t378.07");
    EXPECT_EQ(righe[10], "");
    const QString html = QGuiApplication::clipboard()->mimeData()->html();
    EXPECT_TRUE(html.contains("<th>ALTEZZA</th>"));
    EXPECT_TRUE(html.contains("<td>Max Q</td><td sdval=\"57.2\""));
}

TEST_F(CopiaDellaGriglia, CelleColonneERighe) {
    auto* vista = finestra->griglia1;
    auto* modello = finestra->modelloGriglia1;
    QItemSelectionModel* selezione = vista->selectionModel();

    // Two cells apart: the block between them, the unselected ones empty.
    selezione->select(modello->index(0, 0), QItemSelectionModel::ClearAndSelect);
    selezione->select(modello->index(1, 2), QItemSelectionModel::Select);
    vista->copia();
    EXPECT_EQ(appunti(), "10.0\t\t\n\t\t0.5491\n");

    // A whole column brings its two header lines, not the labels.
    selezione->clearSelection();
    vista->selectColumn(5);
    vista->copia();
    const QStringList colonna = appunti().split('\n');
    EXPECT_EQ(colonna[0], "Q");
    EXPECT_EQ(colonna[1], "(l/sec)");
    EXPECT_EQ(colonna[9], "378.07");

    // A whole row brings its label, not the header lines.
    selezione->clearSelection();
    vista->selectRow(7);
    vista->copia();
    EXPECT_EQ(appunti(), "Max Q\t57.2\t0.1797\t1.3713\t0.1311\t210.36\t378.07\n");

    // "Copia tabella" whatever the selection.
    vista->copia(true);
    EXPECT_EQ(appunti().split('\n').size(), 11);
}

TEST(CopiaTesti, HtmlConCaratteriSpeciali) {
    const CopiaGriglia copia = copiaTesti({{"a<b", "c&d"}, {"x>y"}}, 1);
    EXPECT_EQ(copia.testo, "a<b\tc&d\nx>y\n");
    EXPECT_EQ(copia.html, "<table xmlns:x=\"urn:schemas-microsoft-com:office:excel\">"
                          "<tr><th>a&lt;b</th><th>c&amp;d</th></tr>"
                          "<tr><td>x&gt;y</td></tr></table>");
}

// A value cell carries its number, read the same in every language, beside
// its text; headings, labels and empty cells stay text.
TEST(CopiaTesti, HtmlConINumeriPerIFogliDiCalcolo) {
    const std::pair<std::string, std::string> casi[] = {
        {"107.87", R"(<td sdval="107.87" sdnum="1033;0;0.00" x:num="107.87")"
                   R"( style="mso-number-format:'0.00'">107.87</td>)"},
        {"0.0164", R"(<td sdval="0.0164" sdnum="1033;" x:num="0.0164")"
                   R"( style="mso-number-format:'0.0000'">0.0164</td>)"},
        {"0.0",
         R"(<td sdval="0.0" sdnum="1033;" x:num="0.0" style="mso-number-format:'0.0'">0.0</td>)"},
        {"Max V", "<td>Max V</td>"},
        {"CONT.BAGNATO", "<td>CONT.BAGNATO</td>"},
        {"1.", "<td>1.</td>"},
        {"", "<td></td>"},
    };
    for (const auto& [testo, cella] : casi) {
        const CopiaGriglia copia = copiaTesti({{"ALTEZZA", "10.0"}, {testo}}, 1);
        EXPECT_EQ(copia.testo, "ALTEZZA\t10.0\n" + testo + "\n");
        EXPECT_EQ(copia.html, "<table xmlns:x=\"urn:schemas-microsoft-com:office:excel\">"
                              "<tr><th>ALTEZZA</th><th>10.0</th></tr><tr>" +
                                  cella + "</tr></table>");
    }
}
