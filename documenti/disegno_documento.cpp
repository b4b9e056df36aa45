#include "documenti/disegno_documento.h"

#include "documenti/codifica_png.h"
#include "documenti/pacchetto_zip.h"
#include "documenti/percorso_documento.h"

#include <QAbstractTextDocumentLayout>
#include <QPaintDevice>
#include <QPainter>
#include <QSvgRenderer>
#include <QTextDocument>
#include <QTextFormat>

namespace {

enum Proprieta {
    Svg = QTextFormat::UserProperty + 100,
    Larghezza,
    Altezza,
    ComeDisegnarlo,
};

using PitturaCondivisa = std::shared_ptr<const Pittura>;

// A drawing painted into a rectangle on white, by its maker's painting or
// else from its SVG.
void dipinto(QPainter& pittore, const QRectF& rettangolo, const Disegno& disegno) {
    pittore.save();
    pittore.fillRect(rettangolo, Qt::white);
    if (disegno.pittura && *disegno.pittura) {
        (*disegno.pittura)(pittore, rettangolo);
    } else if (QSvgRenderer svg(disegno.svg); svg.isValid()) {
        svg.setAspectRatioMode(Qt::KeepAspectRatio);
        svg.render(&pittore, rettangolo);
    }
    pittore.restore();
}

// Lays a drawing out at its size and paints it: on a .pdf the drawing stays
// vectors.
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
        dipinto(*pittore, rettangolo, disegnoDi(formato));
    }
};

} // namespace

QTextCharFormat formatoDisegno(const QByteArray& svg, QSizeF pixel, Pittura pittura) {
    QTextCharFormat formato;
    if (pittura) {
        formato.setProperty(ComeDisegnarlo, QVariant::fromValue(std::make_shared<const Pittura>(
                                                std::move(pittura))));
    }
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

Disegno disegnoDi(const QTextFormat& formato) {
    return {svgDelDisegno(formato), dimensioniDisegno(formato),
            formato.property(ComeDisegnarlo).value<PitturaCondivisa>()};
}

void abilitaDisegni(QTextDocument& documento) {
    auto* gestore = documento.findChild<GestoreDisegni*>(QString(), Qt::FindDirectChildrenOnly);
    if (gestore == nullptr) {
        gestore = new GestoreDisegni(&documento);
    }
    documento.documentLayout()->registerHandler(tipoDisegno, gestore);
}

QImage immagineDelDisegno(const Disegno& disegno, QSize pixel) {
    if (pixel.isEmpty()) {
        return {};
    }
    QImage immagine(pixel, QImage::Format_RGB32);
    immagine.fill(Qt::white);
    QPainter pittore(&immagine);
    pittore.setRenderHint(QPainter::Antialiasing);
    pittore.setRenderHint(QPainter::TextAntialiasing);
    dipinto(pittore, QRectF(QPointF(0, 0), QSizeF(pixel)), disegno);
    return immagine;
}

// The picture beside the SVG is for old readers only: enough to read the
// drawing on screen, at a fraction of the time and room a print's would
// take.
constexpr double dpiRiserva = 75;

QByteArray riservaDelDisegno(const Disegno& disegno) {
    const QImage immagine = immagineDelDisegno(disegno, (disegno.pixel * dpiRiserva / 96).toSize());
    if (immagine.isNull()) {
        QImage bianca(1, 1, QImage::Format_RGB32);
        bianca.fill(Qt::white);
        return codificaDisegnoPng(bianca);
    }
    return codificaDisegnoPng(immagine);
}

void aggiungiDisegni(PacchettoZip& zip, const QString& cartella,
                     const std::vector<DisegnoInFile>& disegni,
                     const std::function<QString(std::size_t, const char*)>& nome) {
    for (std::size_t i = 0; i < disegni.size(); ++i) {
        zip.aggiungi(cartella + nome(i + 1, "svg"), disegni[i].svg);
        zip.aggiungi(cartella + nome(i + 1, "png"), disegni[i].png, false);
    }
}

#include "disegno_documento.moc"
