#pragma once

#include "progetto/json.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// What the page sends and gets back: one JSON text each way.
namespace web {

// A JSON object written member by member.
class Oggetto {
  public:
    Oggetto& testo(std::string_view chiave, std::string_view valore);
    // null when there is none.
    Oggetto& testoOpzionale(std::string_view chiave, const std::optional<std::string>& valore);
    Oggetto& numero(std::string_view chiave, double valore);
    Oggetto& vero(std::string_view chiave, bool valore);
    // A value already written as JSON.
    Oggetto& grezzo(std::string_view chiave, std::string_view json);
    std::string chiudi() const { return testo_ + '}'; }

  private:
    Oggetto& chiave(std::string_view chiave);
    std::string testo_ = "{";
};

std::string elenco(const std::vector<std::string>& jsonDegliElementi);
std::string elencoDiTesti(const std::vector<std::string>& testi);
std::string numeroJson(double valore);

// The members the page sends: absent or not a text reads as empty.
std::string testoDi(const json::Valore& oggetto, std::string_view chiave);
const json::Valore& membroDi(const json::Valore& oggetto, std::string_view chiave);

} // namespace web
