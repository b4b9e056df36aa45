#include "documenti/disegno_documento.h"

#include "documenti/pacchetto_zip.h"
#include "documenti/percorso_documento.h"

#include <QAbstractTextDocumentLayout>
#include <QPaintDevice>
#include <QPainter>
#include <QRegularExpression>
#include <QSvgRenderer>
#include <QTextDocument>
#include <QTextFormat>

namespace {

enum Proprieta {
    Svg = QTextFormat::UserProperty + 100,
    Larghezza,
    Altezza,
};

// Lays a drawing out at its size and paints it with Qt's SVG renderer: on a
// .pdf the drawing stays vectors.
class GestoreDisegni : public QObject, public QTextObjectInterface {
    Q_OBJECT
    Q_INTERFACES(QTextObjectInterface)

  public:
    using QObject::QObject;

    QSizeF intrinsicSize(QTextDocument* documento, int, const QTextFormat& formato) override {
        QSizeF dimensioni = dimensioniDisegno(formato);
        // Like a picture's: the document's pixels, scaled to the device it
        // is laid out for.
        if (const QPaintDevice* dispositivo = documento->documentLayout()->paintDevice()) {
            dimensioni *= dispositivo->logicalDpiY() / 96.0;
        }
        return dimensioni;
    }

    void drawObject(QPainter* pittore, const QRectF& rettangolo, QTextDocument*, int,
                    const QTextFormat& formato) override {
        QSvgRenderer disegno(svgDelDisegno(formato));
        if (!disegno.isValid()) {
            return;
        }
        pittore->save();
        pittore->fillRect(rettangolo, Qt::white);
        disegno.render(pittore, rettangolo);
        pittore->restore();
    }
};

} // namespace

QTextCharFormat formatoDisegno(const QByteArray& svg, QSizeF pixel) {
    QTextCharFormat formato;
    formato.setObjectType(tipoDisegno);
    formato.setProperty(Svg, svg);
    formato.setProperty(Larghezza, pixel.width());
    formato.setProperty(Altezza, pixel.height());
    return formato;
}

bool eDisegno(const QTextFormat& formato) {
    return formato.objectType() == tipoDisegno;
}

QByteArray svgDelDisegno(const QTextFormat& formato) {
    return formato.property(Svg).toByteArray();
}

QSizeF dimensioniDisegno(const QTextFormat& formato) {
    return {formato.doubleProperty(Larghezza), formato.doubleProperty(Altezza)};
}

void abilitaDisegni(QTextDocument& documento) {
    auto* gestore = documento.findChild<GestoreDisegni*>(QString(), Qt::FindDirectChildrenOnly);
    if (gestore == nullptr) {
        gestore = new GestoreDisegni(&documento);
    }
    documento.documentLayout()->registerHandler(tipoDisegno, gestore);
}

QImage immagineDelDisegno(const QByteArray& svg, QSize pixel) {
    QSvgRenderer disegno(svg);
    if (!disegno.isValid() || pixel.isEmpty()) {
        return {};
    }
    QImage immagine(pixel, QImage::Format_RGB32);
    immagine.fill(Qt::white);
    QPainter pittore(&immagine);
    pittore.setRenderHint(QPainter::Antialiasing);
    pittore.setRenderHint(QPainter::TextAntialiasing);
    disegno.render(&pittore, QRectF(QPointF(0, 0), QSizeF(pixel)));
    return immagine;
}

QByteArray svgInPiedi(const QByteArray& svg) {
    const qsizetype inizio = svg.indexOf("<svg");
    const qsizetype fineTag = inizio < 0 ? -1 : svg.indexOf('>', inizio);
    const qsizetype chiusura = svg.lastIndexOf("</svg>");
    if (fineTag < 0 || chiusura < fineTag) {
        return svg;
    }
    const QString tag = QString::fromUtf8(svg.mid(inizio, fineTag - inizio));
    static const QRegularExpression vista(
        R"x(viewBox\s*=\s*"\s*([-\d.eE]+)[\s,]+([-\d.eE]+)[\s,]+([-\d.eE]+)[\s,]+([-\d.eE]+)\s*")x");
    const QRegularExpressionMatch trovata = vista.match(tag);
    if (!trovata.hasMatch()) {
        return svg;
    }
    const double x = trovata.captured(1).toDouble();
    const double y = trovata.captured(2).toDouble();
    const double larghezza = trovata.captured(3).toDouble();
    const double altezza = trovata.captured(4).toDouble();
    // The sheet's width and height attributes, swapped; one in units,
    // unit and all.
    static const QRegularExpression misura(R"x(\s(width|height)\s*=\s*"([^"]*)")x");
    QString larghezzaScritta, altezzaScritta;
    for (auto it = misura.globalMatch(tag); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        (m.captured(1) == "width" ? larghezzaScritta : altezzaScritta) = m.captured(2);
    }
    QString nuovoTag = QString(R"(<svg xmlns="http://www.w3.org/2000/svg" version="1.2" )"
                               R"(baseProfile="tiny" viewBox="0 0 %1 %2")")
                           .arg(altezza)
                           .arg(larghezza);
    if (!larghezzaScritta.isEmpty() && !altezzaScritta.isEmpty()) {
        nuovoTag += QString(R"( width="%1" height="%2")").arg(altezzaScritta, larghezzaScritta);
    }
    // The prefixes the drawing's elements may use (xlink:href).
    static const QRegularExpression prefisso(R"x(\sxmlns:\w+\s*=\s*"[^"]*")x");
    for (auto it = prefisso.globalMatch(tag); it.hasNext();) {
        nuovoTag += it.next().captured(0);
    }
    // (x, y) of the sheet goes to (y, width − x): its left edge at the foot.
    const QString giro =
        QString(R"x(><g transform="translate(0 %1) rotate(-90) translate(%2 %3)">)x")
            .arg(larghezza)
            .arg(-x)
            .arg(-y);
    QByteArray esito;
    esito.reserve(svg.size() + 256);
    esito += svg.left(inizio);
    esito += nuovoTag.toUtf8();
    esito += giro.toUtf8();
    esito += svg.mid(fineTag + 1, chiusura - fineTag - 1);
    esito += "</g></svg>";
    esito += svg.mid(chiusura + 6);
    return esito;
}

// The picture beside the SVG is for old readers only: enough to read the
// drawing on screen, at a fraction of the time and room a print's would
// take.
constexpr double dpiRiserva = 75;

void aggiungiDisegni(PacchettoZip& zip, const QString& cartella,
                     const std::vector<Disegno>& disegni,
                     const std::function<QString(std::size_t, const char*)>& nome) {
    for (std::size_t n = 1; n <= disegni.size(); ++n) {
        const Disegno& disegno = disegni[n - 1];
        zip.aggiungi(cartella + nome(n, "svg"), disegno.svg);
        const QImage immagine =
            immagineDelDisegno(disegno.svg, (disegno.pixel * dpiRiserva / 96).toSize());
        // A drawing that cannot be read leaves a blank picture.
        zip.aggiungi(cartella + nome(n, "png"),
                     codificaPng(immagine.isNull() ? QImage(1, 1, QImage::Format_Mono) : immagine),
                     false);
    }
}

#include "disegno_documento.moc"
