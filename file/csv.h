#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

// CSV files (RFC 4180) as spreadsheets save them: a field in quotes may hold
// the separator, a line break and doubled quotes; lines end in CRLF or LF.
// A header with ";" makes an Italian file, whose numbers have a decimal
// comma. The text is UTF-8, or Windows-1252 as an Italian Excel saves it.
namespace csv {

// A file that cannot be read: the line (from 1, the header's included), the
// column by its header name (empty when the fault is the whole line's) and
// the reason, in Italian. The message escapes what it quotes of the file.
class Errore : public std::runtime_error {
  public:
    Errore(std::size_t riga, std::string colonna, const std::string& motivo);

    std::size_t riga() const { return riga_; }
    const std::string& colonna() const { return colonna_; }
    // The reason alone, without the line and the column.
    const std::string& motivo() const { return motivo_; }

  private:
    std::size_t riga_;
    std::string colonna_;
    std::string motivo_;
};

// The most characters a field may hold.
inline constexpr std::size_t campoMassimo = 1000;
// The most fields a record may hold: far more than any table of the program
// has columns, few enough that a line of separators costs little to refuse.
inline constexpr std::size_t campiMassimi = 1000;

struct Record {
    std::size_t riga = 0; // the file's line where it starts
    std::vector<std::string> campi;

    // Whether every field holds blanks at most.
    bool vuoto() const;
};

// A file's text made ready for reading: a UTF-8 byte-order mark skipped, a
// text that is not UTF-8 converted from Windows-1252, the separator told by
// the first line. A UTF-16 file is refused by name. The text is the file's
// own, which must outlive it, or the converted copy it holds.
struct Testo {
    std::string_view testo;
    bool italiano = false; // ";" between fields and a decimal comma
    std::unique_ptr<const std::string> convertito;
};
Testo preparato(std::string_view file);

// The records of a prepared text, one at a time; a malformed one raises
// Errore with its line.
class Lettore {
  public:
    explicit Lettore(const Testo& testo);
    std::optional<Record> prossimo();

  private:
    bool fineRiga();
    bool fineCampo() const;
    std::string campoSemplice(const Record& record);
    std::string campoTraVirgolette(const Record& record);
    void conta(const Record& record, char byte, std::size_t& caratteri) const;

    std::string_view testo_;
    char separatore_;
    std::size_t posizione_ = 0;
    std::size_t riga_ = 1;
};

// The text with the blanks and tabs around it removed.
std::string_view senzaSpazi(std::string_view testo);

} // namespace csv
