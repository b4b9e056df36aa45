#pragma once

#include <cstddef>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// A JSON document (RFC 8259) read strictly, keeping the text of every value
// as it stands, so that what the program does not use can be written back
// byte for byte. The values point into the document's text, which must
// outlive them.
namespace json {

// A document that is not JSON: where (a byte of the text) and why, in
// Italian.
class ErroreSintassi : public std::runtime_error {
  public:
    ErroreSintassi(std::size_t posizione, const std::string& motivo)
        : std::runtime_error(motivo), posizione_(posizione) {}
    std::size_t posizione() const { return posizione_; }

  private:
    std::size_t posizione_;
};

// An object with a key written twice: one of the two values would be lost
// unseen. The key is named by its place in the document
// ("tratti[2].portata"); the position is the second one's.
class ChiaveRipetuta : public ErroreSintassi {
  public:
    ChiaveRipetuta(std::size_t posizione, std::string chiave)
        : ErroreSintassi(posizione, "una voce è scritta due volte nello stesso oggetto"),
          chiave_(std::move(chiave)) {}
    const std::string& chiave() const { return chiave_; }

  private:
    std::string chiave_;
};

enum class Tipo { Nullo, Booleano, Numero, Testo, Elenco, Oggetto };

// A text decoded from its escapes; none where it holds half of a UTF-16
// surrogate pair, which is no character and cannot be written in UTF-8.
using Testo = std::optional<std::string>;

struct Membro;

struct Valore {
    Tipo tipo = Tipo::Nullo;
    std::string_view grezzo; // the value as written
    bool booleano = false;
    double numero = 0;
    Testo testo;
    std::vector<Membro> membri; // an object's, in the document's order
    std::vector<Valore> elementi;

    // The value of the member with that key; none when absent.
    const Valore* membro(std::string_view chiave) const;
};

struct Membro {
    std::string_view chiaveGrezza; // the key as written, quotes included
    Testo chiave;
    Valore valore;
};

// Raises ErroreSintassi. A number too large or too small for a double, an
// invalid escape, a NUL character in a text and a key written twice in one
// object (ChiaveRipetuta) are faults too.
Valore leggi(std::string_view documento);

// A text as a JSON string, quotes included: quote, backslash and control
// characters escaped, the rest as it is (UTF-8).
std::string stringa(std::string_view testo);

} // namespace json
