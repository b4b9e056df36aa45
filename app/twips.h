#pragma once

#include <QRect>
#include <cmath>

// The window's layout is given in twips (1/1440 inch); the screen's logical
// DPI turns them into pixels.
inline int twipsInPixel(int twips, int dpi) {
    return static_cast<int>(std::lround(twips * static_cast<double>(dpi) / 1440.0));
}

inline QRect rettangoloTwips(int sinistra, int alto, int larghezza, int altezza, int dpiX,
                             int dpiY) {
    return {twipsInPixel(sinistra, dpiX), twipsInPixel(alto, dpiY), twipsInPixel(larghezza, dpiX),
            twipsInPixel(altezza, dpiY)};
}
