#include "documenti/codifica_png.h"
#include "documenti/disegno_documento.h"
#include "documento_salvato.h"
#include "figure/disegno_svg.h"
#include "figure/esporta_profilo.h"
#include "file/errore_file.h"
#include "lettore_docx.h"
#include "relazione/scrittore_relazione.h"

#include <QPainter>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <gtest/gtest.h>

#include <cstdlib>
#include <tuple>
#include <vector>

namespace {

// A landscape sheet 230 × 160 with a red band along its left edge and a
// word, in millimetres as the profile's sheets are, turned to stand along
// a page.
disegno::Disegno foglio(disegno::Colore banda = {255, 0, 0}) {
    disegno::Disegno d;
    d.larghezza = 230;
    d.altezza = 160;
    d.area("", {{0, 0}, {20, 0}, {20, 160}, {0, 160}}, banda);
    d.testo("", {"Pozzetto", {100, 80}, 7});
    return d;
}
const QByteArray inPiedi = QByteArray::fromStdString(disegno::svg(foglio(), "", true));

QTextDocument* conDisegno(QTextDocument& documento) {
    ScrittoreRelazione scrittore(documento);
    scrittore.paragrafo("Prima.");
    scrittore.disegno(inPiedi, {16, 23}, "Profilo.");
    return &documento;
}

bool rosso(QRgb colore) {
    return qRed(colore) > 200 && qGreen(colore) < 60 && qBlue(colore) < 60;
}

} // namespace

// Turned to stand along the page, the sheet's left edge lies at the foot,
// and the drawing is as high as the sheet was wide.
TEST(Disegni, FoglioInPiedi) {
    EXPECT_TRUE(inPiedi.contains(R"(viewBox="0 0 160 230")"));
    EXPECT_TRUE(inPiedi.contains(R"(width="160mm" height="230mm")"));
    const QImage immagine = immagineDelDisegno({inPiedi, {160, 230}, nullptr}, {160, 230});
    ASSERT_FALSE(immagine.isNull());
    EXPECT_TRUE(rosso(immagine.pixel(80, 225))); // the foot: the sheet's left edge
    EXPECT_FALSE(rosso(immagine.pixel(5, 100))); // no longer on the left
    EXPECT_FALSE(rosso(immagine.pixel(80, 5)));  // nor at the head
}

// Every format keeps the drawing as vectors: the .docx as SVG with a
// picture for old readers, the .odt as SVG and picture in one frame, the
// page as an SVG image, the .pdf as drawing operators with no picture; a
// copy of the text into another document (as the report window takes it)
// keeps it too.
TEST(Disegni, OgniFormatoLoTieneVettoriale) {
    QTextDocument originale;
    conDisegno(originale);
    QTextDocument copia;
    abilitaDisegni(copia);
    QTextCursor(&copia).insertFragment(QTextDocumentFragment(&originale));
    for (const QTextDocument* documento : std::vector<const QTextDocument*>{&originale, &copia}) {
        const docx::Pacchetto docx = docx::apri(salvato(*documento, "r.docx"));
        ASSERT_EQ(docx.parti.count("word/media/disegno1.svg"), 1u);
        EXPECT_TRUE(docx.parti.at("word/media/disegno1.svg").contains("Pozzetto"));
        EXPECT_TRUE(docx.parti.at("word/media/disegno1.png").startsWith("\x89PNG"));
        const QByteArray corpo = docx.parti.at("word/document.xml");
        EXPECT_TRUE(corpo.contains("{96DAC541-7B7A-43D3-8B79-37D633B846F1}"));
        EXPECT_TRUE(corpo.contains(R"(svgBlip r:embed="rIdDisegno1svg")"));
        EXPECT_EQ(docx.tipiPerEstensione.at("svg"), "image/svg+xml");

        const std::map<QString, QByteArray> odt = docx::parti(salvato(*documento, "r.odt"));
        EXPECT_TRUE(odt.at("Pictures/disegno1.svg").contains("Pozzetto"));
        EXPECT_TRUE(odt.at("META-INF/manifest.xml").contains("Pictures/disegno1.png"));
        const QByteArray contenuto = odt.at("content.xml");
        EXPECT_LT(contenuto.indexOf("Pictures/disegno1.svg"),
                  contenuto.indexOf("Pictures/disegno1.png"));
        EXPECT_TRUE(contenuto.contains(R"(svg:width="16cm" svg:height="23cm")"));

        EXPECT_TRUE(salvato(*documento, "r.html").contains("data:image/svg+xml;base64,"));

        const QByteArray pdf = salvato(*documento, "r.pdf");
        ASSERT_FALSE(pdf.isEmpty());
        EXPECT_FALSE(pdf.contains("/Subtype /Image"));
    }
}

// Painted into a place of another shape, the sheet keeps its own, centred:
// on a place twice as wide, the band stands a quarter of the way in.
TEST(Disegni, FoglioNonDeformato) {
    QImage immagine(460, 160, QImage::Format_RGB32);
    immagine.fill(Qt::white);
    {
        QPainter pittore(&immagine);
        disegnaNelRettangolo(pittore, foglio(), QRectF(0, 0, 460, 160), false);
    }
    EXPECT_TRUE(rosso(immagine.pixel(125, 80)));
    EXPECT_FALSE(rosso(immagine.pixel(10, 80)));
    EXPECT_FALSE(rosso(immagine.pixel(150, 80)));
}

// The picture beside each drawing, for readers that know no SVG, is that
// drawing's: they are made side by side while the document is walked, and
// must not change places, in the .docx or the .odt.
TEST(Disegni, OgniFiguraDiRiservaAlSuoDisegno) {
    const std::vector<QColor> colori{Qt::red, Qt::green, Qt::blue, Qt::magenta, Qt::cyan};
    QTextDocument documento;
    ScrittoreRelazione scrittore(documento);
    for (const QColor& c : colori) {
        const disegno::Colore banda{static_cast<unsigned char>(c.red()),
                                    static_cast<unsigned char>(c.green()),
                                    static_cast<unsigned char>(c.blue())};
        scrittore.disegno(QByteArray::fromStdString(disegno::svg(foglio(banda), "", true)),
                          {8, 11.5}, "Profilo.");
    }
    const std::map<QString, QByteArray> docx = docx::parti(salvato(documento, "r.docx"));
    const std::map<QString, QByteArray> odt = docx::parti(salvato(documento, "r.odt"));
    for (std::size_t i = 0; i < colori.size(); ++i) {
        const QString nome = QString("disegno%1.png").arg(i + 1);
        for (const QByteArray& png : {docx.at("word/media/" + nome), odt.at("Pictures/" + nome)}) {
            const QImage figura = QImage::fromData(png, "PNG");
            ASSERT_FALSE(figura.isNull()) << nome.toStdString();
            // The sheet's left edge, at the foot.
            EXPECT_EQ(figura.pixelColor(figura.width() / 2, figura.height() * 96 / 100), colori[i])
                << nome.toStdString();
        }
    }
}

// Read back, the PNG gives every pixel as it was (to within rounding of a
// premultiplied one), transparency included, whatever the picture's
// format, by either encoder; nothing to encode is an error.
TEST(Disegni, PngFedele) {
    std::vector<QImage> immagini;
    for (const auto& [formato, larghezza, altezza] : {std::tuple{QImage::Format_RGB32, 7, 5},
                                                      {QImage::Format_ARGB32, 5, 3},
                                                      {QImage::Format_ARGB32_Premultiplied, 4, 4},
                                                      {QImage::Format_RGBA8888, 3, 3},
                                                      {QImage::Format_Grayscale8, 3, 6}}) {
        QImage& immagine = immagini.emplace_back(larghezza, altezza, formato);
        for (int y = 0; y < altezza; ++y) {
            for (int x = 0; x < larghezza; ++x) {
                immagine.setPixelColor(x, y, QColor(36 * x, 40 * y, 7 * (x + y), 255 - 30 * x));
            }
        }
    }
    QImage& punto = immagini.emplace_back(1, 1, QImage::Format_Mono);
    punto.fill(0);
    const auto vicini = [](QRgb a, QRgb b) {
        return std::abs(qRed(a) - qRed(b)) <= 2 && std::abs(qGreen(a) - qGreen(b)) <= 2 &&
               std::abs(qBlue(a) - qBlue(b)) <= 2 && qAlpha(a) == qAlpha(b);
    };
    for (const auto codifica : {codificaPng, codificaDisegnoPng}) {
        for (const QImage& immagine : immagini) {
            SCOPED_TRACE(testing::Message() << "formato " << immagine.format());
            const QImage letta = QImage::fromData(codifica(immagine), "PNG");
            ASSERT_EQ(letta.size(), immagine.size());
            // A premultiplied picture's pixels, as plain colours.
            const QImage attesa = immagine.convertToFormat(
                immagine.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_RGB32);
            EXPECT_EQ(letta.hasAlphaChannel(), immagine.hasAlphaChannel());
            for (int y = 0; y < immagine.height(); ++y) {
                for (int x = 0; x < immagine.width(); ++x) {
                    EXPECT_TRUE(vicini(letta.pixel(x, y), attesa.pixel(x, y))) << x << "," << y;
                }
            }
        }
        EXPECT_THROW(codifica(QImage()), ErroreFile);
    }
}
