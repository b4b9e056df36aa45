#include "cli/opzioni.h"

#include "app/conversioni.h"
#include "calc/errore_runtime.h"
#include "report/salvataggio.h"

namespace {

double valorePositivo(const std::string& opzione, const std::string& testo) {
    double valore = 0;
    try {
        valore = CDbl(testo);
    } catch (const ErroreRuntime& e) {
        if (e.tipo() == TipoErrore::Overflow) {
            throw ErroreUso("il valore di " + opzione + " è fuori dall'intervallo dei numeri: «" +
                            testo + "»");
        }
        throw ErroreUso("il valore di " + opzione + " non è un numero: «" + testo + "»");
    }
    if (!(valore > 0)) {
        throw ErroreUso("il valore di " + opzione + " deve essere maggiore di zero: «" + testo +
                        "»");
    }
    return valore;
}

OpzioniCli::Formato formato(const std::string& testo) {
    if (testo == "si") {
        return OpzioniCli::Formato::Si;
    }
    if (testo == "tabella") {
        return OpzioniCli::Formato::Tabella;
    }
    if (testo == "csv") {
        return OpzioniCli::Formato::Csv;
    }
    throw ErroreUso("formato sconosciuto per --formato: «" + testo + "» (tabella, csv o si)");
}

} // namespace

const char* const testoAiuto =
    "Uso: sezione-inglese-cli [opzioni]\n"
    "Tabella di moto uniforme di una tubazione a sezione inglese (larghezza 2r, altezza 3r),\n"
    "velocità secondo Chézy con il coefficiente di Bazin.\n"
    "\n"
    "  --raggio CM          raggio caratteristico in cm (predefinito 20)\n"
    "  --pendenza M         pendenza in m/m (predefinita 0.01)\n"
    "  --incremento MM      incremento dell'altezza in mm (predefinito 100)\n"
    "  --coefficiente G     coefficiente di scabrezza di Bazin (predefinito 0.18)\n"
    "  --formato F          tabella: allineata, come la griglia della finestra (predefinito)\n"
    "                       csv: i testi della griglia, in CSV\n"
    "                       si: valori SI non arrotondati, in CSV\n"
    "  --documento FILE     scrive anche il documento della relazione; il formato segue\n"
    "                       l'estensione: .docx, .odt, .pdf, .html\n"
    "  --file FILE          scrive anche il file dei risultati, come «Scrivi su file»:\n"
    "                       testo leggibile, o i testi della griglia se FILE finisce in\n"
    "                       .csv; senza estensione si aggiunge .txt; sovrascrive\n"
    "  --help               questo aiuto\n"
    "  --version            la versione\n"
    "\n"
    "L'incremento è tenuto tra 3 × raggio / 100 e 30 × raggio, come nella finestra.\n"
    "Stato d'uscita: 0 fatto; 2 uso errato o valore non positivo o non numerico;\n"
    "1 errore di calcolo o di scrittura.\n";

OpzioniCli leggiOpzioni(const std::vector<std::string>& argomenti) {
    OpzioniCli opzioni;
    for (std::size_t i = 0; i < argomenti.size(); ++i) {
        const std::string& opzione = argomenti[i];
        if (opzione == "--help") {
            opzioni.aiuto = true;
            continue;
        }
        if (opzione == "--version") {
            opzioni.versione = true;
            continue;
        }
        double* numero = opzione == "--raggio"         ? &opzioni.raggio
                         : opzione == "--pendenza"     ? &opzioni.pendenza
                         : opzione == "--incremento"   ? &opzioni.incremento
                         : opzione == "--coefficiente" ? &opzioni.coefficiente
                                                       : nullptr;
        if (numero == nullptr && opzione != "--formato" && opzione != "--documento" &&
            opzione != "--file") {
            throw ErroreUso("opzione sconosciuta: «" + opzione + "» (vedere --help)");
        }
        if (i + 1 >= argomenti.size()) {
            throw ErroreUso("manca il valore dell'opzione " + opzione);
        }
        const std::string& valore = argomenti[++i];
        if (valore.empty()) {
            throw ErroreUso("manca il valore dell'opzione " + opzione);
        }
        if (numero != nullptr) {
            *numero = valorePositivo(opzione, valore);
        } else if (opzione == "--formato") {
            opzioni.formato = formato(valore);
        } else if (opzione == "--file") {
            opzioni.file = valore;
        } else if (formatoDaNome(valore)) {
            opzioni.documento = valore;
        } else {
            throw ErroreUso("estensione non riconosciuta per --documento: «" + valore +
                            "» (.docx, .odt, .pdf o .html)");
        }
    }
    return opzioni;
}
