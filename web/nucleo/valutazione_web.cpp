#include "web/nucleo/valutazione_web.h"

#include "caselle/catalogo.h"

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

} // namespace web
