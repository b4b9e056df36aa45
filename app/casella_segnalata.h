#pragma once

#include <optional>
#include <string>

class QWidget;

// A box whose text is refused gets a red frame and the reason as its
// tooltip; a good one loses both.
void segnalaCasella(QWidget* casella, const std::optional<std::string>& motivo);
