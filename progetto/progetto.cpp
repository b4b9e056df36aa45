#include "progetto/progetto.h"

#include "analisi/verifiche.h"
#include "calc/resistenza.h"
#include "errori/errore_runtime.h"
#include "file/caratteri_ammessi.h"
#include "file/errore_file.h"
#include "file/lettura_file.h"
#include "file/scrittura_file.h"
#include "file/testo_visibile.h"
#include "file/utf8.h"
#include "numeri/conversioni.h"
#include "numeri/testo_decimale.h"
#include "progetto/json.h"
#include "progetto/voci_coefficiente.h"
#include "tratti/deroghe.h"
#include "tratti/grandezze.h"
#include "tratti/tratto.h"

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
    // A text the user writes freely, which a report prints: held to the
    // characters a name or a note may hold.
    std::optional<Righe> scritto = std::nullopt;
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
template <auto Membro> std::string& fonteDi(Progetto& p) {
    return p.dati.fonti.*Membro;
}

// The cells of a row of a list (a reach, a manhole), under their keys.
template <class Riga> struct CampoRiga {
    const char* chiave;
    Casella Riga::*casella;
    std::string Riga::*testo;
    // Written only when it holds something: a file that never used it reads
    // back as it was written.
    bool facoltativo = false;
};
// A reach's, under the keys of the reaches' CSV.
const std::vector<CampoRiga<RigaTratto>> campiTratto{
    {"tratto", nullptr, &RigaTratto::tratto},
    {"pozzetto_monte", nullptr, &RigaTratto::pozzettoMonte},
    {"pozzetto_valle", nullptr, &RigaTratto::pozzettoValle},
    {"lunghezza", &RigaTratto::lunghezza, nullptr},
    {"pendenza", &RigaTratto::pendenza, nullptr},
    {"quota_monte", &RigaTratto::quotaMonte, nullptr},
    {"quota_valle", &RigaTratto::quotaValle, nullptr},
    {"raggio", &RigaTratto::raggio, nullptr},
    {"portata", &RigaTratto::portata, nullptr},
    {"portata_minima", &RigaTratto::portataMinima, nullptr},
    {"legge", nullptr, &RigaTratto::legge},
    {"scabrezza", &RigaTratto::scabrezza, nullptr},
    {"esistente", nullptr, &RigaTratto::esistente, true},
};
const std::vector<CampoRiga<RigaPozzetto>> campiPozzetto{
    {"pozzetto", nullptr, &RigaPozzetto::pozzetto},
    {"quota_terreno", &RigaPozzetto::quotaTerreno, nullptr},
    {"nota", nullptr, &RigaPozzetto::nota},
    {"allineamento", nullptr, &RigaPozzetto::allineamento, true},
};
const std::vector<CampoRiga<RigaDeroga>> campiDeroga{
    {"tratto", nullptr, &RigaDeroga::tratto},
    {"pozzetto", nullptr, &RigaDeroga::pozzetto},
    {"controllo", nullptr, &RigaDeroga::controllo},
    {"motivo", nullptr, &RigaDeroga::motivo},
};

const std::vector<Parte>& parti() {
    using P = Progetto;
    using I = Ingressi;
    using V = Verifiche;
    using D = Dati;
    using R = Rete;
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
         {{"opera", nullptr, testoDi<&P::dati, &D::opera>, Righe::Una},
          {"tratto", nullptr, testoDi<&P::dati, &D::tratto>, Righe::Una},
          {"committente", nullptr, testoDi<&P::dati, &D::committente>, Righe::Una},
          {"progettista", nullptr, testoDi<&P::dati, &D::progettista>, Righe::Una},
          {"data", nullptr, testoDi<&P::dati, &D::data>, Righe::Una},
          {"note", nullptr, testoDi<&P::dati, &D::note>, Righe::Piu},
          {"descrizione", nullptr, testoDi<&P::dati, &D::descrizione>, Righe::Piu},
          {"sezione_tipo", nullptr, testoDi<&P::dati, &D::sezioneTipo>}}},
        {"fonti",
         {{"velocita_minima", nullptr, fonteDi<&Fonti::velocitaMinima>, Righe::Una},
          {"velocita_massima", nullptr, fonteDi<&Fonti::velocitaMassima>, Righe::Una},
          {"riempimento_massimo", nullptr, fonteDi<&Fonti::riempimentoMassimo>, Righe::Una},
          {"legge", nullptr, fonteDi<&Fonti::legge>, Righe::Una},
          {"allineamento", nullptr, fonteDi<&Fonti::allineamento>, Righe::Una},
          {"ricoprimento", nullptr, fonteDi<&Fonti::ricoprimento>, Righe::Una}}},
        {"rete",
         {{"allineamento", nullptr, testoDi<&P::rete, &R::allineamento>},
          {"ricoprimento_minimo", casellaDi<&P::rete, &R::ricoprimentoMinimo>, nullptr},
          {"profondita_massima", casellaDi<&P::rete, &R::profonditaMassima>, nullptr},
          {"salto_massimo", casellaDi<&P::rete, &R::saltoMassimo>, nullptr}}},
    };
    return tutte;
}

// The checks an exception may name, as its keys: «autopulizia», ….
std::string elencoControlli() {
    std::string elenco;
    for (const tratti::Controllo c : tratti::tuttiIControlli) {
        elenco += (elenco.empty() ? "«" : ", «") + std::string(tratti::chiaveControllo(c)) + "»";
    }
    return elenco;
}

// The key of a value in messages: "ingressi.raggio", "tratti[3].portata".
std::string nomeDi(const std::string& sezione, const char* chiave) {
    return sezione.empty() ? std::string(chiave) : sezione + "." + chiave;
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
    const json::Valore* parte(const json::Valore& radice, const char* chiave) const {
        const json::Valore* valore = radice.membro(chiave);
        if (valore != nullptr && valore->tipo != json::Tipo::Oggetto) {
            fallito(std::string("«") + chiave + "» deve essere un oggetto JSON, tra graffe");
        }
        return valore;
    }

    // A box: a number, a text, or null for an empty box; absent, its
    // default stays.
    void casella(const json::Valore& parte, const std::string& sezione, const char* chiave,
                 Casella& destinazione) const {
        const json::Valore* valore = parte.membro(chiave);
        if (valore == nullptr) {
            return;
        }
        switch (valore->tipo) {
        case json::Tipo::Numero:
            destinazione = {TestoEsatto(valore->numero), valore->numero};
            break;
        case json::Tipo::Testo:
            destinazione = {testoDi(*valore, sezione, chiave), std::nullopt};
            break;
        case json::Tipo::Nullo:
            destinazione = {};
            break;
        default:
            fallito("«" + nomeDi(sezione, chiave) + "» deve essere un numero, un testo o null");
        }
    }

    // An array, or absent.
    std::vector<json::Valore> elenco(const json::Valore& radice, const char* chiave) const {
        const json::Valore* valore = radice.membro(chiave);
        if (valore == nullptr || valore->tipo == json::Tipo::Nullo) {
            return {};
        }
        if (valore->tipo != json::Tipo::Elenco) {
            fallito(std::string("«") + chiave + "» deve essere un elenco JSON, tra quadre");
        }
        return valore->elementi;
    }

    // An array of positive numbers, or absent.
    std::vector<double> numeriPositivi(const json::Valore& radice, const char* chiave) const {
        std::vector<double> numeri;
        for (const json::Valore& v : elenco(radice, chiave)) {
            if (v.tipo != json::Tipo::Numero || !(v.numero > 0)) {
                fallito(std::string("«") + chiave + "» deve essere un elenco di numeri positivi");
            }
            numeri.push_back(v.numero);
        }
        return numeri;
    }

    // A text: a string, or null for an empty one; one the user writes
    // freely (`scritto`) holds only the characters a name or a note may.
    void testo(const json::Valore& parte, const std::string& sezione, const char* chiave,
               std::string& destinazione, std::optional<Righe> scritto = std::nullopt) const {
        const json::Valore* valore = parte.membro(chiave);
        if (valore == nullptr) {
            return;
        }
        if (valore->tipo == json::Tipo::Testo) {
            destinazione = testoDi(*valore, sezione, chiave);
            if (const auto motivo =
                    scritto ? caratteriNonAmmessi(destinazione, *scritto) : std::nullopt) {
                fallito("«" + nomeDi(sezione, chiave) + "» " + *motivo);
            }
        } else if (valore->tipo == json::Tipo::Nullo) {
            destinazione.clear();
        } else {
            fallito("«" + nomeDi(sezione, chiave) + "» deve essere un testo");
        }
    }

  private:
    // A text the program uses must be Unicode, and of a length a window and
    // a report can hold.
    std::string testoDi(const json::Valore& valore, const std::string& sezione,
                        const char* chiave) const {
        if (!valore.testo) {
            fallito("«" + nomeDi(sezione, chiave) +
                    "» contiene metà di una coppia surrogata UTF-16 (\\ud800–\\udfff), che non è "
                    "un carattere");
        }
        if (caratteriUtf8(*valore.testo) > testoMassimo) {
            fallito("«" + nomeDi(sezione, chiave) + "» supera " + std::to_string(testoMassimo) +
                    " caratteri");
        }
        return *valore.testo;
    }

    std::string nome_;
};

json::Valore documento(const Lettore& lettore, std::string_view testo) {
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
    json::Valore letto;
    try {
        letto = json::leggi(testo);
    } catch (const json::ChiaveRipetuta& errore) {
        lettore.fallitoIn(testo, errore.posizione(),
                          "la voce «" + testoVisibile(errore.chiave()) + "» è scritta due volte");
    } catch (const json::ErroreSintassi& errore) {
        lettore.fallitoIn(testo, errore.posizione(),
                          std::string("il testo non è JSON valido: ") + errore.what());
    }
    if (letto.tipo == json::Tipo::Elenco) {
        lettore.fallito("non contiene un progetto ma un elenco JSON");
    }
    if (letto.tipo != json::Tipo::Oggetto) {
        lettore.fallito("non è un oggetto JSON: un progetto è tra graffe");
    }
    return letto;
}

void verificaFormato(const Lettore& lettore, const json::Valore& radice) {
    const json::Valore* formato = radice.membro("formato");
    if (formato == nullptr) {
        lettore.fallito("non è un progetto di Sezione inglese (manca «formato»)");
    }
    if (formato->tipo != json::Tipo::Testo || formato->testo != nomeFormato) {
        lettore.fallito(std::string("non è un progetto di Sezione inglese («formato» non è «") +
                        nomeFormato + "»)");
    }
    const json::Valore* versione = radice.membro("versione");
    if (versione == nullptr || versione->tipo != json::Tipo::Numero || versione->numero < 1 ||
        versione->numero != std::floor(versione->numero)) {
        lettore.fallito("«versione» deve essere un numero intero da 1 in su");
    }
    if (versione->numero > versioneFormato) {
        lettore.fallito("è stato creato da una versione più recente del programma (formato " +
                        CStr(versione->numero) + "; questa versione legge fino al " +
                        std::to_string(versioneFormato) + ")");
    }
}

const char* chiaveDi(const char* c) {
    return c;
}
const char* chiaveDi(const Campo& c) {
    return c.chiave;
}
template <class Riga> const char* chiaveDi(const CampoRiga<Riga>& c) {
    return c.chiave;
}

// The members of an object whose keys are not among the known ones, as
// written.
template <typename Chiavi> VociAltrui altre(const json::Valore& oggetto, const Chiavi& conosciute) {
    VociAltrui voci;
    for (const json::Membro& m : oggetto.membri) {
        const bool nota =
            m.chiave && std::any_of(std::begin(conosciute), std::end(conosciute),
                                    [&](const auto& c) { return *m.chiave == chiaveDi(c); });
        if (!nota) {
            voci.push_back({std::string(m.chiaveGrezza), std::string(m.valore.grezzo)});
        }
    }
    return voci;
}

// JSON written by hand, so that the keys keep a readable order: the known
// ones first as listed, then the others as the file had them.
class Scrittore {
  public:
    std::string testo;

    void apri(char parentesi) {
        testo += parentesi;
        ++rientro_;
        primo_ = true;
    }
    void chiudi(char parentesi) {
        --rientro_;
        if (!primo_) {
            testo += '\n' + std::string(2 * static_cast<std::size_t>(rientro_), ' ');
        }
        testo += parentesi;
        primo_ = false;
    }
    // The next member's key, or the next element when `chiave` is empty.
    void voce(const std::string& chiaveJson = {}) {
        testo += primo_ ? "\n" : ",\n";
        testo += std::string(2 * static_cast<std::size_t>(rientro_), ' ');
        if (!chiaveJson.empty()) {
            testo += chiaveJson + ": ";
        }
        primo_ = false;
    }
    void altre(const VociAltrui& voci) {
        for (const VoceAltrui& v : voci) {
            voce(v.chiave);
            testo += v.valore;
        }
    }
    void casella(const Casella& c) {
        testo += c.numero    ? TestoEsatto(*c.numero)
                 : c.vuota() ? std::string("null")
                             : json::stringa(c.testo);
    }

  private:
    int rientro_ = 0;
    bool primo_ = true;
};

// A list of rows, each an object of known keys, the others kept as written.
template <class Riga>
std::vector<Riga> leggiRighe(const Lettore& lettore, const json::Valore& radice, const char* chiave,
                             const std::vector<CampoRiga<Riga>>& campi) {
    std::vector<Riga> righe;
    for (const json::Valore& elemento : lettore.elenco(radice, chiave)) {
        std::string nome = chiave;
        nome += '[';
        nome += std::to_string(righe.size());
        nome += ']';
        if (elemento.tipo != json::Tipo::Oggetto) {
            lettore.fallito("«" + nome + "» deve essere un oggetto JSON, tra graffe");
        }
        Riga riga;
        for (const CampoRiga<Riga>& campo : campi) {
            if (campo.casella != nullptr) {
                lettore.casella(elemento, nome, campo.chiave, riga.*campo.casella);
            } else {
                lettore.testo(elemento, nome, campo.chiave, riga.*campo.testo);
            }
        }
        riga.altre = altre(elemento, campi);
        righe.push_back(std::move(riga));
    }
    return righe;
}

template <class Riga>
void scriviRighe(Scrittore& s, const char* chiave, std::vector<Riga>& righe,
                 const std::vector<CampoRiga<Riga>>& campi) {
    s.voce(json::stringa(chiave));
    s.apri('[');
    for (Riga& riga : righe) {
        s.voce();
        s.apri('{');
        for (const CampoRiga<Riga>& campo : campi) {
            if (campo.facoltativo && (riga.*campo.testo).empty()) {
                continue;
            }
            s.voce(json::stringa(campo.chiave));
            if (campo.casella != nullptr) {
                s.casella(riga.*campo.casella);
            } else {
                s.testo += json::stringa(riga.*campo.testo);
            }
        }
        s.altre(riga.altre);
        s.chiudi('}');
    }
    s.chiudi(']');
}

const char* const chiaviProfilo[] = {"scala_orizzontale", "scala_verticale", "foglio"};

// A scale is a number, as a window's box takes it; null is none chosen.
void leggiDisegnoProfilo(const Lettore& lettore, const json::Valore& radice, Progetto& p) {
    const json::Valore* parte = lettore.parte(radice, "profilo");
    if (parte == nullptr) {
        return;
    }
    for (const auto& [chiave, scala] : {std::pair{chiaviProfilo[0], &p.profilo.scalaOrizzontale},
                                        std::pair{chiaviProfilo[1], &p.profilo.scalaVerticale}}) {
        const json::Valore* valore = parte->membro(chiave);
        if (valore == nullptr || valore->tipo == json::Tipo::Nullo) {
            continue;
        }
        if (valore->tipo != json::Tipo::Numero || !(valore->numero >= scalaProfiloMinima) ||
            !(valore->numero <= scalaProfiloMassima)) {
            lettore.fallito(
                std::string("«profilo.") + chiave +
                "» deve essere il denominatore di una scala da 1:" + CStr(scalaProfiloMinima) +
                " a 1:" + CStr(scalaProfiloMassima) + ", o null");
        }
        *scala = valore->numero;
    }
    lettore.testo(*parte, "profilo", chiaviProfilo[2], p.profilo.foglio);
    if (!p.profilo.foglio.empty() && p.profilo.foglio != "A3" && p.profilo.foglio != "A4") {
        lettore.fallito("«profilo.foglio» deve essere «A3», «A4» o null");
    }
    if (VociAltrui voci = altre(*parte, chiaviProfilo); !voci.empty()) {
        p.originale.parti["profilo"] = std::move(voci);
    }
}

// Only what was chosen, and the part only when it holds something.
void scriviDisegnoProfilo(Scrittore& s, const Progetto& p) {
    const auto altrui = p.originale.parti.find("profilo");
    if (p.profilo.vuoto() && altrui == p.originale.parti.end()) {
        return;
    }
    s.voce(json::stringa("profilo"));
    s.apri('{');
    for (const auto& [chiave, scala] : {std::pair{chiaviProfilo[0], p.profilo.scalaOrizzontale},
                                        std::pair{chiaviProfilo[1], p.profilo.scalaVerticale}}) {
        if (scala) {
            s.voce(json::stringa(chiave));
            s.testo += TestoEsatto(*scala);
        }
    }
    if (!p.profilo.foglio.empty()) {
        s.voce(json::stringa(chiaviProfilo[2]));
        s.testo += json::stringa(p.profilo.foglio);
    }
    if (altrui != p.originale.parti.end()) {
        s.altre(altrui->second);
    }
    s.chiudi('}');
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
    return numero ? *numero : ValCasella(testo);
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
    p.rete.ricoprimentoMinimo = Casella::daTesto("1");
    // 0.5 m/s at the mean dry-weather flow is the ministry's circular's; the
    // other limits have no single source.
    p.dati.fonti = {"Circolare Min. LL.PP. n. 11633 del 7 gennaio 1974",
                    fonteDelProgettista,
                    fonteDelProgettista,
                    fonteDelProgettista,
                    fonteDelProgettista,
                    fonteDelProgettista};
    return p;
}

Progetto progettoDaTesto(std::string_view testo, const std::string& nome) {
    const Lettore lettore(nome);
    const json::Valore radice = documento(lettore, testo);
    verificaFormato(lettore, radice);

    Progetto p = progettoNuovo();
    static const char* const chiaviRadice[] = {"formato",  "versione", "ingressi", "verifiche",
                                               "progetto", "fonti",    "rete",     "catalogo",
                                               "tratti",   "pozzetti", "deroghe",  "profilo"};
    p.originale.radice = altre(radice, chiaviRadice);
    for (const Parte& parte : parti()) {
        const json::Valore* oggetto = lettore.parte(radice, parte.nome);
        if (oggetto == nullptr) {
            continue;
        }
        for (const Campo& campo : parte.campi) {
            if (campo.casella != nullptr) {
                lettore.casella(*oggetto, parte.nome, campo.chiave, campo.casella(p));
            } else {
                lettore.testo(*oggetto, parte.nome, campo.chiave, campo.testo(p), campo.scritto);
            }
        }
        if (VociAltrui voci = altre(*oggetto, parte.campi); !voci.empty()) {
            p.originale.parti[parte.nome] = std::move(voci);
        }
    }
    if (p.verifiche.geometria != "tabellare" && p.verifiche.geometria != "esatta") {
        lettore.fallito("«verifiche.geometria» deve essere «tabellare» o «esatta»");
    }
    if (p.dati.sezioneTipo != "" && p.dati.sezioneTipo != "si" && p.dati.sezioneTipo != "no") {
        lettore.fallito("«progetto.sezione_tipo» deve essere «si», «no» o vuoto");
    }
    if (!tratti::allineamentoDaNome(p.rete.allineamento)) {
        lettore.fallito("«rete.allineamento» deve essere «cieli», «pelo» o «fondo»");
    }
    if (!formule::leggeDaChiave(p.verifiche.legge)) {
        lettore.fallito("«verifiche.legge» deve essere «bazin», «kutter», «strickler», «manning» "
                        "o «colebrook»");
    }
    p.catalogo = lettore.numeriPositivi(radice, "catalogo");
    for (const double raggio : p.catalogo) {
        if (const std::optional<std::string> motivo =
                tratti::fuoriCampo(raggio, tratti::campoRaggio)) {
            lettore.fallito("«catalogo»: il raggio " + CStr(raggio) + " è " + *motivo);
        }
    }
    p.tratti = leggiRighe(lettore, radice, "tratti", campiTratto);
    p.pozzetti = leggiRighe(lettore, radice, "pozzetti", campiPozzetto);
    for (std::size_t i = 0; i < p.pozzetti.size(); ++i) {
        const std::string& regola = p.pozzetti[i].allineamento;
        if (!regola.empty() && !tratti::allineamentoPozzettoDaNome(regola)) {
            lettore.fallito("«pozzetti[" + std::to_string(i) +
                            "].allineamento» deve essere «cieli», «pelo», «fondo», «nessuna» o "
                            "vuoto");
        }
    }
    p.deroghe = leggiRighe(lettore, radice, "deroghe", campiDeroga);
    for (std::size_t i = 0; i < p.deroghe.size(); ++i) {
        const RigaDeroga& d = p.deroghe[i];
        const std::string nome = "«deroghe[" + std::to_string(i) + "]";
        if (d.tratto.empty() == d.pozzetto.empty()) {
            lettore.fallito(nome + "» nomina un tratto o un pozzetto, non entrambi");
        }
        if (!tratti::controlloDaChiave(d.controllo)) {
            lettore.fallito(nome + ".controllo» deve essere uno di " + elencoControlli());
        }
        if (const std::optional<std::string> motivo = caratteriNonAmmessi(d.motivo)) {
            lettore.fallito(nome + ".motivo»: " + *motivo);
        }
    }
    leggiDisegnoProfilo(lettore, radice, p);
    return p;
}

Progetto leggiProgetto(const std::string& percorso) {
    return progettoDaTesto(leggiFileIntero(percorso, dimensioneMassima), percorso);
}

std::string testoProgetto(const Progetto& progetto) {
    Progetto p = progetto; // the table reaches the members for writing too
    Scrittore s;
    s.apri('{');
    s.voce(json::stringa("formato"));
    s.testo += json::stringa(nomeFormato);
    s.voce(json::stringa("versione"));
    s.testo += std::to_string(versioneFormato);
    for (const Parte& parte : parti()) {
        s.voce(json::stringa(parte.nome));
        s.apri('{');
        for (const Campo& campo : parte.campi) {
            s.voce(json::stringa(campo.chiave));
            if (campo.casella != nullptr) {
                s.casella(campo.casella(p));
            } else {
                s.testo += json::stringa(campo.testo(p));
            }
        }
        if (const auto voci = p.originale.parti.find(parte.nome); voci != p.originale.parti.end()) {
            s.altre(voci->second);
        }
        s.chiudi('}');
    }
    s.voce(json::stringa("catalogo"));
    s.apri('[');
    for (const double raggio : p.catalogo) {
        s.voce();
        s.testo += TestoEsatto(raggio);
    }
    s.chiudi(']');
    scriviRighe(s, "tratti", p.tratti, campiTratto);
    scriviRighe(s, "pozzetti", p.pozzetti, campiPozzetto);
    if (!p.deroghe.empty()) {
        scriviRighe(s, "deroghe", p.deroghe, campiDeroga);
    }
    scriviDisegnoProfilo(s, p);
    s.altre(p.originale.radice);
    s.chiudi('}');
    return s.testo + "\n";
}

void scriviProgetto(const std::string& percorso, const Progetto& progetto) {
    scriviFileIntero(percorso, testoProgetto(progetto));
}

} // namespace progetto
