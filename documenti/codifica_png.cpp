#include "documenti/codifica_png.h"

#include "file/errore_file.h"

#include <QBuffer>
#include <QImage>

#include <csetjmp>
#include <new>
#include <png.h>
#include <zlib.h>

namespace {

void accoda(png_structp png, png_bytep dati, png_size_t quanti) {
    bool esaurita = false;
    try {
        static_cast<QByteArray*>(png_get_io_ptr(png))
            ->append(reinterpret_cast<const char*>(dati), static_cast<qsizetype>(quanti));
    } catch (const std::bad_alloc&) {
        esaurita = true;
    }
    // An exception cannot cross libpng's C frames: the failure goes back
    // its own way.
    if (esaurita) {
        png_error(png, "memoria esaurita");
    }
}

void nienteDaSvuotare(png_structp) {}

// libpng reports a failure by a long jump; nothing with a destructor may
// live between here and the jump's target.
bool scrivi(const QImage& righe, bool trasparenza, QByteArray& esito) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (png == nullptr) {
        return false;
    }
    png_infop informazioni = png_create_info_struct(png);
    if (informazioni == nullptr) {
        png_destroy_write_struct(&png, nullptr);
        return false;
    }
    if (setjmp(png_jmpbuf(png)) != 0) {
        png_destroy_write_struct(&png, &informazioni);
        return false;
    }
    png_set_write_fn(png, &esito, accoda, nienteDaSvuotare);
    png_set_IHDR(png, informazioni, static_cast<png_uint_32>(righe.width()),
                 static_cast<png_uint_32>(righe.height()), 8,
                 trasparenza ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE);
    png_set_compression_level(png, Z_BEST_SPEED);
    png_write_info(png, informazioni);
    // Qt keeps a pixel as one 32-bit word: blue first in memory on this
    // machine's byte order, and an unused or alpha byte last.
    if (!trasparenza) {
        png_set_filler(png, 0, PNG_FILLER_AFTER);
    }
    png_set_bgr(png);
    for (int y = 0; y < righe.height(); ++y) {
        png_write_row(png, righe.constScanLine(y));
    }
    png_write_end(png, informazioni);
    png_destroy_write_struct(&png, &informazioni);
    return true;
}

} // namespace

// Qt maps a PNG's quality from 100 down to zlib's levels 0 to 9: 80 is
// level 1, nearly as small as the default for a picture, several times
// faster.
constexpr int qualitaPng = 80;

QByteArray codificaPng(const QImage& immagine) {
    QByteArray dati;
    QBuffer contenitore(&dati);
    contenitore.open(QIODevice::WriteOnly);
    if (!immagine.save(&contenitore, "PNG", qualitaPng)) {
        throw ErroreFile("impossibile codificare un'immagine del documento");
    }
    return dati;
}

QByteArray codificaDisegnoPng(const QImage& immagine) {
    static_assert(Q_BYTE_ORDER == Q_LITTLE_ENDIAN, "the rows are handed to libpng as BGRA");
    const bool trasparenza = immagine.hasAlphaChannel();
    const QImage righe =
        immagine.convertToFormat(trasparenza ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    QByteArray esito;
    if (righe.isNull() || !scrivi(righe, trasparenza, esito)) {
        throw ErroreFile("impossibile codificare un'immagine del documento");
    }
    return esito;
}
