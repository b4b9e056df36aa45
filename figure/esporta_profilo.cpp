#include "figure/esporta_profilo.h"

#include "figure/disegno_dxf.h"
#include "figure/disegno_pittore.h"
#include "figure/disegno_svg.h"
#include "file/scrittura_file.h"

#include <QBuffer>
#include <QImage>
#include <QPageSize>
#include <QPainter>

#include <QPdfWriter>
#include <algorithm>

#include <stdexcept>
#include <string>

namespace {

// PNG: 150 dots an inch, enough to read the table's smallest texts.
constexpr double puntiPerMillimetro = 150 / 25.4;
// The largest picture made, some 480 MB while it is drawn.
constexpr double pixelMassimi = 120e6;

QByteArray pdf(const tratti::Profilo& profilo, const ImpaginazioneProfilo& imp,
               Separatore separatore) {
    QBuffer contenitore;
    contenitore.open(QIODevice::WriteOnly);
    {
        QPdfWriter pdf(&contenitore);
        pdf.setPageSize(QPageSize(dimensioniDi(imp), QPageSize::Millimeter));
        pdf.setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
        pdf.setResolution(1200);
        pdf.setTitle("Profilo longitudinale");
        pdf.setCreator("Sezione inglese");
        QPainter pittore(&pdf);
        const double scala = pdf.resolution() / 25.4;
        for (std::size_t f = 0; f < imp.fogli.size(); ++f) {
            if (f > 0) {
                pdf.newPage();
            }
            pittore.save();
            pittore.scale(scala, scala);
            disegnaFoglioProfilo(pittore, profilo, imp, f, separatore);
            pittore.restore();
        }
    }
    return contenitore.data();
}

QByteArray png(const tratti::Profilo& profilo, const ImpaginazioneProfilo& imp,
               Separatore separatore) {
    const QSizeF tutto(imp.foglio.larghezza, imp.foglio.altezza * imp.fogli.size());
    QImage immagine((tutto * puntiPerMillimetro).toSize(), QImage::Format_RGB32);
    immagine.fill(Qt::white);
    {
        QPainter pittore(&immagine);
        pittore.scale(puntiPerMillimetro, puntiPerMillimetro);
        for (std::size_t f = 0; f < imp.fogli.size(); ++f) {
            pittore.save();
            pittore.translate(0, imp.foglio.altezza * f);
            disegnaFoglioProfilo(pittore, profilo, imp, f, separatore);
            pittore.restore();
        }
    }
    QBuffer contenitore;
    contenitore.open(QIODevice::WriteOnly);
    immagine.save(&contenitore, "PNG");
    return contenitore.data();
}

} // namespace

void disegnaNelRettangolo(QPainter& pittore, const disegno::Disegno& foglio, const QRectF& dove,
                          bool inPiedi) {
    if (!(foglio.larghezza > 0 && foglio.altezza > 0)) {
        return;
    }
    // One scale for both ways, the sheet centred in what is left: it
    // keeps its shape, and a painter draws thin lines its fast way only
    // under an even scale (on a picture, five times as fast).
    const double larghezza = inPiedi ? foglio.altezza : foglio.larghezza;
    const double altezza = inPiedi ? foglio.larghezza : foglio.altezza;
    const double scala = std::min(dove.width() / larghezza, dove.height() / altezza);
    pittore.save();
    pittore.translate(dove.topLeft() +
                      QPointF(dove.width() - larghezza * scala, dove.height() - altezza * scala) /
                          2);
    pittore.scale(scala, scala);
    if (inPiedi) {
        // (x, y) of the sheet goes to (y, width − x).
        pittore.translate(0, foglio.larghezza);
        pittore.rotate(-90);
    }
    disegna(pittore, foglio);
    pittore.restore();
}

std::string profiloDxf(const tratti::Profilo& profilo, const ImpaginazioneProfilo& imp,
                       Separatore separatore) {
    return disegno::dxf(imp.fogli.size(), [&](std::size_t f) {
        return disegnoDelFoglio(profilo, imp, f, separatore);
    });
}

std::size_t fogliMassimi(const std::string& percorso, QSizeF foglio) {
    const std::string e = estensione(percorso);
    // One picture of all the sheets, one under another: a viewer opens a
    // few hundred; a PNG as many as its pixels allow.
    constexpr std::size_t fogliDiUnaFigura = 200;
    if (e == "svg") {
        return fogliDiUnaFigura;
    }
    if (e == "png") {
        const QSizeF pixel = foglio * puntiPerMillimetro;
        return std::min(fogliDiUnaFigura,
                        static_cast<std::size_t>(pixelMassimi / (pixel.width() * pixel.height())));
    }
    // A PDF's pages; and the DXF, one drawing in metres whose texts and
    // table are sized for printing at its scales: plotted, it fills as
    // many sheets.
    return fogliMassimiDisegno;
}

bool formatoProfiloNoto(const std::string& percorso) {
    const std::string e = estensione(percorso);
    return e == "pdf" || e == "svg" || e == "png" || e == "dxf";
}

void scriviProfilo(const std::string& percorso, const tratti::Profilo& profilo,
                   const ImpaginazioneProfilo& impaginazione, Separatore separatore) {
    const std::string e = estensione(percorso);
    // A layout made for another format: refused before anything is drawn.
    if (const std::size_t massimo = fogliMassimi(percorso, dimensioniDi(impaginazione));
        impaginazione.fogli.size() > massimo) {
        throw TroppiFogli("il profilo ha " + std::to_string(impaginazione.fogli.size()) +
                              " fogli, al più " + std::to_string(massimo) + " in " + e,
                          std::nullopt);
    }
    if (e == "dxf") {
        scriviFileInPezzi(percorso, [&](const Pezzo& scrivi) {
            disegno::dxf(
                impaginazione.fogli.size(),
                [&](std::size_t f) {
                    return disegnoDelFoglio(profilo, impaginazione, f, separatore);
                },
                scrivi);
        });
        return;
    }
    QByteArray contenuto;
    if (e == "pdf") {
        contenuto = pdf(profilo, impaginazione, separatore);
    } else if (e == "svg") {
        std::vector<disegno::Disegno> fogli;
        for (std::size_t f = 0; f < impaginazione.fogli.size(); ++f) {
            fogli.push_back(disegnoDelFoglio(profilo, impaginazione, f, separatore));
        }
        scriviFileIntero(percorso, disegno::svg(fogli, "Profilo longitudinale"));
        return;
    } else if (e == "png") {
        contenuto = png(profilo, impaginazione, separatore);
    } else {
        throw std::invalid_argument("formato del profilo non riconosciuto: si usi .pdf, .svg, "
                                    ".png o .dxf");
    }
    scriviFileIntero(percorso, std::string_view(contenuto.constData(),
                                                static_cast<std::size_t>(contenuto.size())));
}
