#include "lettore_odt.h"

#include "elementi_corpo.h"
#include "lettore_docx.h"

#include <QXmlStreamReader>
#include <QtEndian>

#include <functional>
#include <stdexcept>

namespace odt {

namespace {

const QString tipoOdt = QStringLiteral("application/vnd.oasis.opendocument.text");

[[noreturn]] void rifiuta(const QString& motivo) {
    throw std::runtime_error(motivo.toStdString());
}

// Attribute and element names with the usual prefix of their namespace,
// whatever prefix the file gives it.
QString prefissoDi(QStringView ns) {
    static const std::map<QString, QString> prefissi = {
        {"urn:oasis:names:tc:opendocument:xmlns:office:1.0", "office"},
        {"urn:oasis:names:tc:opendocument:xmlns:style:1.0", "style"},
        {"urn:oasis:names:tc:opendocument:xmlns:text:1.0", "text"},
        {"urn:oasis:names:tc:opendocument:xmlns:table:1.0", "table"},
        {"urn:oasis:names:tc:opendocument:xmlns:drawing:1.0", "draw"},
        {"urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0", "fo"},
        {"urn:oasis:names:tc:opendocument:xmlns:svg-compatible:1.0", "svg"},
        {"http://www.w3.org/1999/xlink", "xlink"},
        {"urn:oasis:names:tc:opendocument:xmlns:manifest:1.0", "manifest"},
        {"urn:oasis:names:tc:opendocument:xmlns:meta:1.0", "meta"},
        {"http://purl.org/dc/elements/1.1/", "dc"},
    };
    const auto trovato = prefissi.find(ns.toString());
    return trovato == prefissi.end() ? ns.toString() : trovato->second;
}

QString nome(const QXmlStreamReader& xml) {
    return prefissoDi(xml.namespaceUri()) + ":" + xml.name().toString();
}

QString attributo(const QXmlStreamReader& xml, const QString& chiave) {
    for (const QXmlStreamAttribute& a : xml.attributes()) {
        if (prefissoDi(a.namespaceUri()) + ":" + a.name().toString() == chiave) {
            return a.value().toString();
        }
    }
    return {};
}

std::map<QString, QString> attributi(const QXmlStreamReader& xml) {
    std::map<QString, QString> esito;
    for (const QXmlStreamAttribute& a : xml.attributes()) {
        esito[prefissoDi(a.namespaceUri()) + ":" + a.name().toString()] = a.value().toString();
    }
    return esito;
}

// A length in centimetres; 0 when there is none.
double cm(const QString& lunghezza) {
    static const std::map<QString, double> unita = {
        {"cm", 1}, {"mm", 0.1}, {"in", 2.54}, {"pt", 2.54 / 72}, {"pc", 2.54 / 6}};
    for (const auto& [sigla, fattore] : unita) {
        if (lunghezza.endsWith(sigla)) {
            bool ok = false;
            const double valore = lunghezza.chopped(2).toDouble(&ok);
            if (!ok) {
                rifiuta("lunghezza non valida: " + lunghezza);
            }
            return valore * fattore;
        }
    }
    if (!lunghezza.isEmpty()) {
        rifiuta("lunghezza senza unità: " + lunghezza);
    }
    return 0;
}

// Every element of a part, the reader on its start; throws on bad XML.
void perOgni(const QByteArray& dati, const QString& parte,
             const std::function<void(QXmlStreamReader&)>& visita) {
    QXmlStreamReader xml(dati);
    while (!xml.atEnd()) {
        if (xml.readNext() == QXmlStreamReader::StartElement) {
            visita(xml);
        }
    }
    if (xml.hasError()) {
        rifiuta("XML non valido in " + parte + ": " + xml.errorString());
    }
}

// The styles one part sees, by name, with their properties merged from all
// their property elements.
class Stili {
  public:
    struct Stile {
        QString famiglia, genitore;
        std::map<QString, QString> proprieta;
    };

    // The style elements of a part; `automatici` false leaves out those of
    // its office:automatic-styles.
    void leggi(const QByteArray& dati, const QString& parte, bool automatici = true) {
        QXmlStreamReader xml(dati);
        Stile* corrente = nullptr;
        bool inAutomatici = false;
        while (!xml.atEnd()) {
            xml.readNext();
            if (xml.isEndElement() &&
                (nome(xml) == "style:style" || nome(xml) == "style:default-style")) {
                corrente = nullptr;
            }
            if (xml.isEndElement() && nome(xml) == "office:automatic-styles") {
                inAutomatici = false;
            }
            if (!xml.isStartElement()) {
                continue;
            }
            if (nome(xml) == "office:automatic-styles") {
                inAutomatici = true;
            } else if (inAutomatici && !automatici) {
                continue;
            } else if (nome(xml) == "style:style") {
                corrente = &stili_[attributo(xml, "style:name")];
                corrente->famiglia = attributo(xml, "style:family");
                corrente->genitore = attributo(xml, "style:parent-style-name");
            } else if (nome(xml) == "style:default-style") {
                corrente = &predefiniti_[attributo(xml, "style:family")];
            } else if (corrente != nullptr && nome(xml).endsWith("-properties")) {
                for (const auto& [chiave, valore] : attributi(xml)) {
                    corrente->proprieta[chiave] = valore;
                }
            }
        }
        if (xml.hasError()) {
            rifiuta("XML non valido in " + parte);
        }
    }

    void verifica(const QString& stile, const QString& famiglia) const {
        const auto trovato = stili_.find(stile);
        if (trovato == stili_.end()) {
            rifiuta("stile non definito: " + stile);
        }
        if (trovato->second.famiglia != famiglia) {
            rifiuta("lo stile " + stile + " non è della famiglia " + famiglia);
        }
    }

    // The property as the style, its parents or its family's default set it.
    QString proprieta(const QString& stile, const QString& chiave) const {
        QString famiglia;
        for (QString nome = stile; !nome.isEmpty();) {
            const auto trovato = stili_.find(nome);
            if (trovato == stili_.end()) {
                rifiuta("stile non definito: " + nome);
            }
            famiglia = trovato->second.famiglia;
            if (const auto valore = trovato->second.proprieta.find(chiave);
                valore != trovato->second.proprieta.end()) {
                return valore->second;
            }
            nome = trovato->second.genitore;
        }
        const auto predefinito = predefiniti_.find(famiglia);
        if (predefinito != predefiniti_.end()) {
            const auto valore = predefinito->second.proprieta.find(chiave);
            if (valore != predefinito->second.proprieta.end()) {
                return valore->second;
            }
        }
        return {};
    }

  private:
    std::map<QString, Stile> stili_;
    std::map<QString, Stile> predefiniti_;
};

// Font face name to font family, as a part declares them.
std::map<QString, QString> caratteri(const QByteArray& dati, const QString& parte) {
    std::map<QString, QString> esito;
    perOgni(dati, parte, [&](QXmlStreamReader& xml) {
        if (nome(xml) == "style:font-face") {
            QString famiglia = attributo(xml, "svg:font-family");
            if (famiglia.startsWith('\'') && famiglia.endsWith('\'')) {
                famiglia = famiglia.mid(1, famiglia.size() - 2);
            }
            esito[attributo(xml, "style:name")] = famiglia;
        }
    });
    return esito;
}

class Lettore {
  public:
    Lettore(const Stili& stili, const std::map<QString, QString>& caratteri,
            const std::map<QString, QByteArray>& parti)
        : stili_(stili), caratteri_(caratteri), parti_(parti) {}

    // The reader on a text:p or text:h start.
    Testo paragrafo(QXmlStreamReader& xml) const {
        Testo p;
        const QString stile = attributo(xml, "text:style-name");
        if (!stile.isEmpty()) {
            stili_.verifica(stile, "paragraph");
        }
        p.allineamento = stili_.proprieta(stile, "fo:text-align");
        p.conIlSeguente = stili_.proprieta(stile, "fo:keep-with-next") == "always";
        for (const char* lato : {"top", "bottom", "left", "right"}) {
            const QString proprio = stili_.proprieta(stile, QString("fo:border-") + lato);
            const QString bordo =
                proprio.isEmpty() ? stili_.proprieta(stile, "fo:border") : proprio;
            if (!bordo.isEmpty() && bordo != "none") {
                p.bordi[lato] = bordo;
            }
        }
        carattere(stile, p);
        bool primaSequenza = true;
        // Collapsible white space: dropped at the start, after other white
        // space, and at the end.
        bool dopoSpazio = true;
        bool ultimoCollassabile = false;
        const auto aggiungi = [&](const QString& testo, bool spazio) {
            p.testo += testo;
            dopoSpazio = spazio;
            ultimoCollassabile = false;
        };
        const QString fine = nome(xml);
        while (!xml.atEnd()) {
            xml.readNext();
            if (xml.isEndElement() && nome(xml) == fine) {
                break;
            }
            if (xml.isCharacters()) {
                for (const QChar c : xml.text()) {
                    if (c == ' ' || c == '\t' || c == '\n' || c == '\r') {
                        if (!dopoSpazio) {
                            p.testo += ' ';
                            dopoSpazio = true;
                            ultimoCollassabile = true;
                        }
                    } else {
                        aggiungi(QString(c), false);
                    }
                }
                continue;
            }
            if (!xml.isStartElement()) {
                continue;
            }
            const QString elemento = nome(xml);
            if (elemento == "text:span") {
                const QString stileSequenza = attributo(xml, "text:style-name");
                stili_.verifica(stileSequenza, "text");
                if (primaSequenza) {
                    carattere(stileSequenza, p, stile);
                    primaSequenza = false;
                }
            } else if (elemento == "text:s") {
                const QString c = attributo(xml, "text:c");
                aggiungi(QString(c.isEmpty() ? 1 : c.toInt(), ' '), true);
            } else if (elemento == "text:tab") {
                aggiungi("\t", true);
            } else if (elemento == "text:line-break") {
                aggiungi("\n", true);
            } else if (elemento == "text:page-number") {
                xml.skipCurrentElement();
                aggiungi("{PAGE}", false);
            } else if (elemento == "text:page-count") {
                xml.skipCurrentElement();
                aggiungi("{NUMPAGES}", false);
            } else if (elemento == "draw:frame") {
                p.immagini.push_back(cornice(xml));
            }
        }
        if (ultimoCollassabile) {
            p.testo.chop(1);
        }
        return p;
    }

    // The reader on a table:table start.
    Tabella tabella(QXmlStreamReader& xml) const {
        Tabella t;
        const QString stile = attributo(xml, "table:style-name");
        stili_.verifica(stile, "table");
        t.allineamento = stili_.proprieta(stile, "table:align");
        bool intestazione = false;
        while (!xml.atEnd()) {
            xml.readNext();
            const QString elemento = nome(xml);
            if (xml.isEndElement() && elemento == "table:table") {
                break;
            }
            if (xml.isEndElement() && elemento == "table:table-header-rows") {
                intestazione = false;
            }
            if (!xml.isStartElement()) {
                continue;
            }
            if (elemento == "table:table") {
                tabella(xml);
                ++t.annidate;
            } else if (elemento == "table:table-column") {
                const QString colonna = attributo(xml, "table:style-name");
                stili_.verifica(colonna, "table-column");
                const QString ripetute = attributo(xml, "table:number-columns-repeated");
                for (int n = 0; n < (ripetute.isEmpty() ? 1 : ripetute.toInt()); ++n) {
                    t.colonne.push_back(cm(stili_.proprieta(colonna, "style:column-width")));
                }
            } else if (elemento == "table:table-header-rows") {
                intestazione = true;
                ++t.gruppiIntestazione;
            } else if (elemento == "table:table-row") {
                t.righe.emplace_back();
                t.righe.back().intestazione = intestazione;
            } else if (elemento == "table:table-cell") {
                Testo& cella = t.righe.back().celle.emplace_back();
                const QString stileCella = attributo(xml, "table:style-name");
                stili_.verifica(stileCella, "table-cell");
                for (const char* lato : {"top", "bottom", "left", "right"}) {
                    const QString proprio =
                        stili_.proprieta(stileCella, QString("fo:border-") + lato);
                    cella.bordi[lato] =
                        proprio.isEmpty() ? stili_.proprieta(stileCella, "fo:border") : proprio;
                }
            } else if (elemento == "text:p" || elemento == "text:h") {
                Testo& cella = t.righe.back().celle.back();
                const Testo p = paragrafo(xml);
                if (cella.carattere.isEmpty()) {
                    const auto bordi = cella.bordi;
                    cella = p;
                    cella.bordi = bordi;
                } else {
                    cella.testo += "\n" + p.testo;
                    cella.immagini.insert(cella.immagini.end(), p.immagini.begin(),
                                          p.immagini.end());
                }
            }
        }
        return t;
    }

  private:
    // The font a text or paragraph style gives, through the font's
    // declaration; `ripiego` is the style that sets what it leaves unset.
    void carattere(const QString& stile, Testo& p, const QString& ripiego = {}) const {
        const auto proprieta = [&](const QString& chiave) {
            const QString propria = stili_.proprieta(stile, chiave);
            return propria.isEmpty() && !ripiego.isEmpty() ? stili_.proprieta(ripiego, chiave)
                                                           : propria;
        };
        const QString faccia = proprieta("style:font-name");
        if (!faccia.isEmpty()) {
            const auto dichiarata = caratteri_.find(faccia);
            if (dichiarata == caratteri_.end()) {
                rifiuta("carattere non dichiarato: " + faccia);
            }
            p.carattere = dichiarata->second;
        }
        const QString dimensione = proprieta("fo:font-size");
        if (dimensione.endsWith("pt")) {
            p.punti = dimensione.chopped(2).toDouble();
        }
    }

    // The reader on a draw:frame start: an inline picture.
    Immagine cornice(QXmlStreamReader& xml) const {
        Immagine immagine;
        immagine.larghezza = cm(attributo(xml, "svg:width"));
        immagine.altezza = cm(attributo(xml, "svg:height"));
        immagine.ancoraggio = attributo(xml, "text:anchor-type");
        while (!xml.atEnd()) {
            xml.readNext();
            if (xml.isEndElement() && nome(xml) == "draw:frame") {
                break;
            }
            if (xml.isStartElement() && nome(xml) == "draw:image") {
                immagine.percorso = attributo(xml, "xlink:href");
                if (!parti_.contains(immagine.percorso)) {
                    rifiuta("l'immagine punta a " + immagine.percorso + ", che manca");
                }
            }
        }
        return immagine;
    }

    const Stili& stili_;
    const std::map<QString, QString>& caratteri_;
    const std::map<QString, QByteArray>& parti_;
};

// The first local header of the zip: mimetype, stored, no extra field, the
// type as its whole content.
void verificaTipo(const QByteArray& pacchetto) {
    const auto intero16 = [&](int da) {
        return qFromLittleEndian<quint16>(pacchetto.constData() + da);
    };
    if (pacchetto.size() < 38 || !pacchetto.startsWith("PK\x03\x04")) {
        rifiuta("non è un archivio zip");
    }
    const int lunghezzaNome = intero16(26);
    const int lunghezzaExtra = intero16(28);
    const auto dimensione = qFromLittleEndian<quint32>(pacchetto.constData() + 18);
    if (pacchetto.mid(30, lunghezzaNome) != "mimetype") {
        rifiuta("la prima parte non è mimetype");
    }
    if (intero16(8) != 0) {
        rifiuta("mimetype è compressa");
    }
    if (lunghezzaExtra != 0) {
        rifiuta("mimetype ha un campo extra");
    }
    if (pacchetto.mid(30 + lunghezzaNome, static_cast<qsizetype>(dimensione)) != tipoOdt) {
        rifiuta("mimetype non dice " + tipoOdt);
    }
}

const QByteArray& necessaria(const std::map<QString, QByteArray>& parti, const QString& nome) {
    const auto trovata = parti.find(nome);
    if (trovata == parti.end()) {
        rifiuta("manca " + nome);
    }
    return trovata->second;
}

// The header's and footer's paragraphs and the page layout of the first
// master page.
Pagina pagina(const QByteArray& stiliXml, const Lettore& lettore) {
    std::map<QString, std::map<QString, QString>> impaginazioni;
    Pagina esito;
    bool trovata = false;
    QXmlStreamReader xml(stiliXml);
    QString impaginazione;
    QString maestra;
    QString margine; // "testa" or "piede" inside their style
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isEndElement() &&
            (nome(xml) == "style:header-style" || nome(xml) == "style:footer-style")) {
            margine.clear();
        }
        if (!xml.isStartElement()) {
            continue;
        }
        const QString elemento = nome(xml);
        if (elemento == "style:page-layout") {
            impaginazione = attributo(xml, "style:name");
        } else if (elemento == "style:page-layout-properties") {
            impaginazioni[impaginazione] = attributi(xml);
        } else if (elemento == "style:header-style") {
            margine = "testa";
        } else if (elemento == "style:footer-style") {
            margine = "piede";
        } else if (!margine.isEmpty() && elemento == "style:header-footer-properties") {
            for (const auto& [chiave, valore] : attributi(xml)) {
                impaginazioni[impaginazione][margine + " " + chiave] = valore;
            }
        } else if (elemento == "style:master-page" && !trovata) {
            maestra = attributo(xml, "style:page-layout-name");
            trovata = true;
        } else if (elemento == "style:header" && esito.intestazione.testo.isEmpty()) {
            xml.readNextStartElement();
            if (nome(xml) == "text:p") {
                esito.intestazione = lettore.paragrafo(xml);
            }
        } else if (elemento == "style:footer" && esito.piede.testo.isEmpty()) {
            xml.readNextStartElement();
            if (nome(xml) == "text:p") {
                esito.piede = lettore.paragrafo(xml);
            }
        }
    }
    if (!trovata || !impaginazioni.contains(maestra)) {
        rifiuta("nessuna pagina maestra con la sua impaginazione");
    }
    auto& p = impaginazioni[maestra];
    esito.larghezza = cm(p["fo:page-width"]);
    esito.altezza = cm(p["fo:page-height"]);
    esito.orientamento = p["style:print-orientation"];
    for (const char* lato : {"top", "bottom", "left", "right"}) {
        const QString proprio = p[QString("fo:margin-") + lato];
        esito.margini[lato] = cm(proprio.isEmpty() ? p["fo:margin"] : proprio);
    }
    esito.altezzaIntestazione = cm(p["testa fo:min-height"]);
    esito.spazioIntestazione = cm(p["testa fo:margin-bottom"]);
    esito.altezzaPiede = cm(p["piede fo:min-height"]);
    esito.spazioPiede = cm(p["piede fo:margin-top"]);
    return esito;
}

} // namespace

Pacchetto apri(const QByteArray& pacchetto) {
    verificaTipo(pacchetto);
    Pacchetto esito;
    esito.parti = docx::parti(pacchetto);
    const QByteArray& contenuto = necessaria(esito.parti, "content.xml");
    const QByteArray& stiliXml = necessaria(esito.parti, "styles.xml");

    perOgni(necessaria(esito.parti, "META-INF/manifest.xml"), "manifest",
            [&](QXmlStreamReader& xml) {
                if (nome(xml) == "manifest:file-entry") {
                    esito.manifesto[attributo(xml, "manifest:full-path")] =
                        attributo(xml, "manifest:media-type");
                }
            });
    if (esito.manifesto["/"] != tipoOdt) {
        rifiuta("il manifesto non dà il tipo del documento");
    }
    for (const auto& [percorso, tipo] : esito.manifesto) {
        if (percorso != "/" && !esito.parti.contains(percorso)) {
            rifiuta("il manifesto elenca " + percorso + ", che manca");
        }
    }
    for (const auto& [nomeParte, dati] : esito.parti) {
        if (nomeParte != "mimetype" && nomeParte != "META-INF/manifest.xml" &&
            !esito.manifesto.contains(nomeParte)) {
            rifiuta(nomeParte + " non è nel manifesto");
        }
    }

    const auto caratteriContenuto = caratteri(contenuto, "content.xml");
    const auto caratteriStili = caratteri(stiliXml, "styles.xml");
    for (const auto& [faccia, famiglia] : caratteriContenuto) {
        esito.caratteriContenuto.insert(famiglia);
    }
    for (const auto& [faccia, famiglia] : caratteriStili) {
        esito.caratteriStili.insert(famiglia);
    }

    // Content sees the common styles and its own automatic ones; the page,
    // the common styles and those of styles.xml.
    Stili stiliContenuto, stiliPagina;
    stiliContenuto.leggi(stiliXml, "styles.xml", false);
    stiliContenuto.leggi(contenuto, "content.xml");
    stiliPagina.leggi(stiliXml, "styles.xml");

    const Lettore corpo(stiliContenuto, caratteriContenuto, esito.parti);
    QXmlStreamReader xml(contenuto);
    int livello = 0; // inside office:text: 1 for its children
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isEndElement() && nome(xml) == "office:text") {
            livello = 0;
        }
        if (!xml.isStartElement()) {
            continue;
        }
        const QString elemento = nome(xml);
        if (elemento == "office:text") {
            livello = 1;
        } else if (livello == 1 && (elemento == "text:p" || elemento == "text:h")) {
            esito.corpo.emplace_back(corpo.paragrafo(xml));
        } else if (livello == 1 && elemento == "table:table") {
            esito.corpo.emplace_back(corpo.tabella(xml));
        }
    }
    if (xml.hasError()) {
        rifiuta("XML non valido in content.xml: " + xml.errorString());
    }
    perOgni(stiliXml, "styles.xml", [](QXmlStreamReader&) {});
    if (const auto meta = esito.parti.find("meta.xml"); meta != esito.parti.end()) {
        perOgni(meta->second, "meta.xml", [&](QXmlStreamReader& xml) {
            const QString elemento = nome(xml);
            if (elemento.startsWith("dc:") || elemento.startsWith("meta:")) {
                esito.proprieta[elemento] = xml.readElementText();
            }
        });
    }
    esito.pagina = pagina(stiliXml, Lettore(stiliPagina, caratteriStili, esito.parti));
    return esito;
}

std::vector<Tabella> tabelle(const std::vector<Elemento>& corpo) {
    return elementiDi<Tabella>(corpo);
}

std::vector<Testo> paragrafi(const std::vector<Elemento>& corpo) {
    return elementiDi<Testo>(corpo);
}

} // namespace odt
