#include "file/csv.h"

#include "file/testo_visibile.h"
#include "file/utf8.h"

#include <algorithm>

namespace csv {

namespace {

// A file saved as "Unicode text" holds every other byte NUL: read as
// bytes, it would be refused for its first control character.
bool utf16(std::string_view testo) {
    if (testo.starts_with("\xFF\xFE") || testo.starts_with("\xFE\xFF")) {
        return true;
    }
    return testo.size() >= 4 && ((testo[0] != '\0' && testo[1] == '\0' && testo[3] == '\0') ||
                                 (testo[0] == '\0' && testo[2] == '\0' && testo[1] != '\0'));
}

} // namespace

// The column's name and the reason may quote what the file holds: a NUL
// byte would cut the message short, a control character drive the terminal.
Errore::Errore(std::size_t riga, std::string colonna, const std::string& motivo)
    : std::runtime_error(testoVisibile("riga " + std::to_string(riga) +
                                       (colonna.empty() ? "" : ", colonna «" + colonna + "»") +
                                       ": " + motivo)),
      riga_(riga), colonna_(std::move(colonna)), motivo_(motivo) {}

std::string_view senzaSpazi(std::string_view testo) {
    const std::size_t inizio = testo.find_first_not_of(" \t");
    if (inizio == std::string_view::npos) {
        return {};
    }
    return testo.substr(inizio, testo.find_last_not_of(" \t") - inizio + 1);
}

bool Record::vuoto() const {
    return std::all_of(campi.begin(), campi.end(),
                       [](const std::string& c) { return senzaSpazi(c).empty(); });
}

Testo preparato(std::string_view file) {
    if (utf16(file)) {
        throw Errore(1, "", "il file è in UTF-16 («testo Unicode»): va salvato come CSV in UTF-8");
    }
    constexpr std::string_view bom = "\xEF\xBB\xBF";
    if (file.substr(0, bom.size()) == bom) {
        file.remove_prefix(bom.size());
    }
    Testo esito;
    esito.testo = file;
    // Not UTF-8: as an Italian Excel saves a CSV.
    if (primoNonUtf8(file)) {
        esito.convertito = std::make_unique<const std::string>(daWindows1252(file));
        esito.testo = *esito.convertito;
    }
    esito.italiano =
        esito.testo.substr(0, esito.testo.find('\n')).find(';') != std::string_view::npos;
    return esito;
}

Lettore::Lettore(const Testo& testo)
    : testo_(testo.testo), separatore_(testo.italiano ? ';' : ',') {}

std::optional<Record> Lettore::prossimo() {
    if (posizione_ >= testo_.size()) {
        return std::nullopt;
    }
    Record record{riga_, {}};
    for (;;) {
        if (record.campi.size() == campiMassimi) {
            throw Errore(record.riga, "",
                         "la riga ha più di " + std::to_string(campiMassimi) + " campi");
        }
        const bool traVirgolette = posizione_ < testo_.size() && testo_[posizione_] == '"';
        record.campi.push_back(traVirgolette ? campoTraVirgolette(record) : campoSemplice(record));
        if (posizione_ >= testo_.size()) {
            return record;
        }
        const char c = testo_[posizione_++];
        if (c == '\n' || (c == '\r' && fineRiga())) {
            ++riga_;
            return record;
        }
    }
}

// The CR of a CRLF, consumed with its LF.
bool Lettore::fineRiga() {
    if (posizione_ < testo_.size() && testo_[posizione_] == '\n') {
        ++posizione_;
        return true;
    }
    return false;
}

bool Lettore::fineCampo() const {
    if (posizione_ >= testo_.size()) {
        return true;
    }
    const char c = testo_[posizione_];
    return c == separatore_ || c == '\n' ||
           (c == '\r' && posizione_ + 1 < testo_.size() && testo_[posizione_ + 1] == '\n');
}

// A quote inside a field that does not begin with one is a field quoted by
// mistake, or a quote a spreadsheet would have doubled.
std::string Lettore::campoSemplice(const Record& record) {
    const std::size_t inizio = posizione_;
    std::size_t caratteri = 0;
    while (!fineCampo()) {
        if (testo_[posizione_] == '"') {
            throw Errore(riga_, "",
                         "virgolette dentro il campo " + std::to_string(record.campi.size() + 1) +
                             ", che non inizia con le virgolette");
        }
        conta(record, testo_[posizione_++], caratteri);
    }
    return std::string(testo_.substr(inizio, posizione_ - inizio));
}

// Counted as the field grows, so that a file of one endless field is refused
// before it is copied; a character is a UTF-8 sequence.
void Lettore::conta(const Record& record, char byte, std::size_t& caratteri) const {
    if ((static_cast<unsigned char>(byte) & 0xC0) != 0x80 && ++caratteri > campoMassimo) {
        throw Errore(record.riga, "",
                     "il campo " + std::to_string(record.campi.size() + 1) + " supera " +
                         std::to_string(campoMassimo) + " caratteri");
    }
}

std::string Lettore::campoTraVirgolette(const Record& record) {
    std::string campo;
    std::size_t caratteri = 0;
    for (++posizione_;; ++posizione_) {
        if (posizione_ >= testo_.size()) {
            throw Errore(record.riga, "", "virgolette aperte e mai chiuse");
        }
        const char c = testo_[posizione_];
        if (c == '"') {
            if (posizione_ + 1 < testo_.size() && testo_[posizione_ + 1] == '"') {
                ++posizione_;
            } else {
                break;
            }
        } else if (c == '\n') {
            ++riga_;
        }
        campo += c;
        conta(record, c, caratteri);
    }
    ++posizione_;
    if (!fineCampo()) {
        throw Errore(riga_, "", "testo dopo le virgolette che chiudono un campo");
    }
    return campo;
}

} // namespace csv
