#include "documenti/informazioni_pdf.h"

#include "file/errore_file.h"

#include <QByteArrayList>
#include <QByteArrayView>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <map>

namespace {

[[noreturn]] void illeggibile() {
    throw ErroreFile("impossibile leggere la tabella degli oggetti del documento .pdf");
}

bool spazio(char c) {
    return c == ' ' || c == '\n' || c == '\r' || c == '\t' || c == '\f' || c == '\0';
}

bool delimitatore(char c) {
    return std::strchr("()<>[]{}/%", c) != nullptr;
}

// Enough of a reader of PDF objects to take a dictionary apart: each object
// is kept as its bytes, a reference ("12 0 R") as one object.
class Lettore {
  public:
    Lettore(const QByteArray& dati, qsizetype da) : dati_(dati), pos_(da) {}

    void saltaSpazi() {
        while (pos_ < dati_.size() && spazio(dati_[pos_])) {
            ++pos_;
        }
    }

    bool segue(QByteArrayView testo) {
        saltaSpazi();
        return QByteArrayView(dati_).sliced(pos_).startsWith(testo);
    }

    void atteso(QByteArrayView testo) {
        if (!segue(testo)) {
            illeggibile();
        }
        pos_ += testo.size();
    }

    // A number or a keyword.
    QByteArray parola() {
        saltaSpazi();
        const qsizetype inizio = pos_;
        while (pos_ < dati_.size() && !spazio(dati_[pos_]) && !delimitatore(dati_[pos_])) {
            ++pos_;
        }
        if (pos_ == inizio) {
            illeggibile();
        }
        return dati_.mid(inizio, pos_ - inizio);
    }

    long long numero() {
        bool ok = false;
        const long long valore = parola().toLongLong(&ok);
        if (!ok || valore < 0) {
            illeggibile();
        }
        return valore;
    }

    QByteArray oggetto() {
        saltaSpazi();
        const qsizetype inizio = pos_;
        if (segue("<<")) {
            dizionario();
        } else if (segue("<")) {
            finoA('>');
        } else if (segue("[")) {
            ++pos_;
            while (!segue("]")) {
                oggetto();
            }
            ++pos_;
        } else if (segue("(")) {
            stringa();
        } else if (segue("/")) {
            ++pos_;
            while (pos_ < dati_.size() && !spazio(dati_[pos_]) && !delimitatore(dati_[pos_])) {
                ++pos_;
            }
        } else {
            parola();
            riferimento();
        }
        return dati_.mid(inizio, pos_ - inizio);
    }

    // The entries of the dictionary that starts here, by name.
    std::vector<std::pair<QByteArray, QByteArray>> dizionario() {
        std::vector<std::pair<QByteArray, QByteArray>> voci;
        atteso("<<");
        while (!segue(">>")) {
            const QByteArray nome = oggetto();
            if (!nome.startsWith('/')) {
                illeggibile();
            }
            voci.emplace_back(nome.mid(1), oggetto());
        }
        pos_ += 2;
        return voci;
    }

  private:
    char carattere() {
        if (pos_ >= dati_.size()) {
            illeggibile();
        }
        return dati_[pos_++];
    }

    void finoA(char fine) {
        while (carattere() != fine) {
        }
    }

    // Balanced parentheses, a backslash escaping the next byte.
    void stringa() {
        ++pos_;
        for (int livello = 1; livello > 0;) {
            const char c = carattere();
            if (c == '\\') {
                carattere();
            } else if (c == '(') {
                ++livello;
            } else if (c == ')') {
                --livello;
            }
        }
    }

    // After a number: "G R" makes it a reference.
    void riferimento() {
        const qsizetype dopo = pos_;
        const auto intero = [this] {
            saltaSpazi();
            const qsizetype inizio = pos_;
            while (pos_ < dati_.size() && std::isdigit(static_cast<unsigned char>(dati_[pos_]))) {
                ++pos_;
            }
            return pos_ > inizio;
        };
        if (!(intero() && segue("R"))) {
            pos_ = dopo;
            return;
        }
        ++pos_;
    }

    const QByteArray& dati_;
    qsizetype pos_;
};

// A text string as PDF keeps Unicode: UTF-16BE after a byte order mark.
QByteArray testoPdf(const QString& testo) {
    QByteArray utf16("\xFE\xFF");
    for (const QChar c : testo) {
        utf16 += static_cast<char>(c.unicode() >> 8);
        utf16 += static_cast<char>(c.unicode() & 0xFF);
    }
    return "<" + utf16.toHex().toUpper() + ">";
}

QByteArray scriviDizionario(const std::vector<std::pair<QByteArray, QByteArray>>& voci) {
    QByteArray esito = "<<\n";
    for (const auto& [nome, valore] : voci) {
        esito += "/" + nome + " " + valore + "\n";
    }
    return esito + ">>";
}

} // namespace

QByteArray conInformazioni(const QByteArray& pdf,
                           const std::vector<std::pair<QByteArray, QString>>& voci) {
    const qsizetype inizioXref = pdf.lastIndexOf("startxref");
    if (inizioXref < 0) {
        illeggibile();
    }
    Lettore fine(pdf, inizioXref + 9);
    const long long xref = fine.numero();
    if (xref >= pdf.size()) {
        illeggibile();
    }

    // The table: subsections of "first count", then an entry per object.
    Lettore tabella(pdf, xref);
    tabella.atteso("xref");
    std::map<long long, long long> posizioni; // of the objects in use
    while (!tabella.segue("trailer")) {
        const long long primo = tabella.numero();
        const long long quanti = tabella.numero();
        for (long long n = primo; n < primo + quanti; ++n) {
            const long long posizione = tabella.numero();
            tabella.numero();
            if (tabella.parola() == "n") {
                posizioni[n] = posizione;
            }
        }
    }
    tabella.atteso("trailer");
    std::vector<std::pair<QByteArray, QByteArray>> trailer = tabella.dizionario();
    const auto voce = [&](const char* nome) {
        return std::find_if(trailer.begin(), trailer.end(),
                            [&](const auto& v) { return v.first == nome; });
    };

    std::vector<std::pair<QByteArray, QByteArray>> informazioni;
    if (const auto info = voce("Info"); info != trailer.end()) {
        const auto posizione = posizioni.find(info->second.split(' ').front().toLongLong());
        if (posizione == posizioni.end() || posizione->second >= pdf.size()) {
            illeggibile();
        }
        Lettore oggetto(pdf, posizione->second);
        oggetto.numero();
        oggetto.numero();
        oggetto.atteso("obj");
        informazioni = oggetto.dizionario();
    }
    for (const auto& [nome, valore] : voci) {
        if (valore.isEmpty()) {
            continue;
        }
        std::erase_if(informazioni, [&](const auto& v) { return v.first == nome; });
        informazioni.emplace_back(nome, testoPdf(valore));
    }

    const auto dimensione = voce("Size");
    if (dimensione == trailer.end()) {
        illeggibile();
    }
    const long long numero = dimensione->second.toLongLong();
    std::erase_if(trailer, [](const auto& v) {
        return v.first == "Size" || v.first == "Info" || v.first == "Prev";
    });
    trailer.insert(trailer.begin(), {{"Size", QByteArray::number(numero + 1)},
                                     {"Info", QByteArray::number(numero) + " 0 R"},
                                     {"Prev", QByteArray::number(xref)}});

    QByteArray esito = pdf;
    if (!esito.endsWith('\n')) {
        esito += '\n';
    }
    const qsizetype posizioneInfo = esito.size();
    esito +=
        QByteArray::number(numero) + " 0 obj\n" + scriviDizionario(informazioni) + "\nendobj\n";
    const qsizetype posizioneXref = esito.size();
    // Each entry 20 bytes: the offset in ten digits, the generation in five.
    esito += "xref\n" + QByteArray::number(numero) + " 1\n" +
             QByteArray::number(posizioneInfo).rightJustified(10, '0') + " 00000 n \n";
    esito += "trailer\n" + scriviDizionario(trailer) + "\nstartxref\n" +
             QByteArray::number(posizioneXref) + "\n%%EOF\n";
    return esito;
}
