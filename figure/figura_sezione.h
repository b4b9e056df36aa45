#pragma once

#include "calc/formule_sezione.h"
#include "figure/disegno.h"
#include "figure/tavola.h"
#include "numeri/separatore.h"

#include <QImage>
#include <QRectF>
#include <QSize>
#include <QString>
#include <QTransform>

#include <vector>

class QPainter;

// A water level to show in the section, labelled ("Q1", "Qmin").
struct LivelloAcqua {
    QString etichetta;
    double altezza = 0;  // m
    bool minima = false; // the dry-weather flow's, marked apart on the curves
};

// The section drawn to scale in the manner of a technical drawing: its
// outline, the width 2r and the height 3r, the radii of its arcs with their
// centres, and a water line at each level, labelled, the water up to the
// highest. Levels outside the section are left out. Drawn into a rectangle
// of any painter: the calculation report's picture, the analysis window.
void disegnaSezione(QPainter& pittore, const QRectF& dove, double raggioM,
                    const std::vector<LivelloAcqua>& livelli,
                    Separatore separatore = Separatore::Punto);

// The levels as the drawings take them.
std::vector<disegno::Livello> livelliDelDisegno(const std::vector<LivelloAcqua>& livelli);

// The same, as a drawing `pixel` large, for the documents that take vectors.
disegno::Disegno disegnoSezione(double raggioM, const std::vector<LivelloAcqua>& livelli,
                                QSizeF pixel, Separatore separatore = Separatore::Punto);

// The section for the calculation report, on a white picture. Both
// geometries have the same outline: the table's rounded constants change
// the areas, not the drawing.
QImage figuraSezione(double raggioM, formule::Geometria geometria,
                     const std::vector<LivelloAcqua>& livelli, QSize pixel,
                     Separatore separatore = Separatore::Punto);

// Where the section is drawn in a rectangle of that size: from metres (x
// across from the axis, y up from the invert) to pixels from its corner.
QTransform posizioneSezione(double raggioM, const std::vector<LivelloAcqua>& livelli, QSizeF pixel,
                            Separatore separatore = Separatore::Punto);
