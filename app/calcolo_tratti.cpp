#include "app/calcolo_tratti.h"

#include <chrono>
#include <iterator>

namespace {

// How long the computation works before it hands its results over: often
// enough to be seen progressing, seldom enough to cost nothing.
constexpr std::chrono::milliseconds intervalloConsegne(30);

} // namespace

CalcoloTratti::CalcoloTratti(Verifica verifica, QObject* parent)
    : QObject(parent), verifica_(std::move(verifica)) {}

CalcoloTratti::~CalcoloTratti() {
    ferma();
}

// The thread keeps its own copy of the settings and of the verification:
// the owner may change or drop its own meanwhile.
void CalcoloTratti::avvia(std::vector<Compito> compiti, tratti::Impostazioni impostazioni,
                          std::uint64_t versioneImpostazioni) {
    ferma();
    lavoratore_ =
        std::jthread([this, compiti = std::move(compiti), impostazioni = std::move(impostazioni),
                      versioneImpostazioni, verifica = verifica_](std::stop_token fermo) {
            std::vector<Consegna> lotto;
            auto ultima = std::chrono::steady_clock::now();
            for (const Compito& compito : compiti) {
                if (fermo.stop_requested()) {
                    break;
                }
                lotto.push_back({compito.indice, compito.versione, versioneImpostazioni,
                                 verifica(compito.tratto, impostazioni)});
                if (std::chrono::steady_clock::now() - ultima >= intervalloConsegne) {
                    consegna(std::move(lotto));
                    lotto.clear();
                    ultima = std::chrono::steady_clock::now();
                }
            }
            consegna(std::move(lotto));
        });
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

// From the computing thread: the first results waiting call for a pick-up.
void CalcoloTratti::consegna(std::vector<Consegna>&& lotto) {
    if (lotto.empty()) {
        return;
    }
    bool primi = false;
    {
        const std::lock_guard blocco(consegneMutex_);
        primi = consegne_.empty();
        consegne_.insert(consegne_.end(), std::make_move_iterator(lotto.begin()),
                         std::make_move_iterator(lotto.end()));
    }
    if (primi) {
        QMetaObject::invokeMethod(
            this, [this] { emit consegnePronte(); }, Qt::QueuedConnection);
    }
}

std::vector<CalcoloTratti::Consegna> CalcoloTratti::ritira() {
    std::vector<Consegna> arrivate;
    const std::lock_guard blocco(consegneMutex_);
    arrivate.swap(consegne_);
    return arrivate;
}
