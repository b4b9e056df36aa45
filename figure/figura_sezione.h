#pragma once

#include "calc/formule_sezione.h"

#include <QImage>
#include <QSize>
#include <QString>
#include <QTransform>

#include <vector>

// A water level to show in the section, labelled ("Q1", "Qmin").
struct LivelloAcqua {
    QString etichetta;
    double altezza = 0;  // m
    bool minima = false; // the dry-weather flow's, marked apart on the curves
};

// The section drawn to scale for the calculation report, in the manner of a
// technical drawing: its outline, the width 2r and the height 3r, the radii
// of its arcs with their centres, and a water line at each level, labelled.
// Levels outside the section are left out. Both geometries have the same
// outline: the table's rounded constants change the areas, not the drawing.
QImage figuraSezione(double raggioM, formule::Geometria geometria,
                     const std::vector<LivelloAcqua>& livelli, QSize pixel);

// Where figuraSezione puts the section: from metres (x across from the
// axis, y up from the invert) to the picture's pixels.
QTransform posizioneSezione(double raggioM, const std::vector<LivelloAcqua>& livelli, QSize pixel);
