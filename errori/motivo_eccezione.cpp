#include "errori/motivo_eccezione.h"

#include "errori/errore_runtime.h"

#include <new>
#include <stdexcept>
#include <system_error>

std::string motivoEccezione(const std::exception& eccezione) {
    if (const auto* calcolo = dynamic_cast<const ErroreRuntime*>(&eccezione)) {
        return "errore di calcolo " + std::to_string(calcolo->numero()) + ": " +
               calcolo->descrizione();
    }
    if (dynamic_cast<const std::bad_alloc*>(&eccezione) != nullptr) {
        return "memoria insufficiente: il calcolo richiede più memoria di quella disponibile";
    }
    if (const auto* sistema = dynamic_cast<const std::system_error*>(&eccezione)) {
        return std::string("il sistema ha negato una risorsa al calcolo: ") + sistema->what();
    }
    // The solvers report a height they cannot find as a domain, range or
    // evaluation error: runtime errors.
    if (dynamic_cast<const std::runtime_error*>(&eccezione) != nullptr ||
        dynamic_cast<const std::domain_error*>(&eccezione) != nullptr) {
        return "errore di calcolo: la ricerca delle altezze non è riuscita";
    }
    return std::string("errore interno del programma: ") + eccezione.what();
}
