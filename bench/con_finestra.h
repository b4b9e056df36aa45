#pragma once

class FormPrincipale;

// The real main window, started as the program starts it, for benchmarks
// that drive it; on the offscreen platform unless told otherwise. No event
// loop runs between the measured steps, so nothing is painted.
FormPrincipale& finestraDiProva();

// main() of a benchmark program with the window.
int eseguiConFinestra(int argc, char** argv);
