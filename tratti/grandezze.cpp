#include "tratti/grandezze.h"

namespace tratti {

std::optional<std::string> fuoriCampo(double valore, const Campo& campo) {
    if (campo.contiene(valore)) {
        return std::nullopt;
    }
    return std::string("fuori dall'intervallo ammesso (") + campo.intervallo + ")";
}

} // namespace tratti
