#pragma once

#include "figure/disegno.h"

#include <QImage>
#include <QSize>

class QPainter;

// A drawing on any painter (a window, a picture, a PDF page), the painter
// in millimetres with the sheet's corner at the origin.
void disegna(QPainter& pittore, const disegno::Disegno& disegno);

// A white picture to draw on.
QImage immagineBianca(QSize pixel);
