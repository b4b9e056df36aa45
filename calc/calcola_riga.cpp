#include "calc/calcolo.h"

#include "calc/formule_sezione.h"
#include "calc/reale.h"
#include "calc/variabili_pubbliche.h"

namespace {

using variabili_pubbliche::Stato;

// Stores each result of the row as it is produced, then raises its fault:
// a failing value is in the state when the error is raised.
class InStato {
  public:
    explicit InStato(Stato& s) : s_(s) {}
    void rapporto(const Reale& x) { memorizza(s_.rapporto, x); }
    void angolo(const Reale& a) { memorizza(s_.angolo, a); }
    void contorno(const Reale& p) { memorizza(s_.contorno(s_.riga), p); }
    void area(const Reale& a) { memorizza(s_.area(s_.riga), a); }
    void raggioIdr(const Reale& r) { memorizza(s_.raggioIdr(s_.riga), r); }
    void chezy(const Reale& c) { memorizza(s_.chezy(s_.riga), c); }
    void velocita(const Reale& v) { memorizza(s_.velocita(s_.riga), v); }
    void portata(const Reale& q) { memorizza(s_.portata(s_.riga), q); }

  private:
    Stato& s_;
};

} // namespace

void Modulo2::CalcolaRiga(Stato& s) {
    const Reale h = s.altezza(s.riga);
    InStato uscita(s);
    formule::calcolaAltezza(h, Reale(s.raggioM), s.resistenza(), s.pendenza, s.geometria, uscita);
}
