#pragma once

#include <optional>
#include <string>

class QWidget;

// How a box's text is taken: as it stands, read only in part (its number is
// used, the rest ignored), or refused.
enum class Lettura { Buona, InParte, Rifiutata };

// A refused box gets a red frame, one read in part an orange one, with the
// reason as the tooltip; a good one loses both.
void segnalaCasella(QWidget* casella, Lettura lettura, const std::string& motivo = {});
