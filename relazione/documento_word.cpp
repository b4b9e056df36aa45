#include "relazione/documento_word.h"

#include "calc/variabili_pubbliche.h"
#include "documenti/automazione.h"
#include "documenti/collegamento.h"
#include "errori/errore_runtime.h"
#include "relazione/testi_report.h"
#include "table/tabella_risultati.h"

#include <optional>

namespace {

using variabili_pubbliche::Stato;
using Word::Global;

// One step of the report: when it fails, it is abandoned and the report goes
// on with the next.
template <typename Passo> void passo(Passo&& operazione) {
    try {
        operazione();
    } catch (const std::exception&) {
    }
}

QString testo(const std::string& utf8) {
    return QString::fromStdString(utf8);
}

constexpr std::int32_t allineamentoSinistra = 0;
constexpr std::int32_t allineamentoCentro = 1;
constexpr std::int32_t unitaRiga = 5;
constexpr std::int32_t sposta = 0;
constexpr std::int32_t righelloProporzionale = 1;
constexpr std::int32_t intestazioneInverti = 9999998;

void scriviIntestazione(Word::Applicazione& appWord) {
    passo([] { Global().Selection().Font().setName("Courier new"); });
    passo([] { Global().Selection().Font().setSize(10); });
    passo([&] { appWord.Selection().TypeText(testo(RigaTubazione() + '\r')); });
    passo([&] { appWord.Selection().TypeText(testo(RigaCoefficiente() + '\r')); });
    passo([&] { appWord.Selection().TypeText(testo(RigaPendenza() + '\r')); });
    if (const std::string geometria = RigaGeometria(); !geometria.empty()) {
        passo([&] { appWord.Selection().TypeText(testo(geometria + '\r')); });
    }
    passo([&] { appWord.Selection().TypeText("\r"); });
    passo([] { Global().Selection().ParagraphFormat().setAlignment(allineamentoCentro); });
}

void scriviRigheIntestazione(Stato& s, const Word::Tabella& tabella) {
    passo([&] { s.rapporto = 1; });
    for (std::int16_t colonna = 1; colonna <= 6; ++colonna) {
        passo([&] {
            tabella.Cell(s.rapporto, colonna).Range().InsertAfter(titoliReport[colonna - 1]);
        });
    }
    passo([&] { s.rapporto = 2; });
    for (std::int16_t colonna = 1; colonna <= 6; ++colonna) {
        passo([&] {
            tabella.Cell(s.rapporto, colonna).Range().InsertAfter(unitaReport[colonna - 1]);
        });
    }
}

// Table row `rapporto`, from array row `riga`.
void scriviRigaDati(Stato& s, const Word::Tabella& tabella) {
    for (std::int16_t colonna = 1; colonna <= 6; ++colonna) {
        passo([&] {
            tabella.Cell(s.rapporto, colonna)
                .Range()
                .InsertAfter(testo(TestoColonna(colonna, s.riga)));
        });
    }
}

// The document's t-th table, by its position.
void impostaLarghezze(Stato& s, std::int32_t t) {
    for (s.riga = Intero16(1); s.riga <= 6; s.riga = s.riga + Intero16(1)) {
        passo([&] {
            const float larghezza = Global().CentimetersToPoints(2.5f);
            Global().ActiveDocument().Tables(t).Columns(s.riga).SetWidth(larghezza,
                                                                         righelloProporzionale);
        });
    }
}

void scriviEtichetta(Word::Applicazione& appWord, const char* etichetta) {
    passo([&] { appWord.Selection().ParagraphFormat().setAlignment(allineamentoSinistra); });
    passo([&] { appWord.Selection().TypeText("\r"); });
    passo([&] { appWord.Selection().TypeText(QString::fromUtf8(etichetta) + '\r'); });
    passo([&] { appWord.Selection().ParagraphFormat().setAlignment(allineamentoCentro); });
}

Word::Tabella aggiungiTabella(std::int32_t righe) {
    return Global().ActiveDocument().Tables().Add(Global().Selection().Range(), righe, 6);
}

// A single-row table for array row numPassi + scarto.
void scriviTabellaMassimo(Stato& s, std::int32_t numero, std::int16_t scarto) {
    Word::Tabella tabella;
    passo([&] { tabella = aggiungiTabella(3); });
    scriviRigheIntestazione(s, tabella);
    passo([&] { s.rapporto = 3; });
    passo([&] { s.riga = s.numPassi + Intero16(scarto); });
    scriviRigaDati(s, tabella);
    impostaLarghezze(s, numero);
    passo([] { Global().Selection().MoveDown(unitaRiga, 4, sposta); });
}

void scriviTabelle(Word::Applicazione& appWord) {
    Stato& s = variabili_pubbliche::stato;

    Word::Tabella risultati;
    passo([&] { risultati = aggiungiTabella((s.numPassi + Intero16(2)).valore()); });
    scriviRigheIntestazione(s, risultati);
    double limite = 0;
    passo([&] { limite = (s.numPassi + Intero16(2)).valore(); });
    passo([&] { s.rapporto = 3; });
    while (s.rapporto <= limite) {
        passo([&] { s.riga = Intero16::parteIntera(s.rapporto - 2); });
        scriviRigaDati(s, risultati);
        passo([&] { s.rapporto = s.rapporto + 1; });
    }
    impostaLarghezze(s, 1);
    passo([&] {
        Global().Selection().MoveDown(unitaRiga, (s.numPassi + Intero16(3)).valore(), sposta);
    });

    scriviEtichetta(appWord, etichettaMassimaVelocita);
    scriviTabellaMassimo(s, 2, 1);
    scriviEtichetta(appWord, etichettaMassimaPortata);
    scriviTabellaMassimo(s, 3, 2);

    passo([] { Modulo2::FormattaIntestazioni(); });
}

} // namespace

void Modulo2::CreaDocumentoWord() {
    std::optional<Word::Applicazione> appWord;
    try {
        appWord = Collegamento::GetObject();
    } catch (const ErroreRuntime&) {
        try {
            appWord = Collegamento::CreateObject();
        } catch (const ErroreRuntime& errore) {
            Collegamento::MsgBox(errore.descrizione());
            return;
        }
    }
    passo([&] { appWord->setVisible(true); });
    passo([&] { appWord->Application().setWindowState(1); });
    passo([&] { appWord->Documents().Add(); });
    scriviIntestazione(*appWord);
    scriviTabelle(*appWord);
}

void Modulo2::FormattaIntestazioni() {
    for (std::int32_t i = 1; i <= 3; ++i) {
        for (std::int32_t j = 1; j <= 2; ++j) {
            Global().ActiveDocument().Tables(i).Rows(j).Select();
            Global().Selection().Rows().setHeadingFormat(intestazioneInverti);
            Global().Selection().Font().setName("Arial");
            Global().Selection().Font().setSize(7);
        }
    }
    Global().Selection().MoveDown(unitaRiga, 1);
}
