#include "documenti/scrittore_odt.h"

#include "documenti/impaginazione.h"
#include "documenti/indice.h"
#include "documenti/pacchetto_zip.h"
#include "documenti/percorso_documento.h"
#include "documenti/proprieta_documento.h"

#include <QTextDocument>
#include <QTextFormat>
#include <QXmlStreamWriter>

#include <algorithm>
#include <cmath>
#include <map>
#include <set>
#include <tuple>

namespace {

const QString nsOffice = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:office:1.0");
const QString nsStyle = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:style:1.0");
const QString nsText = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:text:1.0");
const QString nsTable = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:table:1.0");
const QString nsDraw = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:drawing:1.0");
const QString nsFo = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0");
const QString nsSvg = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:svg-compatible:1.0");
const QString nsXlink = QStringLiteral("http://www.w3.org/1999/xlink");
const QString nsManifest = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:manifest:1.0");
const QString nsMeta = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:meta:1.0");
const QString nsDc = QStringLiteral("http://purl.org/dc/elements/1.1/");

const QString tipoOdt = QStringLiteral("application/vnd.oasis.opendocument.text");

// Up to four decimals, without trailing zeros.
QString decimale(double valore) {
    QString testo = QString::number(valore, 'f', 4);
    while (testo.endsWith('0')) {
        testo.chop(1);
    }
    if (testo.endsWith('.')) {
        testo.chop(1);
    }
    return testo;
}
QString cm(double valore) {
    return decimale(valore) + "cm";
}
QString cmDaPunti(double punti) {
    return cm(punti / 72 * 2.54);
}
QString punti(double valore) {
    return decimale(valore) + "pt";
}

QString nomeImmagine(std::size_t n) {
    return QString("Pictures/immagine%1.png").arg(n);
}
// Drawing n's SVG and its picture ("svg", "png"), in the package.
QString nomeDisegno(std::size_t n, const char* tipo) {
    return QString("Pictures/disegno%1.%2").arg(n).arg(tipo);
}

void dichiaraSpazi(QXmlStreamWriter& xml) {
    xml.writeNamespace(nsOffice, "office");
    xml.writeNamespace(nsStyle, "style");
    xml.writeNamespace(nsText, "text");
    xml.writeNamespace(nsTable, "table");
    xml.writeNamespace(nsDraw, "draw");
    xml.writeNamespace(nsFo, "fo");
    xml.writeNamespace(nsSvg, "svg");
    xml.writeNamespace(nsXlink, "xlink");
}

// Text as ODF keeps it: a reader collapses a run of spaces into one and
// drops spaces at either end of a paragraph, so only a single space
// between two characters of the piece is written as it is.
void scriviTesto(QXmlStreamWriter& xml, const QString& testo) {
    QString pezzo;
    for (qsizetype i = 0; i < testo.size();) {
        if (testo[i] != QChar(' ')) {
            pezzo += testo[i++];
            continue;
        }
        qsizetype fine = i;
        while (fine < testo.size() && testo[fine] == QChar(' ')) {
            ++fine;
        }
        qsizetype spazi = fine - i;
        if (i > 0 && fine < testo.size()) {
            pezzo += QChar(' ');
            --spazi;
        }
        if (spazi > 0) {
            xml.writeCharacters(pezzo);
            pezzo.clear();
            xml.writeEmptyElement(nsText, "s");
            if (spazi > 1) {
                xml.writeAttribute(nsText, "c", QString::number(spazi));
            }
        }
        i = fine;
    }
    xml.writeCharacters(pezzo);
}

void proprietaTesto(QXmlStreamWriter& xml, const Carattere& carattere) {
    xml.writeEmptyElement(nsStyle, "text-properties");
    xml.writeAttribute(nsStyle, "font-name", carattere.famiglia);
    xml.writeAttribute(nsStyle, "font-name-complex", carattere.famiglia);
    xml.writeAttribute(nsFo, "font-size", punti(carattere.punti));
    xml.writeAttribute(nsStyle, "font-size-complex", punti(carattere.punti));
    xml.writeAttribute(nsFo, "font-weight", carattere.grassetto ? "bold" : "normal");
    xml.writeAttribute(nsFo, "font-style", carattere.corsivo ? "italic" : "normal");
    xml.writeAttribute(nsStyle, "text-underline-style", carattere.sottolineato ? "solid" : "none");
    if (carattere.sottolineato) {
        xml.writeAttribute(nsStyle, "text-underline-width", "auto");
        xml.writeAttribute(nsStyle, "text-underline-color", "font-color");
    }
}

QString allineamentoOdf(Allineamento allineamento) {
    return allineamento == Allineamento::Centro         ? "center"
           : allineamento == Allineamento::Destra       ? "end"
           : allineamento == Allineamento::Giustificato ? "justify"
                                                        : "start";
}

void stileParagrafo(QXmlStreamWriter& xml, const QString& nome, const FormatoParagrafo& formato,
                    const Carattere& carattere) {
    xml.writeStartElement(nsStyle, "style");
    xml.writeAttribute(nsStyle, "name", nome);
    xml.writeAttribute(nsStyle, "family", "paragraph");
    // A heading under Writer's own heading styles ("Titolo 1"), with its
    // outline level: the navigator and the table of contents find it.
    const int livello = std::clamp(formato.livelloTitolo, 0, 2);
    xml.writeAttribute(nsStyle, "parent-style-name",
                       livello > 0 ? QString("Heading_20_%1").arg(livello) : "Standard");
    if (livello > 0) {
        xml.writeAttribute(nsStyle, "default-outline-level", QString::number(livello));
    }
    xml.writeEmptyElement(nsStyle, "paragraph-properties");
    xml.writeAttribute(nsFo, "text-align", allineamentoOdf(formato.allineamento));
    if (formato.conIlSeguente) {
        xml.writeAttribute(nsFo, "keep-with-next", "always");
    }
    if (formato.nuovaPagina) {
        xml.writeAttribute(nsFo, "break-before", "page");
    }
    if (formato.lineaSotto) {
        // 0.5 pt, 1 pt below the text: the line round the report's cells.
        xml.writeAttribute(nsFo, "border-bottom", "0.5pt solid #000000");
        xml.writeAttribute(nsFo, "padding-bottom", punti(1));
    }
    proprietaTesto(xml, carattere);
    xml.writeEndElement();
}

void dichiaraCaratteri(QXmlStreamWriter& xml, const std::set<QString>& famiglie) {
    xml.writeStartElement(nsOffice, "font-face-decls");
    for (const QString& famiglia : famiglie) {
        xml.writeEmptyElement(nsStyle, "font-face");
        xml.writeAttribute(nsStyle, "name", famiglia);
        xml.writeAttribute(nsSvg, "font-family",
                           famiglia.contains(' ') ? "'" + famiglia + "'" : famiglia);
    }
    xml.writeEndElement();
}

// A part's root element, with the namespaces, the version and the fonts.
void apriParte(QXmlStreamWriter& xml, const char* radice, const std::set<QString>& caratteri) {
    xml.writeStartDocument();
    dichiaraSpazi(xml);
    xml.writeStartElement(nsOffice, radice);
    xml.writeAttribute(nsOffice, "version", "1.2");
    dichiaraCaratteri(xml, caratteri);
}

// Names for the automatic styles, one per look, in the order first used.
template <typename Chiave> class Stili {
  public:
    explicit Stili(QString prefisso) : prefisso_(std::move(prefisso)) {}
    QString nome(const Chiave& chiave) {
        const auto [voce, nuova] =
            nomi_.try_emplace(chiave, prefisso_ + QString::number(ordine_.size() + 1));
        if (nuova) {
            ordine_.push_back(voce);
        }
        return voce->second;
    }
    template <typename Scrivi> void perOgni(const Scrivi& scrivi) const {
        for (const auto& voce : ordine_) {
            scrivi(voce->second, voce->first);
        }
    }

  private:
    QString prefisso_;
    std::map<Chiave, QString> nomi_;
    std::vector<typename std::map<Chiave, QString>::const_iterator> ordine_;
};

using ChiaveParagrafo = std::pair<FormatoParagrafo, Carattere>;
// Border in thousandths of a point, its colour, padding in thousandths.
using ChiaveCella = std::tuple<long, QString, long>;

long millesimi(double valore) {
    return std::lround(valore * 1000);
}

bool voceIndice(const QTextBlock& blocco) {
    return blocco.isValid() && livelloVoceIndice(blocco.blockFormat()) > 0;
}

// The styles of a table of contents: its title's, and its entries' by level.
QString stileIndice(int livello) {
    return livello > 0 ? QString("Contents_20_%1").arg(livello) : "Contents_20_Heading";
}

// The entries' links look as the rest of the entry, not as a web link.
const QString stileCollegamento = QStringLiteral("Index_20_Link");

class ScrittoreContenuto : public PercorsoDocumento {
  public:
    // `misura` hears the pages measured for the contents' page numbers.
    ScrittoreContenuto(QXmlStreamWriter& xml, const QTextDocument& documento, Avanzamento misura)
        : PercorsoDocumento(documento), xml_(xml),
          pagine_(pagineVociIndice(documento, std::move(misura))) {
        for (QTextBlock blocco = documento.begin(); blocco.isValid(); blocco = blocco.next()) {
            if (voceIndice(blocco)) {
                destinazioni_.insert(destinazioneVoce(blocco));
            }
        }
    }

    // The fonts the content uses.
    const std::set<QString>& famiglie() const { return famiglie_; }
    // The fonts of a table of contents: its title's (0) and its entries' by
    // level; none without.
    const std::map<int, Carattere>& caratteriIndice() const { return caratteriIndice_; }

    void stiliAutomatici(QXmlStreamWriter& xml) const {
        xml.writeStartElement(nsOffice, "automatic-styles");
        paragrafi_.perOgni([&](const QString& nome, const ChiaveParagrafo& chiave) {
            stileParagrafo(xml, nome, chiave.first, chiave.second);
        });
        sequenze_.perOgni([&](const QString& nome, const Carattere& carattere) {
            xml.writeStartElement(nsStyle, "style");
            xml.writeAttribute(nsStyle, "name", nome);
            xml.writeAttribute(nsStyle, "family", "text");
            proprietaTesto(xml, carattere);
            xml.writeEndElement();
        });
        for (std::size_t n = 0; n < tabelle_.size(); ++n) {
            const FormatoTabella& tabella = tabelle_[n];
            double larghezza = 0;
            for (const double colonna : tabella.colonne) {
                larghezza += colonna;
            }
            xml.writeStartElement(nsStyle, "style");
            xml.writeAttribute(nsStyle, "name", nomeTabella(n + 1));
            xml.writeAttribute(nsStyle, "family", "table");
            xml.writeEmptyElement(nsStyle, "table-properties");
            xml.writeAttribute(nsStyle, "width", cmDaPunti(larghezza));
            xml.writeAttribute(nsTable, "align",
                               tabella.allineamento == Allineamento::Centro   ? "center"
                               : tabella.allineamento == Allineamento::Destra ? "right"
                                                                              : "left");
            // Neighbouring cells share one line.
            xml.writeAttribute(nsTable, "border-model", "collapsing");
            xml.writeEndElement();
        }
        colonne_.perOgni([&](const QString& nome, long larghezza) {
            xml.writeStartElement(nsStyle, "style");
            xml.writeAttribute(nsStyle, "name", nome);
            xml.writeAttribute(nsStyle, "family", "table-column");
            xml.writeEmptyElement(nsStyle, "table-column-properties");
            xml.writeAttribute(nsStyle, "column-width", cmDaPunti(larghezza / 1000.0));
            xml.writeEndElement();
        });
        celle_.perOgni([&](const QString& nome, const ChiaveCella& chiave) {
            const auto& [bordo, colore, margine] = chiave;
            xml.writeStartElement(nsStyle, "style");
            xml.writeAttribute(nsStyle, "name", nome);
            xml.writeAttribute(nsStyle, "family", "table-cell");
            xml.writeEmptyElement(nsStyle, "table-cell-properties");
            xml.writeAttribute(nsFo, "border",
                               bordo > 0 ? punti(bordo / 1000.0) + " solid " + colore : "none");
            xml.writeAttribute(nsFo, "padding", cmDaPunti(margine / 1000.0));
            xml.writeEndElement();
        });
        if (disegni_ > 0) {
            xml.writeStartElement(nsStyle, "style");
            xml.writeAttribute(nsStyle, "name", "Immagine");
            xml.writeAttribute(nsStyle, "family", "graphic");
            xml.writeEmptyElement(nsStyle, "graphic-properties");
            xml.writeAttribute(nsStyle, "vertical-pos", "top");
            xml.writeAttribute(nsStyle, "vertical-rel", "baseline");
            xml.writeEndElement();
        }
        xml.writeEndElement();
    }

  private:
    static QString nomeTabella(std::size_t n) { return QString("Tabella%1").arg(n); }

    void inizioParagrafo(const FormatoParagrafo& formato, const Carattere& marca) override {
        famiglie_.insert(marca.famiglia);
        const QTextBlock& blocco = paragrafoCorrente();
        voce_ = std::min(livelloVoceIndice(blocco.blockFormat()), 2);
        titoloIndice_ = titoloIndice(blocco.blockFormat()) && voceIndice(blocco.next());
        if (titoloIndice_ || voce_ > 0) {
            inizioVoce(marca);
            return;
        }
        const int livello = std::clamp(formato.livelloTitolo, 0, 2);
        xml_.writeStartElement(nsText, livello > 0 ? "h" : "p");
        xml_.writeAttribute(nsText, "style-name", paragrafi_.nome({formato, marca}));
        if (livello > 0) {
            xml_.writeAttribute(nsText, "outline-level", QString::number(livello));
            // The place an entry leads to.
            const QString ancora = ancoraParagrafo(blocco);
            if (!ancora.isEmpty() && destinazioni_.count(ancora) > 0) {
                xml_.writeEmptyElement(nsText, "bookmark");
                xml_.writeAttribute(nsText, "name", ancora);
            }
        }
    }
    void fineParagrafo() override {
        if (titoloIndice_) {
            xml_.writeEndElement(); // p
            xml_.writeEndElement(); // index-title
            return;
        }
        if (voce_ > 0) {
            fineVoce();
            return;
        }
        xml_.writeEndElement();
    }

    // The title and the entries that follow it are a table of contents of
    // the headings of level 1 and 2, which Writer builds again on "Update
    // index"; each entry a link to its heading, with its page as the .pdf
    // shows it after a tab.
    void inizioVoce(const Carattere& marca) {
        const QTextBlock& blocco = paragrafoCorrente();
        const int livello = titoloIndice_ ? 0 : voce_;
        caratteriIndice_[livello] = marca;
        if (livello > 0) {
            // Both levels' styles, for what Writer's update may bring.
            caratteriIndice_.try_emplace(3 - livello, marca);
        }
        if (!indiceAperto_) {
            apriIndice(titoloIndice_ ? caratteriXml(blocco.text()) : QString());
        }
        if (titoloIndice_) {
            xml_.writeStartElement(nsText, "index-title");
            xml_.writeAttribute(nsText, "name", "Indice_Head");
        }
        xml_.writeStartElement(nsText, "p");
        xml_.writeAttribute(nsText, "style-name", stileIndice(livello));
        const QString destinazione = titoloIndice_ ? QString() : destinazioneVoce(blocco);
        collegata_ = !destinazione.isEmpty();
        if (collegata_) {
            xml_.writeStartElement(nsText, "a");
            xml_.writeAttribute(nsXlink, "type", "simple");
            xml_.writeAttribute(nsXlink, "href", "#" + destinazione);
            xml_.writeAttribute(nsText, "style-name", stileCollegamento);
            xml_.writeAttribute(nsText, "visited-style-name", stileCollegamento);
        }
    }
    void fineVoce() {
        const std::size_t numero = vociScritte_++;
        const int pagina = numero < pagine_.size() ? pagine_[numero] : 0;
        if (pagina > 0) {
            xml_.writeEmptyElement(nsText, "tab");
            xml_.writeCharacters(QString::number(pagina));
        }
        if (collegata_) {
            xml_.writeEndElement();
        }
        xml_.writeEndElement(); // p
        if (!voceIndice(paragrafoCorrente().next())) {
            xml_.writeEndElement(); // index-body
            xml_.writeEndElement(); // table-of-content
            indiceAperto_ = false;
        }
    }
    void apriIndice(const QString& titolo) {
        indiceAperto_ = true;
        xml_.writeStartElement(nsText, "table-of-content");
        xml_.writeAttribute(nsText, "name", "Indice");
        xml_.writeAttribute(nsText, "protected", "true");
        xml_.writeStartElement(nsText, "table-of-content-source");
        xml_.writeAttribute(nsText, "outline-level", "2");
        if (!titolo.isEmpty()) {
            xml_.writeStartElement(nsText, "index-title-template");
            xml_.writeAttribute(nsText, "style-name", stileIndice(0));
            xml_.writeCharacters(titolo);
            xml_.writeEndElement();
        }
        for (const int livello : {1, 2}) {
            xml_.writeStartElement(nsText, "table-of-content-entry-template");
            xml_.writeAttribute(nsText, "outline-level", QString::number(livello));
            xml_.writeAttribute(nsText, "style-name", stileIndice(livello));
            xml_.writeEmptyElement(nsText, "index-entry-link-start");
            xml_.writeAttribute(nsText, "style-name", stileCollegamento);
            xml_.writeEmptyElement(nsText, "index-entry-chapter");
            xml_.writeEmptyElement(nsText, "index-entry-text");
            xml_.writeEmptyElement(nsText, "index-entry-tab-stop");
            xml_.writeAttribute(nsStyle, "type", "right");
            xml_.writeAttribute(nsStyle, "leader-char", ".");
            xml_.writeEmptyElement(nsText, "index-entry-page-number");
            xml_.writeEmptyElement(nsText, "index-entry-link-end");
            xml_.writeEndElement();
        }
        xml_.writeEndElement(); // table-of-content-source
        xml_.writeStartElement(nsText, "index-body");
    }

    void inizioSequenza(const Carattere& carattere) override {
        famiglie_.insert(carattere.famiglia);
        xml_.writeStartElement(nsText, "span");
        xml_.writeAttribute(nsText, "style-name", sequenze_.nome(carattere));
    }
    void testo(const QString& testo) override { scriviTesto(xml_, testo); }
    void tabulazione() override { xml_.writeEmptyElement(nsText, "tab"); }
    void aCapo() override { xml_.writeEmptyElement(nsText, "line-break"); }
    void fineSequenza() override { xml_.writeEndElement(); }

    // A frame in the line, `pixel` large at 96 an inch, for a picture.
    void cornice(QSizeF pixel) {
        const QString id = QString::number(++disegni_);
        xml_.writeStartElement(nsDraw, "frame");
        xml_.writeAttribute(nsDraw, "style-name", "Immagine");
        xml_.writeAttribute(nsDraw, "name", "Immagine" + id);
        xml_.writeAttribute(nsText, "anchor-type", "as-char");
        xml_.writeAttribute(nsSvg, "width", cm(pixel.width() / 96 * 2.54));
        xml_.writeAttribute(nsSvg, "height", cm(pixel.height() / 96 * 2.54));
        xml_.writeAttribute(nsDraw, "z-index", "0");
    }

    void immagine(std::size_t numero, QSizeF pixel, const Carattere&) override {
        cornice(pixel);
        xml_.writeEmptyElement(nsDraw, "image");
        xml_.writeAttribute(nsXlink, "href", nomeImmagine(numero));
        xml_.writeAttribute(nsXlink, "type", "simple");
        xml_.writeAttribute(nsXlink, "show", "embed");
        xml_.writeAttribute(nsXlink, "actuate", "onLoad");
        xml_.writeEndElement();
    }

    // The SVG, then a picture of it within the same frame for the readers
    // that know no SVG.
    void disegno(std::size_t numero, QSizeF pixel, const Carattere&) override {
        cornice(pixel);
        for (const auto& [tipo, mime] : {std::pair{"svg", "image/svg+xml"}, {"png", "image/png"}}) {
            xml_.writeEmptyElement(nsDraw, "image");
            xml_.writeAttribute(nsXlink, "href", nomeDisegno(numero, tipo));
            xml_.writeAttribute(nsXlink, "type", "simple");
            xml_.writeAttribute(nsXlink, "show", "embed");
            xml_.writeAttribute(nsXlink, "actuate", "onLoad");
            xml_.writeAttribute(nsDraw, "mime-type", mime);
        }
        xml_.writeEndElement();
    }

    void inizioTabella(const FormatoTabella& formato) override {
        tabelle_.push_back(formato);
        aperte_.push_back({formato, false, false});
        const QString nome = nomeTabella(tabelle_.size());
        xml_.writeStartElement(nsTable, "table");
        xml_.writeAttribute(nsTable, "name", nome);
        xml_.writeAttribute(nsTable, "style-name", nome);
        for (const double colonna : formato.colonne) {
            xml_.writeEmptyElement(nsTable, "table-column");
            xml_.writeAttribute(nsTable, "style-name", colonne_.nome(millesimi(colonna)));
        }
    }
    void fineTabella() override {
        if (aperte_.back().intestazioneAperta) {
            xml_.writeEndElement();
        }
        xml_.writeEndElement();
        aperte_.pop_back();
    }

    // The heading rows at the top of the table repeat on every page; a
    // heading row further down cannot, and is written as any other.
    void inizioRiga(int, bool intestazione) override {
        Aperta& tabella = aperte_.back();
        const bool ripetuta = intestazione && !tabella.corpoIniziato;
        if (ripetuta && !tabella.intestazioneAperta) {
            xml_.writeStartElement(nsTable, "table-header-rows");
            tabella.intestazioneAperta = true;
        } else if (!ripetuta) {
            if (tabella.intestazioneAperta) {
                xml_.writeEndElement();
                tabella.intestazioneAperta = false;
            }
            tabella.corpoIniziato = true;
        }
        xml_.writeStartElement(nsTable, "table-row");
    }
    void fineRiga() override { xml_.writeEndElement(); }

    void inizioCella(double) override {
        const FormatoTabella& formato = aperte_.back().formato;
        xml_.writeStartElement(nsTable, "table-cell");
        xml_.writeAttribute(nsTable, "style-name",
                            celle_.nome({millesimi(formato.bordo), formato.coloreBordo.name(),
                                         millesimi(formato.margineCella)}));
        xml_.writeAttribute(nsOffice, "value-type", "string");
    }
    void fineCella(bool) override { xml_.writeEndElement(); }

    struct Aperta {
        FormatoTabella formato;
        bool intestazioneAperta;
        bool corpoIniziato;
    };

    QXmlStreamWriter& xml_;
    std::set<QString> famiglie_;
    Stili<ChiaveParagrafo> paragrafi_{"P"};
    Stili<Carattere> sequenze_{"T"};
    Stili<long> colonne_{"Colonna"};
    Stili<ChiaveCella> celle_{"Cella"};
    std::vector<FormatoTabella> tabelle_; // every table, in document order
    std::vector<Aperta> aperte_;          // the tables open, innermost last
    int disegni_ = 0;

    const std::vector<int> pagine_; // of the entries, in order
    std::set<QString> destinazioni_;
    std::map<int, Carattere> caratteriIndice_;
    std::size_t vociScritte_ = 0;
    int voce_ = 0;              // the paragraph's level as an entry
    bool titoloIndice_ = false; // the paragraph is the index's title
    bool indiceAperto_ = false;
    bool collegata_ = false;
};

// Every font the package names, in either part: the content's, the default
// and the footer's.
std::set<QString> famiglie(const QTextDocument& documento, std::set<QString> contenuto) {
    contenuto.insert(carattere(QTextCharFormat(), documento).famiglia);
    contenuto.insert(carattereDelTesto(documento).famiglia);
    return contenuto;
}

QByteArray parteContenuto(const QTextDocument& documento, std::vector<QByteArray>& immagini,
                          std::vector<DisegnoInFile>& disegni, std::set<QString>& caratteri,
                          std::map<int, Carattere>& indice, Avanzamento avanzamento) {
    // The body first: the fonts and styles it uses come before it.
    QByteArray corpo;
    QXmlStreamWriter xmlCorpo(&corpo);
    dichiaraSpazi(xmlCorpo);
    xmlCorpo.writeStartElement(nsOffice, "body");
    xmlCorpo.writeStartElement(nsOffice, "text");
    // The contents' pages measured, then the walk: halves of the work, or
    // the walk alone.
    const int parti = conVociIndice(documento) ? 2 : 1;
    ScrittoreContenuto contenuto(xmlCorpo, documento, avanzamento.parte(0, parti));
    contenuto.percorri(avanzamento.parte(parti - 1, parti));
    xmlCorpo.writeEndDocument();
    immagini = contenuto.immagini();
    disegni = contenuto.disegni();
    caratteri = famiglie(documento, contenuto.famiglie());
    indice = contenuto.caratteriIndice();

    QByteArray dati;
    QXmlStreamWriter xml(&dati);
    apriParte(xml, "document-content", caratteri);
    contenuto.stiliAutomatici(xml);
    xml.writeEndDocument();
    return dati.insert(dati.lastIndexOf("</"), corpo);
}

// A header or footer a line high in the page's 2 cm margin. ODF counts the
// page's margin to the header or footer, not to the text: it and the space
// between it and the text fill the rest of the 2 cm, so that the text lies
// where it lies in the other formats.
void stileMargine(QXmlStreamWriter& xml, const char* elemento, const char* latoDelTesto,
                  double distanzaCm) {
    xml.writeStartElement(nsStyle, elemento);
    xml.writeEmptyElement(nsStyle, "header-footer-properties");
    const double spazio = (pagina::margineCm - distanzaCm) / 3;
    xml.writeAttribute(nsFo, "min-height", cm(pagina::margineCm - distanzaCm - spazio));
    xml.writeAttribute(nsFo, latoDelTesto, cm(spazio));
    xml.writeEndElement();
}

// Writer's styles of a table of contents, in the fonts its title and
// entries have: the entries with their page at the text's right edge after
// a row of dots. (Writer counts a tab stop from the paragraph's indent.)
void stiliIndice(QXmlStreamWriter& xml, const std::map<int, Carattere>& caratteri) {
    if (caratteri.empty()) {
        return;
    }
    xml.writeEmptyElement(nsStyle, "style");
    xml.writeAttribute(nsStyle, "name", stileCollegamento);
    xml.writeAttribute(nsStyle, "display-name", "Index Link");
    xml.writeAttribute(nsStyle, "family", "text");
    const double larghezza = pagina::larghezzaCm - 2 * pagina::margineCm;
    for (const auto& [livello, carattere] : caratteri) {
        const double rientro = livello > 1 ? 0.5 : 0;
        xml.writeStartElement(nsStyle, "style");
        xml.writeAttribute(nsStyle, "name", stileIndice(livello));
        xml.writeAttribute(nsStyle, "display-name",
                           livello > 0 ? QString("Contents %1").arg(livello) : "Contents Heading");
        xml.writeAttribute(nsStyle, "family", "paragraph");
        xml.writeAttribute(nsStyle, "parent-style-name", "Standard");
        xml.writeAttribute(nsStyle, "class", "index");
        xml.writeStartElement(nsStyle, "paragraph-properties");
        xml.writeAttribute(nsFo, "margin-left", cm(rientro));
        if (livello < 2) {
            xml.writeAttribute(nsFo, "keep-with-next", "always");
        }
        if (livello > 0) {
            xml.writeStartElement(nsStyle, "tab-stops");
            xml.writeEmptyElement(nsStyle, "tab-stop");
            xml.writeAttribute(nsStyle, "position", cm(larghezza - rientro));
            xml.writeAttribute(nsStyle, "type", "right");
            xml.writeAttribute(nsStyle, "leader-style", "dotted");
            xml.writeAttribute(nsStyle, "leader-text", ".");
            xml.writeEndElement();
        }
        xml.writeEndElement();
        proprietaTesto(xml, carattere);
        xml.writeEndElement();
    }
}

// The default font, the page, its header if any, and its footer: "Pagina N
// di M", centred, N and M fields the word processor fills in.
QByteArray parteStili(const QTextDocument& documento, const std::set<QString>& caratteri,
                      const std::map<int, Carattere>& indice) {
    const Carattere predefinito = carattere(QTextCharFormat(), documento);
    const Carattere piede = carattereDelTesto(documento);
    const QString intestazione = proprietaDi(documento).intestazione;

    QByteArray dati;
    QXmlStreamWriter xml(&dati);
    apriParte(xml, "document-styles", caratteri);

    xml.writeStartElement(nsOffice, "styles");
    xml.writeStartElement(nsStyle, "default-style");
    xml.writeAttribute(nsStyle, "family", "paragraph");
    // No line of a paragraph alone at a page's foot or head, as in .pdf.
    xml.writeEmptyElement(nsStyle, "paragraph-properties");
    xml.writeAttribute(nsFo, "orphans", "2");
    xml.writeAttribute(nsFo, "widows", "2");
    proprietaTesto(xml, predefinito);
    xml.writeAttribute(nsFo, "language", "it");
    xml.writeAttribute(nsFo, "country", "IT");
    xml.writeEndElement();
    xml.writeEmptyElement(nsStyle, "style");
    xml.writeAttribute(nsStyle, "name", "Standard");
    xml.writeAttribute(nsStyle, "family", "paragraph");
    xml.writeAttribute(nsStyle, "class", "text");
    // Writer's own heading styles, which the headings' formats stand on.
    for (const int livello : {1, 2}) {
        xml.writeEmptyElement(nsStyle, "style");
        xml.writeAttribute(nsStyle, "name", QString("Heading_20_%1").arg(livello));
        xml.writeAttribute(nsStyle, "display-name", QString("Heading %1").arg(livello));
        xml.writeAttribute(nsStyle, "family", "paragraph");
        xml.writeAttribute(nsStyle, "parent-style-name", "Standard");
        xml.writeAttribute(nsStyle, "next-style-name", "Standard");
        xml.writeAttribute(nsStyle, "default-outline-level", QString::number(livello));
        xml.writeAttribute(nsStyle, "class", "text");
    }
    stiliIndice(xml, indice);
    xml.writeEndElement(); // styles

    xml.writeStartElement(nsOffice, "automatic-styles");
    xml.writeStartElement(nsStyle, "page-layout");
    xml.writeAttribute(nsStyle, "name", "Pagina");
    xml.writeEmptyElement(nsStyle, "page-layout-properties");
    xml.writeAttribute(nsFo, "page-width", cm(pagina::larghezzaCm));
    xml.writeAttribute(nsFo, "page-height", cm(pagina::altezzaCm));
    xml.writeAttribute(nsStyle, "print-orientation", "portrait");
    xml.writeAttribute(nsFo, "margin-top",
                       cm(intestazione.isEmpty() ? pagina::margineCm : pagina::testaCm));
    xml.writeAttribute(nsFo, "margin-left", cm(pagina::margineCm));
    xml.writeAttribute(nsFo, "margin-right", cm(pagina::margineCm));
    xml.writeAttribute(nsFo, "margin-bottom", cm(pagina::piedeCm));
    if (!intestazione.isEmpty()) {
        stileMargine(xml, "header-style", "margin-bottom", pagina::testaCm);
    }
    stileMargine(xml, "footer-style", "margin-top", pagina::piedeCm);
    xml.writeEndElement();
    stileParagrafo(xml, "Piede", {Allineamento::Centro, false, false}, piede);
    if (!intestazione.isEmpty()) {
        stileParagrafo(xml, "Intestazione", {Allineamento::Centro, false, true}, piede);
    }
    xml.writeEndElement();

    xml.writeStartElement(nsOffice, "master-styles");
    xml.writeStartElement(nsStyle, "master-page");
    xml.writeAttribute(nsStyle, "name", "Standard");
    xml.writeAttribute(nsStyle, "page-layout-name", "Pagina");
    if (!intestazione.isEmpty()) {
        xml.writeStartElement(nsStyle, "header");
        xml.writeStartElement(nsText, "p");
        xml.writeAttribute(nsText, "style-name", "Intestazione");
        scriviTesto(xml, caratteriXml(intestazione));
        xml.writeEndElement();
        xml.writeEndElement();
    }
    xml.writeStartElement(nsStyle, "footer");
    xml.writeStartElement(nsText, "p");
    xml.writeAttribute(nsText, "style-name", "Piede");
    scriviTesto(xml, pagina::piedePrima);
    xml.writeStartElement(nsText, "page-number");
    xml.writeAttribute(nsText, "select-page", "current");
    xml.writeCharacters("1");
    xml.writeEndElement();
    scriviTesto(xml, pagina::piedeTra);
    xml.writeTextElement(nsText, "page-count", "1");
    xml.writeEndDocument();
    return dati;
}

// The title, subject and author: the author is who made the document and
// who saved it last.
QByteArray parteMeta(const ProprietaDocumento& proprieta) {
    QByteArray dati;
    QXmlStreamWriter xml(&dati);
    xml.writeStartDocument();
    xml.writeNamespace(nsOffice, "office");
    xml.writeNamespace(nsMeta, "meta");
    xml.writeNamespace(nsDc, "dc");
    xml.writeStartElement(nsOffice, "document-meta");
    xml.writeAttribute(nsOffice, "version", "1.2");
    xml.writeStartElement(nsOffice, "meta");
    for (const auto& [ns, nome, valore] : {std::tuple{nsDc, "title", proprieta.titolo},
                                           {nsDc, "subject", proprieta.soggetto},
                                           {nsMeta, "initial-creator", proprieta.autore},
                                           {nsDc, "creator", proprieta.autore}}) {
        if (!valore.isEmpty()) {
            xml.writeTextElement(ns, nome, caratteriXml(valore));
        }
    }
    xml.writeEndDocument();
    return dati;
}

QByteArray manifesto(std::size_t immagini, std::size_t disegni, bool meta) {
    QByteArray dati;
    QXmlStreamWriter xml(&dati);
    xml.writeStartDocument();
    xml.writeNamespace(nsManifest, "manifest");
    xml.writeStartElement(nsManifest, "manifest");
    xml.writeAttribute(nsManifest, "version", "1.2");
    const auto voce = [&](const QString& percorso, const QString& tipo) {
        xml.writeEmptyElement(nsManifest, "file-entry");
        xml.writeAttribute(nsManifest, "full-path", percorso);
        if (percorso == "/") {
            xml.writeAttribute(nsManifest, "version", "1.2");
        }
        xml.writeAttribute(nsManifest, "media-type", tipo);
    };
    voce("/", tipoOdt);
    voce("content.xml", "text/xml");
    voce("styles.xml", "text/xml");
    if (meta) {
        voce("meta.xml", "text/xml");
    }
    for (std::size_t n = 1; n <= immagini; ++n) {
        voce(nomeImmagine(n), "image/png");
    }
    for (std::size_t n = 1; n <= disegni; ++n) {
        voce(nomeDisegno(n, "svg"), "image/svg+xml");
        voce(nomeDisegno(n, "png"), "image/png");
    }
    xml.writeEndDocument();
    return dati;
}

} // namespace

QByteArray documentoOdt(const QTextDocument& documento, Avanzamento avanzamento) {
    const ProprietaDocumento proprieta = proprietaDi(documento);
    std::vector<QByteArray> immagini;
    std::vector<DisegnoInFile> disegni;
    std::set<QString> caratteri;
    std::map<int, Carattere> indice;
    const QByteArray contenuto =
        parteContenuto(documento, immagini, disegni, caratteri, indice, std::move(avanzamento));

    PacchettoZip zip(".odt");
    // First and stored as it is: how a reader knows the package's type.
    zip.aggiungi("mimetype", tipoOdt.toUtf8(), false);
    zip.aggiungi("META-INF/manifest.xml",
                 manifesto(immagini.size(), disegni.size(), proprieta.haDescrizione()));
    zip.aggiungi("content.xml", contenuto);
    zip.aggiungi("styles.xml", parteStili(documento, caratteri, indice));
    if (proprieta.haDescrizione()) {
        zip.aggiungi("meta.xml", parteMeta(proprieta));
    }
    for (std::size_t n = 1; n <= immagini.size(); ++n) {
        zip.aggiungi(nomeImmagine(n), immagini[n - 1]);
    }
    aggiungiDisegni(zip, QString(), disegni, nomeDisegno);
    return zip.chiudi();
}
