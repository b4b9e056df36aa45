#include "documenti/impaginazione.h"

#include "documenti/percorso_documento.h"

#include <QAbstractTextDocumentLayout>
#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPaintDevice>
#include <QPainter>
#include <QTextDocument>
#include <QTextFrame>

#include <algorithm>

namespace {

double pixel(double cm, int dpi) {
    return cm / 2.54 * dpi;
}

} // namespace

QString pagina::testoPiede(int numero, int pagine) {
    return piedePrima + QString::number(numero) + piedeTra + QString::number(pagine);
}

PagineA4::PagineA4(const QTextDocument& documento, QPaintDevice& dispositivo)
    : copia_(documento.clone()) {
    const int dpiX = dispositivo.logicalDpiX();
    const int dpiY = dispositivo.logicalDpiY();
    testo_ = QRectF(pixel(pagina::margineCm, dpiX), pixel(pagina::margineCm, dpiY),
                    pixel(pagina::larghezzaCm - 2 * pagina::margineCm, dpiX),
                    pixel(pagina::altezzaCm - 2 * pagina::margineCm, dpiY));
    piede_ = pixel(pagina::altezzaCm - pagina::piedeCm, dpiY);

    // Laid out for the device: Qt scales the document's pixels (96 per
    // inch) to the device's, and measures the fonts on it. A page is the
    // text's area alone: each is drawn inside the paper's margins.
    copia_->documentLayout()->setPaintDevice(&dispositivo);
    copia_->setDocumentMargin(0);
    copia_->setPageSize(testo_.size());

    const Carattere piede = carattereDelTesto(documento);
    carattere_ = QFont(piede.famiglia);
    carattere_.setPointSizeF(piede.punti);
    carattere_.setBold(piede.grassetto);
    carattere_.setItalic(piede.corsivo);
}

PagineA4::~PagineA4() = default;

int PagineA4::pagine() const {
    return copia_->pageCount();
}

void PagineA4::disegna(QPainter& pittore, int numero) const {
    // The page's slice of the long laid-out document, moved onto the paper.
    const QRectF vista(0, (numero - 1) * testo_.height(), testo_.width(), testo_.height());
    pittore.save();
    pittore.translate(testo_.left(), testo_.top() - vista.top());
    pittore.setClipRect(vista);
    QAbstractTextDocumentLayout::PaintContext contesto;
    contesto.clip = vista;
    contesto.palette.setColor(QPalette::Text, Qt::black);
    copia_->documentLayout()->draw(&pittore, contesto);
    pittore.restore();

    pittore.save();
    pittore.setFont(QFont(carattere_, pittore.device()));
    pittore.setPen(Qt::black);
    const QFontMetricsF misure(pittore.font(), pittore.device());
    const QString piede = pagina::testoPiede(numero, pagine());
    pittore.drawText(QPointF(testo_.center().x() - misure.horizontalAdvance(piede) / 2,
                             piede_ - misure.descent()),
                     piede);
    pittore.restore();
}

bool disegnaPagine(const QTextDocument& documento, QPagedPaintDevice& dispositivo, int da, int a) {
    const PagineA4 pagine(documento, dispositivo);
    QPainter pittore(&dispositivo);
    if (!pittore.isActive()) {
        return false;
    }
    const int ultima = a > 0 ? std::min(a, pagine.pagine()) : pagine.pagine();
    for (int numero = std::max(da, 1); numero <= ultima; ++numero) {
        if (numero > std::max(da, 1)) {
            dispositivo.newPage();
        }
        pagine.disegna(pittore, numero);
    }
    return true;
}
