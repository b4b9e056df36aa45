#include "app/calcolo_tratti.h"

#include <cstring>

namespace {

// Enough for a line of the largest size tried at every size; beyond it the
// memory starts afresh rather than grow without end.
constexpr std::size_t ricordiMassimi = 2'000'000;

void aggiungi(std::string& chiave, const std::string& testo) {
    chiave += testo;
    chiave += '\0';
}

void aggiungi(std::string& chiave, std::optional<double> valore) {
    const double numero = valore.value_or(-1);
    char byte[sizeof numero];
    std::memcpy(byte, &numero, sizeof numero);
    chiave += valore ? '1' : '0';
    chiave.append(byte, sizeof byte);
}

// Everything a reach's result may depend on, as a key of the memory.
std::string chiaveDi(const tratti::Tratto& t) {
    std::string chiave;
    aggiungi(chiave, t.nome);
    aggiungi(chiave, t.pozzettoMonte);
    aggiungi(chiave, t.pozzettoValle);
    for (const std::optional<double> valore :
         {t.lunghezza, t.pendenza, t.quotaMonte, t.quotaValle, t.raggio, std::optional(t.portata),
          t.portataMinima}) {
        aggiungi(chiave, valore);
    }
    if (t.resistenza) {
        aggiungi(chiave, static_cast<double>(t.resistenza->legge));
        aggiungi(chiave, t.resistenza->coefficiente);
        aggiungi(chiave, t.resistenza->temperatura);
    }
    return chiave;
}

} // namespace

CalcoloTratti::CalcoloTratti(Verifica verifica, QObject* parent)
    : QObject(parent),
      verifica_(verifica
                    ? std::move(verifica)
                    : tratti::verificaCondivisa(std::make_shared<tratti::MassimeCondivise>())) {}

CalcoloTratti::~CalcoloTratti() {
    ferma();
}

tratti::Esito CalcoloTratti::ricorda(const tratti::Tratto& tratto,
                                     const tratti::Impostazioni& impostazioni) {
    std::string chiave = chiaveDi(tratto);
    {
        const std::lock_guard blocco(memoriaMutex_);
        if (const auto trovato = memoria_.find(chiave); trovato != memoria_.end()) {
            return trovato->second;
        }
    }
    tratti::Esito esito = verifica_(tratto, impostazioni);
    const std::lock_guard blocco(memoriaMutex_);
    if (memoria_.size() >= ricordiMassimi) {
        memoria_.clear();
    }
    memoria_.emplace(std::move(chiave), esito);
    return esito;
}

// The thread keeps its own copy of the line: the owner may change or drop
// its own meanwhile.
void CalcoloTratti::avvia(valutazione::Rete rete, valutazione::Linea linea,
                          std::uint64_t versione) {
    ferma();
    {
        const std::lock_guard blocco(consegnaMutex_);
        consegna_.reset();
    }
    lavoratore_ = std::jthread([this, rete = std::move(rete), linea = std::move(linea),
                                versione](std::stop_token fermo) mutable {
        const bool finito = calcola(rete, linea, fermo);
        if (!finito || !rete.esiti) {
            return;
        }
        {
            const std::lock_guard blocco(consegnaMutex_);
            consegna_ =
                Consegna{versione, std::move(*rete.esiti), std::move(rete.derogheApplicate)};
        }
        QMetaObject::invokeMethod(
            this, [this] { emit consegnaPronta(); }, Qt::QueuedConnection);
    });
}

bool CalcoloTratti::calcola(valutazione::Rete& rete, const valutazione::Linea& linea,
                            const std::stop_token& fermo) {
    if (impostazioniMemoria_ != linea.impostazioni) {
        memoria_.clear();
        impostazioniMemoria_ = linea.impostazioni;
    }
    return valutazione::calcola(
        rete, linea,
        [this](const tratti::Tratto& t, const tratti::Impostazioni& i) { return ricorda(t, i); },
        fermo);
}

std::optional<tratti::EsitiRete> CalcoloTratti::calcolaOra(valutazione::Rete rete,
                                                           const valutazione::Linea& linea) {
    ferma();
    calcola(rete, linea, {});
    return std::move(rete.esiti);
}

void CalcoloTratti::chiediFermo() {
    lavoratore_.request_stop();
}

void CalcoloTratti::ferma() {
    lavoratore_.request_stop();
    attendi();
}

void CalcoloTratti::attendi() {
    if (lavoratore_.joinable()) {
        lavoratore_.join();
    }
}

std::optional<CalcoloTratti::Consegna> CalcoloTratti::ritira() {
    const std::lock_guard blocco(consegnaMutex_);
    std::optional<Consegna> arrivata = std::move(consegna_);
    consegna_.reset();
    return arrivata;
}
