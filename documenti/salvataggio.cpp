#include "documenti/salvataggio.h"

#include "documenti/codifica_png.h"
#include "documenti/disegno_documento.h"
#include "documenti/elaboratore_testi.h"
#include "documenti/impaginazione.h"
#include "documenti/informazioni_pdf.h"
#include "documenti/percorso_documento.h"
#include "documenti/proprieta_documento.h"
#include "documenti/scrittore_docx.h"
#include "documenti/scrittore_odt.h"
#include "documenti/struttura_documento.h"
#include "file/errore_file.h"
#include "file/scrittura_file.h"
#include "file/testo_visibile.h"

#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextTable>

#include <memory>
#include <utility>
#include <vector>

namespace {

// Paginated here rather than by QTextDocument::print, to have the report's
// page: its margins, and "Pagina N di M" in place of a bare number.
QByteArray documentoPdf(const QTextDocument& documento, Avanzamento avanzamento) {
    QBuffer contenitore;
    contenitore.open(QIODevice::WriteOnly);
    {
        QPdfWriter pdf(&contenitore);
        preparaPdf(pdf);
        if (!disegnaPagine(documento, pdf, 1, 0, std::move(avanzamento))) {
            throw ErroreFile("impossibile comporre il documento .pdf");
        }
    }
    // QPdfWriter has a title but no author or subject: all three go in after
    // it, when the document has any.
    const ProprietaDocumento proprieta = proprietaDi(documento);
    if (!proprieta.haDescrizione()) {
        return contenitore.data();
    }
    return conInformazioni(contenitore.data(), {{"Title", proprieta.titolo},
                                                {"Author", proprieta.autore},
                                                {"Subject", proprieta.soggetto}});
}

const QString regolaPagina =
    QString("@page { size: A4 portrait; margin: %1cm; }\n").arg(pagina::margineCm);

// The page is in Italian. Its head carries the document's title, author and
// subject, and its top the header, as the other formats show it: centred
// over a thin line, in the footer's font.
void aggiungiProprieta(QString& pagina, const QTextDocument& documento) {
    const qsizetype html = pagina.indexOf("<html>");
    if (html >= 0) {
        pagina.replace(html, 6, R"(<html lang="it">)");
    }
    const ProprietaDocumento proprieta = proprietaDi(documento);
    QString testa;
    if (!proprieta.titolo.isEmpty()) {
        testa += "<title>" + proprieta.titolo.toHtmlEscaped() + "</title>";
    }
    for (const auto& [nome, valore] :
         {std::pair{"author", proprieta.autore}, {"description", proprieta.soggetto}}) {
        if (!valore.isEmpty()) {
            testa +=
                QString(R"(<meta name="%1" content="%2" />)").arg(nome, valore.toHtmlEscaped());
        }
    }
    const qsizetype finoTesta = pagina.indexOf("</head>");
    if (finoTesta >= 0) {
        pagina.insert(finoTesta, testa);
    }
    const qsizetype corpo = pagina.indexOf("<body");
    if (proprieta.intestazione.isEmpty() || corpo < 0) {
        return;
    }
    const Carattere carattere = carattereDelTesto(documento);
    pagina.insert(
        pagina.indexOf('>', corpo) + 1,
        QString("\n<header style=\"text-align:center; font-family:'%1'; font-size:%2pt; "
                "font-weight:%3; font-style:%4; border-bottom:1px solid #000000; "
                "padding-bottom:1pt; margin-bottom:0.25cm;\">%5</header>")
            .arg(carattere.famiglia)
            .arg(carattere.punti)
            .arg(carattere.grassetto ? 700 : 400)
            .arg(carattere.corsivo ? "italic" : "normal", proprieta.intestazione.toHtmlEscaped()));
}

// The page shows its pictures when opened alone: each picture the document
// holds goes into the page as a data URI, in place of its resource name. The
// paragraphs that only hold a table in place take no room, as on screen.
// The walk over the paragraphs is the first half of the work heard of, the
// page's HTML the second.
QString paginaHtml(const QTextDocument& documento, Avanzamento& avanzamento) {
    const std::int64_t meta = documento.characterCount();
    std::unique_ptr<QTextDocument> copia(documento.clone());
    std::vector<std::pair<QTextCursor, QTextImageFormat>> incorporate;
    std::vector<QTextCursor> diServizio;
    for (QTextBlock blocco = copia->begin(); blocco.isValid(); blocco = blocco.next()) {
        avanzamento(blocco.position(), 2 * meta);
        if (paragrafoDiServizio(blocco)) {
            diServizio.emplace_back(blocco);
        }
        for (auto it = blocco.begin(); !it.atEnd(); ++it) {
            const QTextFragment frammento = it.fragment();
            QTextImageFormat formato;
            if (eDisegno(frammento.charFormat())) {
                // A drawing stays vectors: its SVG, in an image of the page.
                const QSizeF pixel = dimensioniDisegno(frammento.charFormat());
                formato.setWidth(pixel.width());
                formato.setHeight(pixel.height());
                formato.setName("data:image/svg+xml;base64," +
                                svgDelDisegno(frammento.charFormat()).toBase64());
            } else if (frammento.charFormat().isImageFormat()) {
                formato = frammento.charFormat().toImageFormat();
                const QImage immagine = immagineRisorsa(documento, formato);
                if (immagine.isNull()) {
                    continue;
                }
                formato.setName("data:image/png;base64," + codificaPng(immagine).toBase64());
            } else {
                continue;
            }
            QTextCursor frammentoIntero(copia.get());
            frammentoIntero.setPosition(frammento.position());
            frammentoIntero.setPosition(frammento.position() + frammento.length(),
                                        QTextCursor::KeepAnchor);
            incorporate.emplace_back(frammentoIntero, formato);
        }
    }
    // Applied after the walk: a new format reshapes the fragments walked.
    for (auto& [frammentoIntero, formato] : incorporate) {
        frammentoIntero.setCharFormat(formato);
    }
    // A browser reads a border of a fraction of a pixel, and a negative
    // spacing, as none: the page gets one collapsed 1 px line per cell.
    for (QTextBlock blocco = copia->begin(); blocco.isValid(); blocco = blocco.next()) {
        if (QTextTable* tabella = QTextCursor(blocco).currentTable()) {
            QTextTableFormat formato = tabella->format();
            if (formato.border() > 0 && !formato.borderCollapse()) {
                formato.setBorderCollapse(true);
                formato.setBorder(1);
                formato.setCellSpacing(0);
                tabella->setFormat(formato);
            }
        }
    }
    for (QTextCursor& paragrafo : diServizio) {
        QTextBlockFormat senzaAltezza;
        senzaAltezza.setLineHeight(0, QTextBlockFormat::FixedHeight);
        paragrafo.mergeBlockFormat(senzaAltezza);
    }
    // Printed from a browser, the page is the report's A4 with its margins.
    // It has no page numbers of its own: the browser's header and footer, if
    // asked for, number the pages.
    avanzamento(meta, 2 * meta);
    QString pagina = copia->toHtml();
    const qsizetype finoStile = pagina.indexOf("</style>");
    if (finoStile >= 0) {
        pagina.insert(finoStile, regolaPagina);
    }
    aggiungiProprieta(pagina, documento);
    avanzamento(2 * meta, 2 * meta);
    return pagina;
}

} // namespace

std::optional<FormatoDocumento> formatoDaNome(std::string_view percorso) {
    const std::string estensione = ::estensione(percorso);
    if (estensione == "docx") {
        return FormatoDocumento::Docx;
    }
    if (estensione == "odt") {
        return FormatoDocumento::Odt;
    }
    if (estensione == "pdf") {
        return FormatoDocumento::Pdf;
    }
    if (estensione == "html" || estensione == "htm") {
        return FormatoDocumento::Html;
    }
    return std::nullopt;
}

void salvaDocumento(const QTextDocument& documento, const std::string& percorso,
                    Avanzamento avanzamento) {
    const std::optional<FormatoDocumento> formato = formatoDaNome(percorso);
    if (!formato) {
        throw ErroreFile("Impossibile scrivere «" + testoVisibile(percorso) +
                         "»: estensione sconosciuta (usare .docx, .odt, .pdf o .html).");
    }
    // Refused before the document is composed: a device stays as it is.
    verificaDestinazione(percorso);
    QByteArray contenuto;
    try {
        switch (*formato) {
        case FormatoDocumento::Docx:
            contenuto = documentoDocx(documento, std::move(avanzamento));
            break;
        case FormatoDocumento::Odt:
            contenuto = documentoOdt(documento, std::move(avanzamento));
            break;
        case FormatoDocumento::Pdf:
            contenuto = documentoPdf(documento, std::move(avanzamento));
            break;
        case FormatoDocumento::Html:
            contenuto = paginaHtml(documento, avanzamento).toUtf8();
            break;
        }
    } catch (const ErroreFile& errore) {
        // The composer says what failed; the user needs the file too.
        throw ErroreFile("Impossibile scrivere «" + testoVisibile(percorso) +
                         "»: " + errore.what() + ".");
    }
    // Composed whole before the file is touched: a save stopped while it
    // was composed has written nothing.
    scriviFileIntero(percorso, std::string_view(contenuto.constData(),
                                                static_cast<std::size_t>(contenuto.size())));
}
