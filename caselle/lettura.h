#pragma once

// How a box's text is taken: as it stands, read only in part (its number is
// used, the rest ignored), or refused.
enum class Lettura { Buona, InParte, Rifiutata };
