#pragma once

#include "tratti/rete.h"
#include "tratti/tratto.h"
#include "valutazione/valutazione.h"

#include <QObject>

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <unordered_map>
#include <vector>

// The line's results computed off the user-interface thread: a run takes
// the reaches and manholes of the whole network, computes them as the
// project's evaluation does (valutazione::calcola) and hands back the
// results at the end, tagged with the version it was given, for the owner
// to keep them only while still current. A reach already computed at a
// size, with the same data and settings, is not computed again: a key
// typed costs the reaches it changes, not the whole line.
class CalcoloTratti : public QObject {
    Q_OBJECT

  public:
    using Verifica = tratti::Verifica;

    struct Consegna {
        std::uint64_t versione;
        tratti::EsitiRete rete;
        std::vector<tratti::DerogaApplicata> deroghe;
    };

    // `verifica` is called on the computing threads, one reach at one size
    // at a time (none: the real one, the maxima of each size shared by the
    // runs).
    explicit CalcoloTratti(Verifica verifica = {}, QObject* parent = nullptr);
    ~CalcoloTratti() override;

    // A new run, once the one under way has stopped: the reaches and
    // manholes of `rete` under the line's settings.
    void avvia(valutazione::Rete rete, valutazione::Linea linea, std::uint64_t versione);
    // Asks the run to stop after its current reach, without waiting.
    void chiediFermo();
    // Stops the run and waits for its thread.
    void ferma();
    // The network of `rete` computed on the calling thread, as a run would,
    // once the run under way has stopped (it hands over nothing); none
    // without the line's settings.
    std::optional<tratti::EsitiRete> calcolaOra(valutazione::Rete rete,
                                                const valutazione::Linea& linea);
    // Waits for the run to end.
    void attendi();
    // The last run's results, once; none when it was stopped or already
    // picked up.
    std::optional<Consegna> ritira();

  signals:
    // Results wait to be picked up; queued to this object's thread.
    void consegnaPronta();

  private:
    // A run's work, on the thread that does it: one at a time.
    bool calcola(valutazione::Rete& rete, const valutazione::Linea& linea,
                 const std::stop_token& fermo);
    tratti::Esito ricorda(const tratti::Tratto& tratto, const tratti::Impostazioni& impostazioni);

    const Verifica verifica_;
    // Touched by one run at a time: by its threads, or by calcolaOra's
    // caller once the thread has stopped.
    std::mutex memoriaMutex_;
    std::unordered_map<std::string, tratti::Esito> memoria_;
    std::optional<tratti::Impostazioni> impostazioniMemoria_;
    std::mutex consegnaMutex_;
    std::optional<Consegna> consegna_; // guarded by consegnaMutex_
    // Last, so destroyed first: its thread ends before what it uses goes.
    std::jthread lavoratore_;
};
