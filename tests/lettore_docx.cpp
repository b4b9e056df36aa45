#include "lettore_docx.h"

#include "elementi_corpo.h"

#include <QBuffer>
#include <QXmlStreamReader>
#include <quazip.h>
#include <quazipfile.h>

#include <map>
#include <stdexcept>
#include <tuple>

namespace docx {

namespace {

QByteArray parte(QuaZip& zip, const QString& nome) {
    if (!zip.setCurrentFile(nome)) {
        throw std::runtime_error("manca " + nome.toStdString());
    }
    QuaZipFile file(&zip);
    if (!file.open(QIODevice::ReadOnly)) {
        throw std::runtime_error("illeggibile " + nome.toStdString());
    }
    return file.readAll();
}

const QString nsR =
    QStringLiteral("http://schemas.openxmlformats.org/officeDocument/2006/relationships");
const QString nsWp =
    QStringLiteral("http://schemas.openxmlformats.org/drawingml/2006/wordprocessingDrawing");
const QString nsA = QStringLiteral("http://schemas.openxmlformats.org/drawingml/2006/main");
const QString nsPic = QStringLiteral("http://schemas.openxmlformats.org/drawingml/2006/picture");

QString val(const QXmlStreamReader& xml, const char* attributo) {
    return xml.attributes().value(QString("w:") + attributo).toString();
}

bool elemento(const QXmlStreamReader& xml, const QString& ns, QStringView nome) {
    return xml.namespaceUri() == ns && xml.name() == nome;
}

long long emu(const QXmlStreamReader& xml, const char* attributo) {
    return xml.attributes().value(attributo).toLongLong();
}

// Reads one <w:drawing>, the reader on its start. The picture counts only as
// a wp:inline holding a pic:pic.
Disegno disegno(QXmlStreamReader& xml) {
    Disegno d;
    bool inline_ = false, immagine = false;
    while (!(xml.isEndElement() && xml.name() == u"drawing") && !xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement()) {
            continue;
        }
        if (elemento(xml, nsWp, u"inline")) {
            inline_ = true;
        } else if (inline_ && elemento(xml, nsWp, u"extent")) {
            d.larghezza = emu(xml, "cx");
            d.altezza = emu(xml, "cy");
        } else if (inline_ && elemento(xml, nsWp, u"docPr")) {
            d.id = xml.attributes().value("id").toString();
            d.nome = xml.attributes().value("name").toString();
        } else if (inline_ && elemento(xml, nsA, u"graphicData") &&
                   xml.attributes().value("uri") == nsPic) {
            immagine = true;
        } else if (immagine && elemento(xml, nsA, u"blip")) {
            d.relazione = xml.attributes().value(nsR, "embed").toString();
        } else if (immagine && elemento(xml, nsA, u"ext")) {
            d.larghezzaForma = emu(xml, "cx");
            d.altezzaForma = emu(xml, "cy");
        }
    }
    return d;
}

// The font a run or a paragraph mark has when it says none: the
// document's default (docDefaults).
struct Predefinito {
    QString carattere;
    double punti = 0;
};

// Reads one <w:p>, the reader on its start.
Testo paragrafo(QXmlStreamReader& xml, const Predefinito& predefinito) {
    Testo p;
    bool inRun = false;
    bool conRun = false;
    bool inBordi = false;
    bool risultatoCampo = false; // the text a field last showed, not kept
    QString carattereRun, carattereMarca = predefinito.carattere;
    double puntiRun = 0, puntiMarca = predefinito.punti;
    while (!(xml.isEndElement() && xml.name() == u"p") && !xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement() && !xml.isEndElement()) {
            continue;
        }
        const auto nome = xml.name();
        if (xml.isEndElement()) {
            inRun = inRun && nome != u"r";
            inBordi = inBordi && nome != u"pBdr";
            continue;
        }
        if (inBordi) {
            p.bordi[nome.toString()] =
                val(xml, "val") + " " + val(xml, "sz") + " " + val(xml, "color");
        } else if (nome == u"pBdr") {
            inBordi = true;
        } else if (nome == u"keepNext") {
            p.conIlSeguente = true;
        } else if (nome == u"r") {
            inRun = conRun = true;
            carattereRun = predefinito.carattere;
            puntiRun = predefinito.punti;
        } else if (nome == u"jc") {
            p.allineamento = val(xml, "val");
        } else if (nome == u"rFonts") {
            (inRun ? carattereRun : carattereMarca) = val(xml, "ascii");
        } else if (nome == u"sz") {
            (inRun ? puntiRun : puntiMarca) = val(xml, "val").toDouble() / 2;
        } else if (nome == u"t") {
            const QString testo = xml.readElementText();
            p.testo += risultatoCampo ? QString() : testo;
        } else if (nome == u"instrText") {
            p.testo += "{" + xml.readElementText().trimmed() + "}";
        } else if (nome == u"fldChar") {
            risultatoCampo = val(xml, "fldCharType") == u"separate";
        } else if (nome == u"drawing") {
            p.disegni.push_back(disegno(xml));
        }
    }
    p.carattere = conRun ? carattereRun : carattereMarca;
    p.punti = conRun ? puntiRun : puntiMarca;
    return p;
}

Tabella tabella(QXmlStreamReader& xml, const Predefinito& predefinito) {
    Tabella t;
    bool bordiCella = false;
    bool bordiTabella = false;
    std::map<QString, QString> bordi; // the table's, by side
    for (xml.readNext(); !(xml.isEndElement() && xml.name() == u"tbl") && !xml.atEnd();
         xml.readNext()) {
        if (xml.isEndElement() && xml.name() == u"tcBorders") {
            bordiCella = false;
        }
        if (xml.isEndElement() && xml.name() == u"tblBorders") {
            bordiTabella = false;
        }
        if (!xml.isStartElement()) {
            continue;
        }
        const auto nome = xml.name();
        const QString bordo = val(xml, "val") + " " + val(xml, "sz") + " " + val(xml, "color");
        if (bordiCella) {
            t.righe.back().celle.back().bordi[nome.toString()] = bordo;
        } else if (bordiTabella) {
            bordi[nome.toString()] = bordo;
        } else if (nome == u"tblBorders") {
            bordiTabella = true;
        } else if (nome == u"tcBorders") {
            bordiCella = true;
        } else if (nome == u"tbl") {
            tabella(xml, predefinito);
            ++t.annidate;
        } else if (nome == u"jc" && t.righe.empty()) {
            t.allineamento = val(xml, "val");
        } else if (nome == u"gridCol") {
            t.colonne.push_back(val(xml, "w").toInt());
        } else if (nome == u"tr") {
            t.righe.emplace_back();
        } else if (nome == u"tblHeader") {
            t.righe.back().intestazione = true;
        } else if (nome == u"tc") {
            // The table's lines round each cell: the outer ones at its edges,
            // the inner ones between cells.
            const bool primaRiga = t.righe.size() == 1;
            const bool primaCella = t.righe.back().celle.empty();
            auto& cella = t.righe.back().celle.emplace_back();
            for (const auto& [lato, esterno, interno] : {std::tuple{"top", primaRiga, "insideH"},
                                                         {"left", primaCella, "insideV"},
                                                         {"bottom", false, "insideH"},
                                                         {"right", false, "insideV"}}) {
                const auto b = bordi.find(esterno ? lato : interno);
                if (b != bordi.end()) {
                    cella.bordi[lato] = b->second;
                }
            }
        } else if (nome == u"p") {
            Testo& cella = t.righe.back().celle.back();
            const Testo p = paragrafo(xml, predefinito);
            if (cella.carattere.isEmpty()) {
                const auto bordi = cella.bordi;
                cella = p;
                cella.bordi = bordi;
            } else {
                cella.testo += "\n" + p.testo;
            }
        }
    }
    return t;
}

} // namespace

std::map<QString, QByteArray> parti(const QByteArray& pacchetto) {
    QByteArray copia = pacchetto;
    QBuffer contenitore(&copia);
    QuaZip zip(&contenitore);
    if (!zip.open(QuaZip::mdUnzip)) {
        throw std::runtime_error("non è un archivio zip");
    }
    std::map<QString, QByteArray> esito;
    for (const QString& nome : zip.getFileNameList()) {
        esito[nome] = parte(zip, nome);
    }
    return esito;
}

Pacchetto apri(const QByteArray& pacchetto) {
    Pacchetto esito;
    esito.parti = parti(pacchetto);
    const auto necessaria = [&](const char* nome) {
        const auto trovata = esito.parti.find(nome);
        if (trovata == esito.parti.end()) {
            throw std::runtime_error(std::string("manca ") + nome);
        }
        return trovata->second;
    };

    // Every element of these parts, the reader on its start.
    const auto perOgni = [&](const char* nome, const auto& visita) {
        QXmlStreamReader xml(necessaria(nome));
        while (!xml.atEnd()) {
            if (xml.readNext() == QXmlStreamReader::StartElement) {
                visita(xml);
            }
        }
        if (xml.hasError()) {
            throw std::runtime_error(std::string("XML non valido in ") + nome);
        }
    };
    perOgni("[Content_Types].xml", [&](QXmlStreamReader& xml) {
        const auto a = xml.attributes();
        if (xml.name() == u"Default") {
            esito.tipiPerEstensione[a.value("Extension").toString()] =
                a.value("ContentType").toString();
        } else if (xml.name() == u"Override") {
            esito.tipiPerParte[a.value("PartName").toString()] = a.value("ContentType").toString();
        }
    });
    QString proprieta;
    perOgni("_rels/.rels", [&](QXmlStreamReader& xml) {
        const auto a = xml.attributes();
        if (xml.name() == u"Relationship" &&
            a.value("Type").endsWith(u"/metadata/core-properties")) {
            proprieta = a.value("Target").toString();
        }
    });
    if (!proprieta.isEmpty()) {
        perOgni(proprieta.toUtf8().constData(), [&](QXmlStreamReader& xml) {
            if (xml.namespaceUri() == u"http://purl.org/dc/elements/1.1/") {
                const QString nome = xml.name().toString();
                esito.proprieta[nome] = xml.readElementText();
            }
        });
    }
    // The defaults come first: the first font and size named are theirs.
    Predefinito predefinito;
    perOgni("word/styles.xml", [&](QXmlStreamReader& xml) {
        if (xml.name() == u"rFonts" && predefinito.carattere.isEmpty()) {
            predefinito.carattere = val(xml, "ascii");
        } else if (xml.name() == u"sz" && predefinito.punti == 0) {
            predefinito.punti = val(xml, "val").toDouble() / 2;
        }
    });
    perOgni("word/_rels/document.xml.rels", [&](QXmlStreamReader& xml) {
        if (xml.name() == u"Relationship") {
            const auto a = xml.attributes();
            esito.relazioni[a.value("Id").toString()] = {a.value("Type").toString(),
                                                         a.value("Target").toString()};
        }
    });
    QString idTesta, idPiede;
    perOgni("word/document.xml", [&](QXmlStreamReader& xml) {
        const auto a = xml.attributes();
        if (xml.name() == u"p") {
            esito.corpo.emplace_back(paragrafo(xml, predefinito));
        } else if (xml.name() == u"tbl") {
            esito.corpo.emplace_back(tabella(xml, predefinito));
        } else if (xml.name() == u"pgSz") {
            esito.pagina.larghezza = val(xml, "w").toInt();
            esito.pagina.altezza = val(xml, "h").toInt();
            esito.pagina.orientamento = val(xml, "orient");
        } else if (xml.name() == u"pgMar") {
            for (const QXmlStreamAttribute& margine : a) {
                esito.pagina.margini[margine.name().toString()] = margine.value().toInt();
            }
        } else if (xml.name() == u"headerReference" && val(xml, "type") == u"default") {
            idTesta = a.value(nsR, "id").toString();
        } else if (xml.name() == u"footerReference" && val(xml, "type") == u"default") {
            idPiede = a.value(nsR, "id").toString();
        }
    });
    // The first paragraph of the header or footer part a reference names.
    const auto primoParagrafo = [&](const QString& id, const QString& tipo, Testo& paragrafoLetto) {
        if (id.isEmpty()) {
            return;
        }
        const auto relazione = esito.relazioni.find(id);
        if (relazione == esito.relazioni.end() || !relazione->second.tipo.endsWith("/" + tipo)) {
            throw std::runtime_error("il riferimento " + id.toStdString() +
                                     " non ha una relazione di tipo " + tipo.toStdString());
        }
        bool letto = false;
        perOgni(("word/" + relazione->second.destinazione).toUtf8().constData(),
                [&](QXmlStreamReader& xml) {
                    if (xml.name() == u"p" && !letto) {
                        paragrafoLetto = paragrafo(xml, predefinito);
                        letto = true;
                    }
                });
    };
    primoParagrafo(idTesta, "header", esito.pagina.intestazione);
    primoParagrafo(idPiede, "footer", esito.pagina.piede);

    // What a word processor refuses: a part of no type, a relationship to nothing.
    for (const auto& [nome, dati] : esito.parti) {
        const QString estensione = nome.section('.', -1);
        if (!esito.tipiPerParte.contains("/" + nome) &&
            !esito.tipiPerEstensione.contains(estensione)) {
            throw std::runtime_error("nessun tipo di contenuto per " + nome.toStdString());
        }
    }
    for (const auto& [id, relazione] : esito.relazioni) {
        if (!esito.parti.contains("word/" + relazione.destinazione)) {
            throw std::runtime_error("la relazione " + id.toStdString() + " punta a " +
                                     relazione.destinazione.toStdString() + ", che manca");
        }
    }
    return esito;
}

std::vector<Elemento> leggi(const QByteArray& pacchetto) {
    return apri(pacchetto).corpo;
}

std::vector<Tabella> tabelle(const std::vector<Elemento>& corpo) {
    return elementiDi<Tabella>(corpo);
}

std::vector<Testo> paragrafi(const std::vector<Elemento>& corpo) {
    return elementiDi<Testo>(corpo);
}

} // namespace docx
