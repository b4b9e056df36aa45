#pragma once

#include "tratti/tratto.h"

#include <QObject>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

// The reaches' results computed off the user-interface thread: a run takes
// the reaches to compute, each with its row and the version of its cells,
// and hands the results back in batches, tagged with those versions and
// with the version of the settings, for the owner to keep the ones still
// current. It knows nothing of the rows themselves.
class CalcoloTratti : public QObject {
    Q_OBJECT

  public:
    using Verifica =
        std::function<tratti::Esito(const tratti::Tratto&, const tratti::Impostazioni&)>;

    struct Compito {
        std::size_t indice;
        std::uint64_t versione; // of the row's cells
        tratti::Tratto tratto;
    };
    struct Consegna {
        std::size_t indice;
        std::uint64_t versione;
        std::uint64_t impostazioni; // the settings' version
        tratti::Esito esito;
    };

    // `verifica` is called on the computing thread, one reach at a time.
    explicit CalcoloTratti(Verifica verifica = tratti::verifica, QObject* parent = nullptr);
    ~CalcoloTratti() override;

    // A new run, once the one under way has stopped.
    void avvia(std::vector<Compito> compiti, tratti::Impostazioni impostazioni,
               std::uint64_t versioneImpostazioni);
    // Asks the run to stop after its current reach, without waiting.
    void chiediFermo();
    // Stops the run and waits for its thread.
    void ferma();
    // Waits for the run to end.
    void attendi();
    // The results handed over since the last pick-up.
    std::vector<Consegna> ritira();

  signals:
    // Results wait to be picked up; queued to this object's thread.
    void consegnePronte();

  private:
    void consegna(std::vector<Consegna>&& lotto);

    const Verifica verifica_;
    std::mutex consegneMutex_;
    std::vector<Consegna> consegne_; // guarded by consegneMutex_
    // Last, so destroyed first: its thread ends before what it uses goes.
    std::jthread lavoratore_;
};
