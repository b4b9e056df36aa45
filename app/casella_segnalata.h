#pragma once

#include "caselle/lettura.h"

#include <string>

class QWidget;

// A refused box gets a red frame, one read in part an orange one, with the
// reason as the tooltip; a good one loses both.
void segnalaCasella(QWidget* casella, Lettura lettura, const std::string& motivo = {});
