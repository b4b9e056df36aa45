#include "web/nucleo/valutazione_web.h"

#include "caselle/catalogo.h"
#include "valutazione/conclusione.h"
#include "web/nucleo/json_scritto.h"
#include "web/nucleo/nucleo.h"
#include "web/nucleo/progetto_web.h"
#include "web/nucleo/separatore_web.h"

#include <utility>
#include <vector>

namespace web {

void leggiCatalogo(ProgettoDellaPagina& pagina, const std::string& testo) {
    std::string motivo;
    const std::optional<std::vector<double>> raggi = catalogo::daTesto(testo, motivo);
    pagina.progetto.catalogo = raggi && !testo.empty() ? *raggi : std::vector<double>();
    pagina.catalogo.reset();
    if (!raggi) {
        pagina.catalogo =
            valutazione::CasellaSbagliata{"catalogo", "il catalogo dei raggi", testo, motivo};
    }
}

valutazione::Valutazione valuta(const ProgettoDellaPagina& pagina) {
    const progetto::Progetto& p = pagina.progetto;
    valutazione::Valutazione v;
    v.tabella = valutazione::tabellaDi(p.ingressi);
    v.sezione = valutazione::sezioneDi(p, v.tabella.tabella);
    v.linea = valutazione::lineaDi(p, v.tabella);
    if (pagina.catalogo && !v.linea.impedimento) {
        v.linea.impostazioni.reset();
        v.linea.impedimento = pagina.catalogo;
    }
    v.rete = valutazione::reteDi(p);
    valutazione::calcola(v.rete, v.linea);
    v.giudizio = valutazione::giudica(p, v);
    return v;
}

namespace {

std::string elencoJson(const valutazione::Elenco& e) {
    return Oggetto().testo("titolo", e.titolo).grezzo("voci", elencoDiTesti(e.voci)).chiudi();
}

} // namespace

std::string conclusione(const std::string& richiesta) {
    const json::Valore r = json::leggi(richiesta);
    const Separatore separatore = separatoreDi(r);
    const valutazione::Valutazione v = valuta(progettoDellaPagina(membroDi(r, "progetto")));
    const valutazione::Giudizio& g = v.giudizio;
    // The typical section's verdict where the report states it, then the
    // line's conclusion as the report closes: its verdict, the failures
    // counted and tabled, the exceptions and the provisions.
    std::vector<std::string> paragrafi;
    if (g.sezioneTipo) {
        paragrafi.push_back(valutazione::conclusioneSezione(v, separatore));
    }
    valutazione::ConclusioneLinea linea;
    if (g.tratti > 0) {
        linea = valutazione::conclusioneLinea(v, separatore);
        paragrafi.push_back(linea.giudizio);
    }
    std::vector<std::string> colonne(std::begin(valutazione::colonneMancanze),
                                     std::end(valutazione::colonneMancanze));
    std::vector<std::string> righe;
    for (const valutazione::Mancanza& m : linea.mancanze) {
        righe.push_back(elencoDiTesti({m.elemento, m.verifica, m.valori, m.rimedio}));
    }
    Oggetto o;
    o.testo("errore", "")
        .grezzo("conclusioni", elencoDiTesti(paragrafi))
        .grezzo("conteggi", elencoJson(linea.conteggi))
        .grezzo("mancanze", Oggetto()
                                .testo("didascalia", valutazione::didascaliaMancanze)
                                .grezzo("colonne", elencoDiTesti(colonne))
                                .grezzo("righe", elenco(righe))
                                .chiudi())
        .grezzo("deroghe", elencoJson(linea.deroghe))
        .grezzo("provvedimenti", elencoJson(linea.provvedimenti));
    if (g.idonea) {
        o.vero("idonea", *g.idonea);
    } else {
        o.grezzo("idonea", "null");
    }
    return o.chiudi();
}

} // namespace web
