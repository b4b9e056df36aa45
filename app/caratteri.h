#pragma once

// The window and the report name Windows fonts; this maps them to the
// metric-compatible fonts of the Linux desktop.
void installaSostituzioniCaratteri();
