#pragma once

#include <string>

// The core as the browser page calls it: each function takes one JSON text
// and gives one back. Nothing is kept between calls: the page holds the
// project, and sends what each answer needs. A fault of the input gives
// {"errore": "…"} in Italian rather than an exception.
namespace web {

// The lists the page offers: Bazin's coefficients, the laws, the alignment
// rules, the usual catalogue and the proposed limits.
std::string voci(const std::string& richiesta);

// The main window's table for the boxes as typed: the grid's texts, each
// box's signal, the line above the grid and the size of the section.
std::string tabella(const std::string& richiesta);

// The analysis of the section: the answers with their verdicts, the rating
// curves and the levels to draw.
std::string risposte(const std::string& richiesta);

// The line of reaches verified and sized as a network, its manholes, and
// the radii "Dimensiona" writes.
std::string rete(const std::string& richiesta);

// Files of reaches: read, and written as reaches or as results.
std::string importaCsv(const std::string& richiesta);
std::string esportaTratti(const std::string& richiesta);
std::string esportaEsiti(const std::string& richiesta);

// The verdict on the page's whole project and the conclusion's
// paragraphs, as the report states them.
std::string conclusione(const std::string& richiesta);

// Project files, their keys unknown here kept.
std::string nuovoProgetto(const std::string& richiesta);
std::string apriProgetto(const std::string& richiesta);
std::string salvaProgetto(const std::string& richiesta);

} // namespace web
