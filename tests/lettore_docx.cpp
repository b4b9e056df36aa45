#include "lettore_docx.h"

#include <QBuffer>
#include <QXmlStreamReader>
#include <quazip.h>
#include <quazipfile.h>

#include <stdexcept>

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

QString val(const QXmlStreamReader& xml, const char* attributo) {
    return xml.attributes().value(QString("w:") + attributo).toString();
}

// Reads one <w:p>, the reader on its start.
Testo paragrafo(QXmlStreamReader& xml) {
    Testo p;
    bool inRun = false;
    QString carattereRun, carattereMarca;
    double puntiRun = 0, puntiMarca = 0;
    while (!(xml.isEndElement() && xml.name() == u"p") && !xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement() && !xml.isEndElement()) {
            continue;
        }
        const auto nome = xml.name();
        if (xml.isEndElement()) {
            inRun = inRun && nome != u"r";
            continue;
        }
        if (nome == u"r") {
            inRun = true;
        } else if (nome == u"jc") {
            p.allineamento = val(xml, "val");
        } else if (nome == u"rFonts") {
            (inRun ? carattereRun : carattereMarca) = val(xml, "ascii");
        } else if (nome == u"sz") {
            (inRun ? puntiRun : puntiMarca) = val(xml, "val").toDouble() / 2;
        } else if (nome == u"t") {
            p.testo += xml.readElementText();
        }
    }
    p.carattere = carattereRun.isEmpty() ? carattereMarca : carattereRun;
    p.punti = carattereRun.isEmpty() ? puntiMarca : puntiRun;
    return p;
}

Tabella tabella(QXmlStreamReader& xml) {
    Tabella t;
    for (xml.readNext(); !(xml.isEndElement() && xml.name() == u"tbl") && !xml.atEnd();
         xml.readNext()) {
        if (!xml.isStartElement()) {
            continue;
        }
        const auto nome = xml.name();
        if (nome == u"tbl") {
            tabella(xml);
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
            t.righe.back().celle.emplace_back();
        } else if (nome == u"p") {
            Testo& cella = t.righe.back().celle.back();
            const Testo p = paragrafo(xml);
            if (cella.carattere.isEmpty()) {
                cella = p;
            } else {
                cella.testo += "\n" + p.testo;
            }
        }
    }
    return t;
}

} // namespace

std::vector<Elemento> leggi(const QByteArray& pacchetto) {
    QByteArray copia = pacchetto;
    QBuffer contenitore(&copia);
    QuaZip zip(&contenitore);
    if (!zip.open(QuaZip::mdUnzip)) {
        throw std::runtime_error("non è un archivio zip");
    }
    for (const char* necessaria : {"[Content_Types].xml", "_rels/.rels", "word/styles.xml",
                                   "word/_rels/document.xml.rels"}) {
        QXmlStreamReader verifica(parte(zip, necessaria));
        while (!verifica.atEnd()) {
            verifica.readNext();
        }
        if (verifica.hasError()) {
            throw std::runtime_error(std::string("XML non valido in ") + necessaria);
        }
    }
    QXmlStreamReader xml(parte(zip, "word/document.xml"));
    std::vector<Elemento> corpo;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() && xml.name() == u"p") {
            corpo.emplace_back(paragrafo(xml));
        } else if (xml.isStartElement() && xml.name() == u"tbl") {
            corpo.emplace_back(tabella(xml));
        }
    }
    if (xml.hasError()) {
        throw std::runtime_error("XML non valido in word/document.xml");
    }
    return corpo;
}

std::vector<Tabella> tabelle(const std::vector<Elemento>& corpo) {
    std::vector<Tabella> esito;
    for (const Elemento& e : corpo) {
        if (const auto* t = std::get_if<Tabella>(&e)) {
            esito.push_back(*t);
        }
    }
    return esito;
}

std::vector<Testo> paragrafi(const std::vector<Elemento>& corpo) {
    std::vector<Testo> esito;
    for (const Elemento& e : corpo) {
        if (const auto* p = std::get_if<Testo>(&e)) {
            esito.push_back(*p);
        }
    }
    return esito;
}

} // namespace docx
