#include "progetto/json.h"

#include "numeri/caratteri_reali.h"

#include <charconv>
#include <string>
#include <system_error>
#include <tuple>
#include <unordered_set>

namespace json {

namespace {

constexpr int profonditaMassima = 512;

// Where a container begins, for the message of a text that ends inside it.
enum class Contenitore { Nessuno, Oggetto, Elenco };

class Lettore {
  public:
    explicit Lettore(std::string_view testo) : t_(testo) {}

    Valore documento() {
        spazi();
        Valore v = valore(Contenitore::Nessuno);
        spazi();
        if (p_ < t_.size()) {
            throw ErroreSintassi(p_, "c'è altro testo dopo la fine del progetto");
        }
        return v;
    }

  private:
    bool fine() const { return p_ >= t_.size(); }
    char c() const { return t_[p_]; }

    void spazi() {
        while (!fine() && (c() == ' ' || c() == '\t' || c() == '\n' || c() == '\r')) {
            ++p_;
        }
    }

    [[noreturn]] void finito(Contenitore dentro) const {
        switch (dentro) {
        case Contenitore::Oggetto:
            throw ErroreSintassi(p_, "un oggetto non è chiuso da una graffa");
        case Contenitore::Elenco:
            throw ErroreSintassi(p_, "un elenco non è chiuso da una parentesi quadra");
        case Contenitore::Nessuno:
            break;
        }
        throw ErroreSintassi(p_, "il testo finisce dove serve un valore");
    }

    Valore valore(Contenitore dentro) {
        if (fine()) {
            finito(dentro);
        }
        const std::size_t inizio = p_;
        Valore v;
        switch (c()) {
        case '{':
            oggetto(v);
            break;
        case '[':
            elenco(v);
            break;
        case '"':
            v.tipo = Tipo::Testo;
            v.testo = stringa();
            break;
        case 't':
        case 'f':
        case 'n':
            parola(v);
            break;
        default:
            if (c() == '-' || (c() >= '0' && c() <= '9')) {
                v.tipo = Tipo::Numero;
                v.numero = numero();
            } else {
                throw ErroreSintassi(p_, "c'è un valore non ammesso");
            }
        }
        v.grezzo = t_.substr(inizio, p_ - inizio);
        return v;
    }

    void parola(Valore& v) {
        for (const auto& [testo, tipo, booleano] :
             {std::tuple{std::string_view("true"), Tipo::Booleano, true},
              std::tuple{std::string_view("false"), Tipo::Booleano, false},
              std::tuple{std::string_view("null"), Tipo::Nullo, false}}) {
            if (t_.substr(p_, testo.size()) == testo) {
                p_ += testo.size();
                v.tipo = tipo;
                v.booleano = booleano;
                return;
            }
        }
        throw ErroreSintassi(p_, "c'è un valore non ammesso");
    }

    // Where a key stands, for the message of one written twice: the keys
    // and places that lead to it, as "tratti[2].portata". Made only then:
    // a copy at every step would cost a long key's length at each element.
    std::string luogo(const std::string& chiave) const {
        std::string esito;
        const auto aggiungi = [&esito](const std::string& nome) {
            if (!esito.empty()) {
                esito += '.';
            }
            esito += nome;
        };
        for (const Luogo& l : luoghi_) {
            if (l.chiave != nullptr) {
                aggiungi(*l.chiave);
            } else {
                esito += '[';
                esito += std::to_string(l.indice);
                esito += ']';
            }
        }
        aggiungi(chiave);
        return esito;
    }

    void entra() {
        if (++profondita_ > profonditaMassima) {
            throw ErroreSintassi(p_, "gli oggetti sono annidati troppo a fondo");
        }
    }

    void oggetto(Valore& v) {
        v.tipo = Tipo::Oggetto;
        entra();
        ++p_;
        spazi();
        if (!fine() && c() == '}') {
            ++p_;
            --profondita_;
            return;
        }
        std::unordered_set<std::string> chiavi;
        for (;;) {
            if (fine()) {
                finito(Contenitore::Oggetto);
            }
            if (c() != '"') {
                throw ErroreSintassi(p_, "manca il nome tra virgolette di una voce");
            }
            const std::size_t inizio = p_;
            Membro m;
            m.chiave = stringa();
            m.chiaveGrezza = t_.substr(inizio, p_ - inizio);
            // Half a surrogate pair has no text: such a key is its spelling.
            const std::string chiave = m.chiave.value_or(std::string(m.chiaveGrezza));
            if (!chiavi.insert(chiave).second) {
                throw ChiaveRipetuta(inizio, luogo(chiave));
            }
            spazi();
            if (fine()) {
                finito(Contenitore::Oggetto);
            }
            if (c() != ':') {
                throw ErroreSintassi(p_, "manca «:» dopo un nome");
            }
            ++p_;
            spazi();
            luoghi_.push_back({&chiave, 0});
            m.valore = valore(Contenitore::Oggetto);
            luoghi_.pop_back();
            v.membri.push_back(std::move(m));
            if (chiuso(Contenitore::Oggetto, '}')) {
                return;
            }
        }
    }

    void elenco(Valore& v) {
        v.tipo = Tipo::Elenco;
        entra();
        ++p_;
        spazi();
        if (!fine() && c() == ']') {
            ++p_;
            --profondita_;
            return;
        }
        for (;;) {
            luoghi_.push_back({nullptr, v.elementi.size()});
            v.elementi.push_back(valore(Contenitore::Elenco));
            luoghi_.pop_back();
            if (chiuso(Contenitore::Elenco, ']')) {
                return;
            }
        }
    }

    // After a value: the container's end (true), or a comma and the next.
    bool chiuso(Contenitore dentro, char fineContenitore) {
        spazi();
        if (fine()) {
            finito(dentro);
        }
        if (c() == fineContenitore) {
            ++p_;
            --profondita_;
            return true;
        }
        if (c() != ',') {
            throw ErroreSintassi(p_, "manca una virgola tra due valori");
        }
        ++p_;
        spazi();
        return false;
    }

    unsigned cifreEsadecimali() {
        if (p_ + 4 > t_.size()) {
            throw ErroreSintassi(p_, "c'è una sequenza di escape non valida");
        }
        unsigned codice = 0;
        const auto [fine, errore] = std::from_chars(t_.data() + p_, t_.data() + p_ + 4, codice, 16);
        if (errore != std::errc() || fine != t_.data() + p_ + 4) {
            throw ErroreSintassi(p_, "c'è una sequenza di escape non valida");
        }
        p_ += 4;
        return codice;
    }

    static void aggiungiUtf8(std::string& testo, char32_t punto) {
        if (punto < 0x80) {
            testo += static_cast<char>(punto);
        } else if (punto < 0x800) {
            testo += static_cast<char>(0xC0 | (punto >> 6));
            testo += static_cast<char>(0x80 | (punto & 0x3F));
        } else if (punto < 0x10000) {
            testo += static_cast<char>(0xE0 | (punto >> 12));
            testo += static_cast<char>(0x80 | ((punto >> 6) & 0x3F));
            testo += static_cast<char>(0x80 | (punto & 0x3F));
        } else {
            testo += static_cast<char>(0xF0 | (punto >> 18));
            testo += static_cast<char>(0x80 | ((punto >> 12) & 0x3F));
            testo += static_cast<char>(0x80 | ((punto >> 6) & 0x3F));
            testo += static_cast<char>(0x80 | (punto & 0x3F));
        }
    }

    // The escape after a backslash; false for half a surrogate pair.
    bool escape(std::string& testo) {
        if (fine()) {
            throw ErroreSintassi(p_, "un testo non è chiuso dalle virgolette");
        }
        const char e = t_[p_++];
        switch (e) {
        case '"':
        case '\\':
        case '/':
            testo += e;
            return true;
        case 'b':
            testo += '\b';
            return true;
        case 'f':
            testo += '\f';
            return true;
        case 'n':
            testo += '\n';
            return true;
        case 'r':
            testo += '\r';
            return true;
        case 't':
            testo += '\t';
            return true;
        case 'u':
            break;
        default:
            throw ErroreSintassi(p_ - 2, "c'è una sequenza di escape non valida");
        }
        const std::size_t inizio = p_ - 2;
        char32_t punto = cifreEsadecimali();
        if (punto == 0) {
            throw ErroreSintassi(inizio, "c'è un carattere nullo (\\u0000) in un testo");
        }
        if (punto >= 0xDC00 && punto <= 0xDFFF) {
            return false;
        }
        if (punto >= 0xD800 && punto <= 0xDBFF) {
            if (t_.substr(p_, 2) != "\\u") {
                return false;
            }
            const std::size_t seconda = p_;
            p_ += 2;
            const char32_t basso = cifreEsadecimali();
            if (basso < 0xDC00 || basso > 0xDFFF) {
                p_ = seconda; // read again on its own
                return false;
            }
            punto = 0x10000 + ((punto - 0xD800) << 10) + (basso - 0xDC00);
        }
        aggiungiUtf8(testo, punto);
        return true;
    }

    Testo stringa() {
        const std::size_t inizio = p_;
        ++p_;
        std::string testo;
        bool intero = true;
        for (;;) {
            if (fine()) {
                throw ErroreSintassi(inizio, "un testo non è chiuso dalle virgolette");
            }
            const char x = t_[p_];
            if (x == '"') {
                ++p_;
                break;
            }
            if (static_cast<unsigned char>(x) < 0x20) {
                throw ErroreSintassi(p_, x == '\n' ? "un testo non è chiuso dalle virgolette"
                                                   : "c'è un carattere di controllo in un "
                                                     "testo: va scritto con una sequenza di "
                                                     "escape");
            }
            ++p_;
            if (x == '\\') {
                intero = escape(testo) && intero;
            } else {
                testo += x;
            }
        }
        return intero ? Testo(std::move(testo)) : std::nullopt;
    }

    std::size_t cifre() {
        const std::size_t inizio = p_;
        while (!fine() && c() >= '0' && c() <= '9') {
            ++p_;
        }
        return p_ - inizio;
    }

    // -?(0|[1-9][0-9]*)(.[0-9]+)?([eE][+-]?[0-9]+)?, within the doubles.
    double numero() {
        const std::size_t inizio = p_;
        const auto nonValido = [&] {
            if (fine()) {
                throw ErroreSintassi(p_, "il testo finisce dentro un numero");
            }
            throw ErroreSintassi(inizio, "c'è un numero non valido");
        };
        if (c() == '-') {
            ++p_;
        }
        const std::size_t intera = p_;
        const std::size_t cifreIntere = cifre();
        if (cifreIntere == 0 || (cifreIntere > 1 && t_[intera] == '0')) {
            nonValido();
        }
        if (!fine() && c() == '.') {
            ++p_;
            if (cifre() == 0) {
                nonValido();
            }
        }
        if (!fine() && (c() == 'e' || c() == 'E')) {
            ++p_;
            if (!fine() && (c() == '+' || c() == '-')) {
                ++p_;
            }
            if (cifre() == 0) {
                nonValido();
            }
        }
        double valore = 0;
        const auto [fine, errore] = caratteri::leggi(t_.data() + inizio, t_.data() + p_, valore);
        if (errore == std::errc::result_out_of_range) {
            throw ErroreSintassi(inizio, grande(t_.substr(inizio, p_ - inizio))
                                             ? "c'è un numero troppo grande"
                                             : "c'è un numero troppo piccolo");
        }
        if (errore != std::errc() || fine != t_.data() + p_) {
            nonValido();
        }
        return valore;
    }

    // Whether a number beyond the doubles is so by its size rather than by
    // its smallness: its power of ten, from its digits and its exponent.
    static bool grande(std::string_view numero) {
        const std::size_t e = numero.find_first_of("eE");
        long esponente = 0;
        if (e != std::string_view::npos) {
            std::string_view scritto = numero.substr(e + 1);
            if (!scritto.empty() && scritto.front() == '+') {
                scritto.remove_prefix(1);
            }
            const auto [fine, errore] =
                std::from_chars(scritto.data(), scritto.data() + scritto.size(), esponente);
            if (errore == std::errc::result_out_of_range) {
                return scritto.front() != '-';
            }
        }
        const std::string_view mantissa = numero.substr(0, e);
        const std::size_t punto = mantissa.find('.');
        const std::size_t primaCifra = mantissa.find_first_of("123456789");
        const std::size_t finePartiIntera =
            punto == std::string_view::npos ? mantissa.size() : punto;
        const long posizione = static_cast<long>(finePartiIntera) - static_cast<long>(primaCifra);
        return esponente + posizione > 0;
    }

    std::string_view t_;
    std::size_t p_ = 0;
    int profondita_ = 0;
    // The containers the reader is in: a member's key, or an element's place.
    struct Luogo {
        const std::string* chiave;
        std::size_t indice;
    };
    std::vector<Luogo> luoghi_;
};

} // namespace

const Valore* Valore::membro(std::string_view chiave) const {
    const Valore* trovato = nullptr;
    for (const Membro& m : membri) {
        if (m.chiave && *m.chiave == chiave) {
            trovato = &m.valore;
        }
    }
    return trovato;
}

Valore leggi(std::string_view documento) {
    return Lettore(documento).documento();
}

std::string stringa(std::string_view testo) {
    std::string esito = "\"";
    for (const char c : testo) {
        switch (c) {
        case '"':
            esito += "\\\"";
            break;
        case '\\':
            esito += "\\\\";
            break;
        case '\n':
            esito += "\\n";
            break;
        case '\t':
            esito += "\\t";
            break;
        case '\r':
            esito += "\\r";
            break;
        default:
            if (static_cast<unsigned char>(c) < 0x20) {
                static const char cifre[] = "0123456789abcdef";
                esito += "\\u00";
                esito += cifre[(c >> 4) & 0xF];
                esito += cifre[c & 0xF];
            } else {
                esito += c;
            }
        }
    }
    return esito + '"';
}

} // namespace json
