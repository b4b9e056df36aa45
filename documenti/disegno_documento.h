#pragma once

#include <QByteArray>
#include <QImage>
#include <QSizeF>
#include <QTextFormat>

#include <QRectF>

#include <functional>
#include <memory>
#include <vector>

class PacchettoZip;
class QPainter;
class QTextCharFormat;
class QTextDocument;

// A vector drawing in a document: one character whose format holds the
// drawing as SVG and the size it is shown at. It is drawn as vectors on
// screen and in a .pdf, and written as SVG by the other formats (with a
// small PNG beside it for old readers, held until the file is written). The
// SVG travels with
// the format: through copies, undo and cut and paste within the program.

// The object type of a drawing's character.
inline constexpr int tipoDisegno = QTextFormat::UserObject + 1;

// How a drawing paints itself into a rectangle of a painter, where its
// maker can do so without reading its SVG back: faster, and on a .pdf as
// lean as the drawing's own export.
using Pittura = std::function<void(QPainter&, const QRectF&)>;

// The format of a drawing shown `pixel` large (at 96 a inch); without a
// `pittura`, painted from its SVG.
QTextCharFormat formatoDisegno(const QByteArray& svg, QSizeF pixel, Pittura pittura = {});

bool eDisegno(const QTextFormat& formato);
QByteArray svgDelDisegno(const QTextFormat& formato);
QSizeF dimensioniDisegno(const QTextFormat& formato); // pixels at 96 a inch

// Lets the document's layout lay drawings out and paint them: each
// document that is shown or paginated, and each copy of one, is given it
// once, before its first layout. It makes the document's layout: a
// document being written has none, and no edit lays it out again.
void abilitaDisegni(QTextDocument& documento);

// A drawing met in a document, as the file writers take it.
struct Disegno {
    QByteArray svg;
    QSizeF pixel; // as shown, at 96 a inch
    std::shared_ptr<const Pittura> pittura;
};
Disegno disegnoDi(const QTextFormat& formato);

// The drawing as a picture `pixel` large on white: what a reader that
// does not know SVG shows instead. Null when it cannot be drawn.
QImage immagineDelDisegno(const Disegno& disegno, QSize pixel);

// The PNG a reader that knows no SVG shows instead of the drawing; blank
// when the drawing cannot be drawn. Raises ErroreFile.
QByteArray riservaDelDisegno(const Disegno& disegno);

// A drawing as the file writers store it.
struct DisegnoInFile {
    QByteArray svg;
    QByteArray png; // riservaDelDisegno
};

// The drawings into a package, each as its SVG and its PNG:
// `cartella` + nome(n, "svg" or "png"), drawing n from 1.
void aggiungiDisegni(PacchettoZip& zip, const QString& cartella,
                     const std::vector<DisegnoInFile>& disegni,
                     const std::function<QString(std::size_t, const char*)>& nome);
