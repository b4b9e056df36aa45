#include "web/nucleo/progetto_web.h"

#include "caselle/catalogo.h"
#include "file/errore_file.h"
#include "progetto/progetto.h"
#include "progetto/righe_tratti.h"
#include "web/nucleo/json_scritto.h"
#include "web/nucleo/nucleo.h"

namespace web {

namespace {

using progetto::Casella;

// The project as the page holds it: every box a text, the keys this
// program does not use carried along untouched.
std::string altre(const progetto::VociAltrui& voci) {
    std::vector<std::string> elementi;
    for (const progetto::VoceAltrui& v : voci) {
        elementi.push_back(Oggetto().testo("chiave", v.chiave).testo("valore", v.valore).chiudi());
    }
    return elenco(elementi);
}

progetto::VociAltrui altreDi(const json::Valore& elenco) {
    progetto::VociAltrui voci;
    for (const json::Valore& v : elenco.elementi) {
        voci.push_back({testoDi(v, "chiave"), testoDi(v, "valore")});
    }
    return voci;
}

std::string jsonDi(const progetto::Progetto& p) {
    const progetto::Ingressi& i = p.ingressi;
    const progetto::Verifiche& v = p.verifiche;
    const progetto::Dati& d = p.dati;
    std::vector<std::string> tratti;
    for (const progetto::RigaTratto& riga : p.tratti) {
        const tratti::CelleTratto celle = progetto::celleDi(riga);
        tratti.push_back(Oggetto()
                             .grezzo("celle", elencoDiTesti({celle.begin(), celle.end()}))
                             .grezzo("altre", altre(riga.altre))
                             .chiudi());
    }
    std::vector<std::string> pozzetti;
    for (const progetto::RigaPozzetto& riga : p.pozzetti) {
        pozzetti.push_back(Oggetto()
                               .testo("nome", riga.pozzetto)
                               .testo("terreno", riga.quotaTerreno.testo)
                               .testo("nota", riga.nota)
                               .testo("allineamento", riga.allineamento)
                               .grezzo("altre", altre(riga.altre))
                               .chiudi());
    }
    std::vector<std::string> deroghe;
    for (const progetto::RigaDeroga& riga : p.deroghe) {
        deroghe.push_back(Oggetto()
                              .testo("tratto", riga.tratto)
                              .testo("pozzetto", riga.pozzetto)
                              .testo("controllo", riga.controllo)
                              .testo("motivo", riga.motivo)
                              .grezzo("altre", altre(riga.altre))
                              .chiudi());
    }
    std::vector<std::string> parti;
    for (const auto& [nome, voci] : p.originale.parti) {
        parti.push_back(Oggetto().testo("parte", nome).grezzo("voci", altre(voci)).chiudi());
    }
    return Oggetto()
        .grezzo("ingressi", Oggetto()
                                .testo("raggio", i.raggio.testo)
                                .testo("pendenza", i.pendenza.testo)
                                .testo("coefficiente", i.coefficiente.testo)
                                .testo("incremento", i.incremento.testo)
                                .testo("nomeFile", i.nomeFile)
                                .chiudi())
        .grezzo("verifiche", Oggetto()
                                 .testo("geometria", v.geometria)
                                 .testo("portataProgetto", v.portataProgetto.testo)
                                 .testo("portataMinima", v.portataMinima.testo)
                                 .testo("velocitaProgetto", v.velocitaProgetto.testo)
                                 .testo("velocitaMinima", v.velocitaMinima.testo)
                                 .testo("velocitaMassima", v.velocitaMassima.testo)
                                 .testo("riempimentoMassimo", v.riempimentoMassimo.testo)
                                 .testo("legge", v.legge)
                                 .testo("scabrezza", v.scabrezza.testo)
                                 .testo("temperatura", v.temperatura.testo)
                                 .chiudi())
        .grezzo("dati",
                Oggetto()
                    .testo("opera", d.opera)
                    .testo("tratto", d.tratto)
                    .testo("committente", d.committente)
                    .testo("progettista", d.progettista)
                    .testo("data", d.data)
                    .testo("note", d.note)
                    .testo("descrizione", d.descrizione)
                    .testo("sezioneTipo", d.sezioneTipo)
                    .grezzo("fonti", Oggetto()
                                         .testo("velocitaMinima", d.fonti.velocitaMinima)
                                         .testo("velocitaMassima", d.fonti.velocitaMassima)
                                         .testo("riempimentoMassimo", d.fonti.riempimentoMassimo)
                                         .testo("legge", d.fonti.legge)
                                         .testo("allineamento", d.fonti.allineamento)
                                         .testo("ricoprimento", d.fonti.ricoprimento)
                                         .chiudi())
                    .chiudi())
        .grezzo("rete", Oggetto()
                            .testo("allineamento", p.rete.allineamento)
                            .testo("ricoprimentoMinimo", p.rete.ricoprimentoMinimo.testo)
                            .testo("profonditaMassima", p.rete.profonditaMassima.testo)
                            .testo("saltoMassimo", p.rete.saltoMassimo.testo)
                            .chiudi())
        .grezzo("tratti", elenco(tratti))
        .grezzo("pozzetti", elenco(pozzetti))
        .grezzo("deroghe", elenco(deroghe))
        .testo("catalogo",
               p.catalogo.empty() ? std::string() : catalogo::testo(p.catalogo, Separatore::Punto))
        .grezzo("originale", Oggetto()
                                 .grezzo("radice", altre(p.originale.radice))
                                 .grezzo("parti", elenco(parti))
                                 .chiudi())
        .chiudi();
}

Casella casella(const json::Valore& o, std::string_view chiave) {
    return Casella::daTesto(testoDi(o, chiave));
}

} // namespace

std::vector<progetto::RigaDeroga> derogheDi(const json::Valore& elenco) {
    std::vector<progetto::RigaDeroga> deroghe;
    for (const json::Valore& d : elenco.elementi) {
        deroghe.push_back({testoDi(d, "tratto"), testoDi(d, "pozzetto"), testoDi(d, "controllo"),
                           testoDi(d, "motivo"), altreDi(membroDi(d, "altre"))});
    }
    return deroghe;
}

ProgettoDellaPagina progettoDellaPagina(const json::Valore& j) {
    ProgettoDellaPagina pagina{progetto::progettoNuovo(), std::nullopt};
    progetto::Progetto& p = pagina.progetto;
    const json::Valore& i = membroDi(j, "ingressi");
    p.ingressi = {casella(i, "raggio"), casella(i, "pendenza"), casella(i, "coefficiente"),
                  casella(i, "incremento"), testoDi(i, "nomeFile")};
    const json::Valore& v = membroDi(j, "verifiche");
    p.verifiche.geometria = testoDi(v, "geometria");
    p.verifiche.portataProgetto = casella(v, "portataProgetto");
    p.verifiche.portataMinima = casella(v, "portataMinima");
    p.verifiche.velocitaProgetto = casella(v, "velocitaProgetto");
    p.verifiche.velocitaMinima = casella(v, "velocitaMinima");
    p.verifiche.velocitaMassima = casella(v, "velocitaMassima");
    p.verifiche.riempimentoMassimo = casella(v, "riempimentoMassimo");
    p.verifiche.legge = testoDi(v, "legge");
    p.verifiche.scabrezza = casella(v, "scabrezza");
    p.verifiche.temperatura = casella(v, "temperatura");
    const json::Valore& d = membroDi(j, "dati");
    const json::Valore& f = membroDi(d, "fonti");
    p.dati = {testoDi(d, "opera"),
              testoDi(d, "tratto"),
              testoDi(d, "committente"),
              testoDi(d, "progettista"),
              testoDi(d, "data"),
              testoDi(d, "note"),
              testoDi(d, "descrizione"),
              testoDi(d, "sezioneTipo"),
              {testoDi(f, "velocitaMinima"), testoDi(f, "velocitaMassima"),
               testoDi(f, "riempimentoMassimo"), testoDi(f, "legge"), testoDi(f, "allineamento"),
               testoDi(f, "ricoprimento")}};
    const json::Valore& r = membroDi(j, "rete");
    p.rete = {testoDi(r, "allineamento"), casella(r, "ricoprimentoMinimo"),
              casella(r, "profonditaMassima"), casella(r, "saltoMassimo")};
    p.tratti.clear();
    for (const json::Valore& riga : membroDi(j, "tratti").elementi) {
        tratti::CelleTratto celle;
        const json::Valore& testi = membroDi(riga, "celle");
        for (std::size_t c = 0; c < celle.size() && c < testi.elementi.size(); ++c) {
            celle[c] = testi.elementi[c].testo.value_or("");
        }
        progetto::RigaTratto letta = progetto::rigaDaCelle(celle);
        letta.altre = altreDi(membroDi(riga, "altre"));
        p.tratti.push_back(std::move(letta));
    }
    p.pozzetti.clear();
    for (const json::Valore& riga : membroDi(j, "pozzetti").elementi) {
        p.pozzetti.push_back({testoDi(riga, "nome"), casella(riga, "terreno"),
                              testoDi(riga, "nota"), altreDi(membroDi(riga, "altre")),
                              testoDi(riga, "allineamento")});
    }
    p.deroghe = derogheDi(membroDi(j, "deroghe"));
    leggiCatalogo(pagina, testoDi(j, "catalogo"));
    const json::Valore& o = membroDi(j, "originale");
    p.originale.radice = altreDi(membroDi(o, "radice"));
    for (const json::Valore& parte : membroDi(o, "parti").elementi) {
        p.originale.parti[testoDi(parte, "parte")] = altreDi(membroDi(parte, "voci"));
    }
    return pagina;
}

std::string nuovoProgetto(const std::string&) {
    return Oggetto()
        .testo("errore", "")
        .grezzo("progetto", jsonDi(progetto::progettoNuovo()))
        .chiudi();
}

std::string apriProgetto(const std::string& richiesta) {
    const json::Valore r = json::leggi(richiesta);
    try {
        const progetto::Progetto p =
            progetto::progettoDaTesto(testoDi(r, "testo"), testoDi(r, "nome"));
        return Oggetto().testo("errore", "").grezzo("progetto", jsonDi(p)).chiudi();
    } catch (const ErroreFile& e) {
        return Oggetto().testo("errore", e.what()).chiudi();
    }
}

std::string salvaProgetto(const std::string& richiesta) {
    const json::Valore r = json::leggi(richiesta);
    const ProgettoDellaPagina pagina = progettoDellaPagina(membroDi(r, "progetto"));
    if (pagina.catalogo) {
        return Oggetto()
            .testo("errore", "Il progetto non è stato salvato: il catalogo non è valido: " +
                                 pagina.catalogo->motivo + ".")
            .chiudi();
    }
    return Oggetto()
        .testo("errore", "")
        .testo("testo", progetto::testoProgetto(pagina.progetto))
        .chiudi();
}

} // namespace web
