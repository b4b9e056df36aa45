#include "progetto/progetto.h"

#include "analisi/verifiche.h"
#include "calc/errore_runtime.h"
#include "calc/resistenza.h"
#include "file/errore_file.h"
#include "file/lettura_file.h"
#include "file/scrittura_file.h"
#include "file/utf8.h"
#include "numeri/conversioni.h"
#include "progetto/voci_coefficiente.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonParseError>

#include <algorithm>
#include <cmath>
#include <utility>

namespace progetto {

namespace {

// Every key the program knows, where it lives in a Progetto, in the order
// the file is written: one table for reading and writing alike.
struct Campo {
    const char* chiave;
    Casella& (*casella)(Progetto&);   // a box: a number, a text or null
    std::string& (*testo)(Progetto&); // else a text
};
struct Parte {
    const char* nome;
    std::vector<Campo> campi;
};

template <auto Sezione, auto Membro> Casella& casellaDi(Progetto& p) {
    return p.*Sezione.*Membro;
}
template <auto Sezione, auto Membro> std::string& testoDi(Progetto& p) {
    return p.*Sezione.*Membro;
}

// The cells of a reach, under the keys of the reaches' CSV.
struct CampoTratto {
    const char* chiave;
    Casella RigaTratto::*casella;
    std::string RigaTratto::*testo;
};
const std::vector<CampoTratto> campiTratto{
    {"tratto", nullptr, &RigaTratto::tratto},
    {"lunghezza", &RigaTratto::lunghezza, nullptr},
    {"pendenza", &RigaTratto::pendenza, nullptr},
    {"quota_monte", &RigaTratto::quotaMonte, nullptr},
    {"quota_valle", &RigaTratto::quotaValle, nullptr},
    {"raggio", &RigaTratto::raggio, nullptr},
    {"portata", &RigaTratto::portata, nullptr},
    {"portata_minima", &RigaTratto::portataMinima, nullptr},
    {"legge", nullptr, &RigaTratto::legge},
    {"scabrezza", &RigaTratto::scabrezza, nullptr},
};

const std::vector<Parte>& parti() {
    using P = Progetto;
    using I = Ingressi;
    using V = Verifiche;
    using D = Dati;
    static const std::vector<Parte> tutte{
        {"ingressi",
         {{"raggio", casellaDi<&P::ingressi, &I::raggio>, nullptr},
          {"pendenza", casellaDi<&P::ingressi, &I::pendenza>, nullptr},
          {"coefficiente", casellaDi<&P::ingressi, &I::coefficiente>, nullptr},
          {"incremento", casellaDi<&P::ingressi, &I::incremento>, nullptr},
          {"nomeFile", nullptr, testoDi<&P::ingressi, &I::nomeFile>}}},
        {"verifiche",
         {{"geometria", nullptr, testoDi<&P::verifiche, &V::geometria>},
          {"portataProgetto", casellaDi<&P::verifiche, &V::portataProgetto>, nullptr},
          {"portataMinima", casellaDi<&P::verifiche, &V::portataMinima>, nullptr},
          {"velocitaProgetto", casellaDi<&P::verifiche, &V::velocitaProgetto>, nullptr},
          {"velocitaMinima", casellaDi<&P::verifiche, &V::velocitaMinima>, nullptr},
          {"velocitaMassima", casellaDi<&P::verifiche, &V::velocitaMassima>, nullptr},
          {"riempimentoMassimo", casellaDi<&P::verifiche, &V::riempimentoMassimo>, nullptr},
          {"legge", nullptr, testoDi<&P::verifiche, &V::legge>},
          {"scabrezza", casellaDi<&P::verifiche, &V::scabrezza>, nullptr},
          {"temperatura", casellaDi<&P::verifiche, &V::temperatura>, nullptr}}},
        {"progetto",
         {{"opera", nullptr, testoDi<&P::dati, &D::opera>},
          {"tratto", nullptr, testoDi<&P::dati, &D::tratto>},
          {"committente", nullptr, testoDi<&P::dati, &D::committente>},
          {"progettista", nullptr, testoDi<&P::dati, &D::progettista>},
          {"data", nullptr, testoDi<&P::dati, &D::data>},
          {"note", nullptr, testoDi<&P::dati, &D::note>}}},
    };
    return tutte;
}

class Lettore {
  public:
    explicit Lettore(const std::string& nome) : nome_(nome) {}

    [[noreturn]] void fallito(const std::string& motivo) const { aperturaFallita(nome_, motivo); }

    // Line and column (from 1, in characters) of a byte of the text.
    [[noreturn]] void fallitoIn(std::string_view testo, std::size_t posizione,
                                const std::string& motivo) const {
        posizione = std::min(posizione, testo.size());
        int riga = 1;
        int colonna = 1;
        for (std::size_t i = 0; i < posizione; ++i) {
            const auto c = static_cast<unsigned char>(testo[i]);
            if (c == '\n') {
                ++riga;
                colonna = 1;
            } else if ((c & 0xC0) != 0x80) {
                ++colonna;
            }
        }
        fallito(motivo + " (riga " + std::to_string(riga) + ", colonna " + std::to_string(colonna) +
                ")");
    }

    // A part of the file: an object, or absent.
    QJsonObject parte(const QJsonObject& radice, const char* chiave) const {
        const QJsonValue valore = radice.value(QLatin1String(chiave));
        if (valore.isUndefined()) {
            return {};
        }
        if (!valore.isObject()) {
            fallito(std::string("«") + chiave + "» deve essere un oggetto JSON, tra graffe");
        }
        return valore.toObject();
    }

    // A box: a number, a text, or null for an empty box; absent, its
    // default stays.
    void casella(const QJsonObject& parte, const char* sezione, const char* chiave,
                 Casella& destinazione) const {
        const QJsonValue valore = parte.value(QLatin1String(chiave));
        if (valore.isUndefined()) {
            return;
        }
        if (valore.isDouble()) {
            destinazione = {TestoEsatto(valore.toDouble()), valore.toDouble()};
        } else if (valore.isString()) {
            destinazione = {valore.toString().toStdString(), std::nullopt};
        } else if (valore.isNull()) {
            destinazione = {};
        } else {
            fallito(std::string("«") + sezione + "." + chiave +
                    "» deve essere un numero, un testo o null");
        }
    }

    // An array, or absent.
    QJsonArray elenco(const QJsonObject& radice, const char* chiave) const {
        const QJsonValue valore = radice.value(QLatin1String(chiave));
        if (valore.isUndefined() || valore.isNull()) {
            return {};
        }
        if (!valore.isArray()) {
            fallito(std::string("«") + chiave + "» deve essere un elenco JSON, tra quadre");
        }
        return valore.toArray();
    }

    // An array of positive numbers, or absent.
    std::vector<double> numeriPositivi(const QJsonObject& radice, const char* chiave) const {
        std::vector<double> numeri;
        for (const QJsonValue& v : elenco(radice, chiave)) {
            if (!v.isDouble() || !(v.toDouble() > 0)) {
                fallito(std::string("«") + chiave + "» deve essere un elenco di numeri positivi");
            }
            numeri.push_back(v.toDouble());
        }
        return numeri;
    }

    // A text: a string, or null for an empty one.
    void testo(const QJsonObject& parte, const char* sezione, const char* chiave,
               std::string& destinazione) const {
        const QJsonValue valore = parte.value(QLatin1String(chiave));
        if (valore.isUndefined()) {
            return;
        }
        if (valore.isString()) {
            destinazione = valore.toString().toStdString();
        } else if (valore.isNull()) {
            destinazione.clear();
        } else {
            fallito(std::string("«") + sezione + "." + chiave + "» deve essere un testo");
        }
    }

  private:
    std::string nome_;
};

std::string motivoSintassi(QJsonParseError::ParseError errore) {
    switch (errore) {
    case QJsonParseError::UnterminatedObject:
        return "un oggetto non è chiuso da una graffa";
    case QJsonParseError::MissingNameSeparator:
        return "manca «:» dopo un nome";
    case QJsonParseError::UnterminatedArray:
        return "un elenco non è chiuso da una parentesi quadra";
    case QJsonParseError::MissingValueSeparator:
        return "manca una virgola tra due valori";
    case QJsonParseError::IllegalValue:
        return "c'è un valore non ammesso";
    case QJsonParseError::TerminationByNumber:
        return "il testo finisce dentro un numero";
    case QJsonParseError::IllegalNumber:
        return "c'è un numero non valido o troppo grande";
    case QJsonParseError::IllegalEscapeSequence:
        return "c'è una sequenza di escape non valida";
    case QJsonParseError::IllegalUTF8String:
        return "c'è un testo non UTF-8";
    case QJsonParseError::UnterminatedString:
        return "un testo non è chiuso dalle virgolette";
    case QJsonParseError::MissingObject:
        return "manca l'oggetto del progetto";
    case QJsonParseError::DeepNesting:
        return "gli oggetti sono annidati troppo a fondo";
    case QJsonParseError::DocumentTooLarge:
        return "il documento è troppo grande";
    case QJsonParseError::GarbageAtEnd:
        return "c'è altro testo dopo la fine del progetto";
    default:
        return "il testo non è JSON valido";
    }
}

QJsonObject documento(const Lettore& lettore, std::string_view testo) {
    if (testo.substr(0, 3) == "\xEF\xBB\xBF") { // a byte-order mark some editors add
        testo.remove_prefix(3);
    }
    if (testo.find_first_not_of(" \t\r\n") == std::string_view::npos) {
        lettore.fallito("il file è vuoto");
    }
    if (const auto nullo = testo.find('\0'); nullo != std::string_view::npos) {
        lettore.fallitoIn(testo, nullo, "il file contiene un carattere nullo: non è un testo");
    }
    if (const auto errato = primoNonUtf8(testo)) {
        lettore.fallitoIn(testo, *errato, "il testo non è in UTF-8");
    }
    QJsonParseError errore{};
    const QJsonDocument letto = QJsonDocument::fromJson(
        QByteArray::fromRawData(testo.data(), static_cast<qsizetype>(testo.size())), &errore);
    if (errore.error != QJsonParseError::NoError) {
        lettore.fallitoIn(testo, static_cast<std::size_t>(errore.offset),
                          "il testo non è JSON valido: " + motivoSintassi(errore.error));
    }
    if (!letto.isObject()) {
        lettore.fallito("non contiene un progetto ma un elenco JSON");
    }
    return letto.object();
}

void verificaFormato(const Lettore& lettore, const QJsonObject& radice) {
    const QJsonValue formato = radice.value("formato");
    if (formato.toString() != QLatin1String(nomeFormato)) {
        lettore.fallito(formato.isUndefined()
                            ? std::string("non è un progetto di Sezione inglese (manca «formato»)")
                            : std::string("non è un progetto di Sezione inglese («formato» non è "
                                          "«") +
                                  nomeFormato + "»)");
    }
    const QJsonValue versione = radice.value("versione");
    const double numero = versione.toDouble(-1);
    if (!versione.isDouble() || numero < 1 || numero != std::floor(numero)) {
        lettore.fallito("«versione» deve essere un numero intero da 1 in su");
    }
    if (numero > versioneFormato) {
        lettore.fallito("è stato creato da una versione più recente del programma (formato " +
                        CStr(numero) + "; questa versione legge fino al " +
                        std::to_string(versioneFormato) + ")");
    }
}

// The order of the keys of an object, and of the objects inside it.
struct Ordine {
    std::vector<const char*> chiavi;
    std::vector<std::pair<const char*, std::vector<const char*>>> parti;
};

// JSON written by hand, so that the keys keep a readable order: the known
// ones first as listed, the others after them in the order Qt keeps.
class Scrittore {
  public:
    std::string testo;

    void valore(const QJsonValue& v, int rientro, const Ordine& ordine = {}) {
        switch (v.type()) {
        case QJsonValue::Null:
        case QJsonValue::Undefined:
            testo += "null";
            break;
        case QJsonValue::Bool:
            testo += v.toBool() ? "true" : "false";
            break;
        case QJsonValue::Double:
            // A whole number the file wrote as one keeps all its digits.
            testo += v.toVariant().userType() == QMetaType::LongLong ? std::to_string(v.toInteger())
                                                                     : TestoEsatto(v.toDouble());
            break;
        case QJsonValue::String:
            stringa(v.toString().toStdString());
            break;
        case QJsonValue::Array:
            elenco(v.toArray(), rientro, ordine);
            break;
        case QJsonValue::Object:
            oggetto(v.toObject(), ordine, rientro);
            break;
        }
    }

  private:
    void oggetto(const QJsonObject& o, const Ordine& ordine, int rientro) {
        std::vector<QString> chiavi;
        for (const char* chiave : ordine.chiavi) {
            if (o.contains(QLatin1String(chiave))) {
                chiavi.emplace_back(QLatin1String(chiave));
            }
        }
        for (const QString& chiave : o.keys()) {
            if (std::find(chiavi.begin(), chiavi.end(), chiave) == chiavi.end()) {
                chiavi.push_back(chiave);
            }
        }
        aCapo("{", chiavi.empty());
        for (std::size_t i = 0; i < chiavi.size(); ++i) {
            Ordine figlio;
            for (const auto& [nome, chiaviFiglio] : ordine.parti) {
                if (chiavi[i] == QLatin1String(nome)) {
                    figlio.chiavi = chiaviFiglio;
                }
            }
            testo += std::string(static_cast<std::size_t>(rientro) + 2, ' ');
            stringa(chiavi[i].toStdString());
            testo += ": ";
            valore(o.value(chiavi[i]), rientro + 2, figlio);
            testo += i + 1 < chiavi.size() ? ",\n" : "\n";
        }
        chiudi("}", rientro, chiavi.empty());
    }
    // Objects in an array keep the order given for the array.
    void elenco(const QJsonArray& a, int rientro, const Ordine& ordine) {
        aCapo("[", a.isEmpty());
        for (qsizetype i = 0; i < a.size(); ++i) {
            testo += std::string(static_cast<std::size_t>(rientro) + 2, ' ');
            valore(a.at(i), rientro + 2, ordine);
            testo += i + 1 < a.size() ? ",\n" : "\n";
        }
        chiudi("]", rientro, a.isEmpty());
    }
    void aCapo(const char* apertura, bool vuoto) {
        testo += apertura;
        if (!vuoto) {
            testo += '\n';
        }
    }
    void chiudi(const char* chiusura, int rientro, bool vuoto) {
        if (!vuoto) {
            testo += std::string(static_cast<std::size_t>(rientro), ' ');
        }
        testo += chiusura;
    }
    void stringa(const std::string& s) {
        testo += '"';
        for (const char c : s) {
            switch (c) {
            case '"':
                testo += "\\\"";
                break;
            case '\\':
                testo += "\\\\";
                break;
            case '\n':
                testo += "\\n";
                break;
            case '\t':
                testo += "\\t";
                break;
            case '\r':
                testo += "\\r";
                break;
            default:
                if (static_cast<unsigned char>(c) < 0x20) {
                    static const char cifre[] = "0123456789abcdef";
                    testo += "\\u00";
                    testo += cifre[(c >> 4) & 0xF];
                    testo += cifre[c & 0xF];
                } else {
                    testo += c;
                }
            }
        }
        testo += '"';
    }
};

QJsonValue valoreCasella(const Casella& c) {
    if (c.numero) {
        return *c.numero;
    }
    return c.vuota() ? QJsonValue(QJsonValue::Null) : QJsonValue(QString::fromStdString(c.testo));
}

QJsonValue valoreTesto(const std::string& testo) {
    return QString::fromStdString(testo);
}

} // namespace

Casella Casella::daTesto(std::string testo) {
    if (!testo.empty()) {
        try {
            const double numero = Val(testo);
            if (TestoEsatto(numero) == testo) {
                return {std::move(testo), numero};
            }
        } catch (const ErroreRuntime&) {
            // Beyond the doubles: kept as the text typed.
        }
    }
    return {std::move(testo), std::nullopt};
}

double Casella::valore() const {
    return numero ? *numero : Val(testo);
}

Progetto progettoNuovo() {
    Progetto p;
    p.ingressi = {Casella::daTesto("20"), Casella::daTesto("0.01"),
                  Casella::daTesto(vociCoefficiente[0].testo), Casella::daTesto("100"), "INGLESE"};
    // The limits proposed, in the units of the boxes (cm/s and %).
    const analisi::Limiti proposte;
    p.verifiche.velocitaMinima = Casella::daTesto(CStr(proposte.velocitaMinima * 100));
    p.verifiche.velocitaMassima = Casella::daTesto(CStr(proposte.velocitaMassima * 100));
    p.verifiche.riempimentoMassimo = Casella::daTesto(CStr(proposte.riempimentoMassimo * 100));
    p.verifiche.temperatura = Casella::daTesto(CStr(formule::Resistenza{}.temperatura));
    return p;
}

Progetto progettoDaTesto(std::string_view testo, const std::string& nome) {
    const Lettore lettore(nome);
    const QJsonObject radice = documento(lettore, testo);
    verificaFormato(lettore, radice);

    Progetto p = progettoNuovo();
    p.originale = radice;
    for (const Parte& parte : parti()) {
        const QJsonObject oggetto = lettore.parte(radice, parte.nome);
        for (const Campo& campo : parte.campi) {
            if (campo.casella != nullptr) {
                lettore.casella(oggetto, parte.nome, campo.chiave, campo.casella(p));
            } else {
                lettore.testo(oggetto, parte.nome, campo.chiave, campo.testo(p));
            }
        }
    }
    if (p.verifiche.geometria != "tabellare" && p.verifiche.geometria != "esatta") {
        lettore.fallito("«verifiche.geometria» deve essere «tabellare» o «esatta»");
    }
    if (!formule::leggeDaChiave(p.verifiche.legge)) {
        lettore.fallito("«verifiche.legge» deve essere «bazin», «kutter», «strickler», «manning» "
                        "o «colebrook»");
    }
    p.catalogo = lettore.numeriPositivi(radice, "catalogo");
    for (const QJsonValue& elemento : lettore.elenco(radice, "tratti")) {
        const std::string nome = "tratti[" + std::to_string(p.tratti.size()) + "]";
        if (!elemento.isObject()) {
            lettore.fallito("«" + nome + "» deve essere un oggetto JSON, tra graffe");
        }
        RigaTratto riga;
        for (const CampoTratto& campo : campiTratto) {
            if (campo.casella != nullptr) {
                lettore.casella(elemento.toObject(), nome.c_str(), campo.chiave,
                                riga.*campo.casella);
            } else {
                lettore.testo(elemento.toObject(), nome.c_str(), campo.chiave, riga.*campo.testo);
            }
        }
        p.tratti.push_back(std::move(riga));
    }
    return p;
}

Progetto leggiProgetto(const std::string& percorso) {
    return progettoDaTesto(leggiFileIntero(percorso, dimensioneMassima), percorso);
}

std::string testoProgetto(const Progetto& progetto) {
    Progetto p = progetto; // the table reaches the members for writing too
    QJsonObject radice = p.originale;
    radice["formato"] = nomeFormato;
    radice["versione"] = versioneFormato;
    Ordine ordine{{"formato", "versione"}, {}};
    for (const Parte& parte : parti()) {
        QJsonObject oggetto = radice.value(parte.nome).toObject();
        std::vector<const char*> chiavi;
        for (const Campo& campo : parte.campi) {
            oggetto[campo.chiave] = campo.casella != nullptr ? valoreCasella(campo.casella(p))
                                                             : valoreTesto(campo.testo(p));
            chiavi.push_back(campo.chiave);
        }
        radice[parte.nome] = oggetto;
        ordine.chiavi.push_back(parte.nome);
        ordine.parti.emplace_back(parte.nome, std::move(chiavi));
    }
    QJsonArray catalogo;
    for (const double raggio : p.catalogo) {
        catalogo.append(raggio);
    }
    radice["catalogo"] = catalogo;
    QJsonArray tratti;
    std::vector<const char*> chiaviTratto;
    for (const CampoTratto& campo : campiTratto) {
        chiaviTratto.push_back(campo.chiave);
    }
    for (const RigaTratto& riga : p.tratti) {
        QJsonObject oggetto;
        for (const CampoTratto& campo : campiTratto) {
            oggetto[campo.chiave] = campo.casella != nullptr ? valoreCasella(riga.*campo.casella)
                                                             : valoreTesto(riga.*campo.testo);
        }
        tratti.append(oggetto);
    }
    radice["tratti"] = tratti;
    ordine.chiavi.insert(ordine.chiavi.end(), {"catalogo", "tratti"});
    ordine.parti.emplace_back("tratti", std::move(chiaviTratto));
    Scrittore scrittore;
    scrittore.valore(radice, 0, ordine);
    return scrittore.testo + "\n";
}

void scriviProgetto(const std::string& percorso, const Progetto& progetto) {
    scriviFileIntero(percorso, testoProgetto(progetto));
}

} // namespace progetto
