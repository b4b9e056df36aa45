#include "relazione/documento_word.h"

#include "documenti/automazione.h"
#include "errori/errore_runtime.h"
#include "relazione/testi_report.h"

#include <optional>

namespace {

using calcolo::Tabella;
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

void scriviIntestazione(Word::Applicazione& appWord, const calcolo::Ingressi& ingressi,
                        Separatore separatore) {
    passo([] { Global().Selection().Font().setName("Courier new"); });
    passo([] { Global().Selection().Font().setSize(10); });
    passo([&] { appWord.Selection().TypeText(testo(RigaTubazione(ingressi, separatore) + '\r')); });
    passo([&] {
        appWord.Selection().TypeText(testo(RigaCoefficiente(ingressi, separatore) + '\r'));
    });
    passo([&] { appWord.Selection().TypeText(testo(RigaPendenza(ingressi, separatore) + '\r')); });
    if (const std::string geometria = RigaGeometria(ingressi); !geometria.empty()) {
        passo([&] { appWord.Selection().TypeText(testo(geometria + '\r')); });
    }
    passo([&] { appWord.Selection().TypeText("\r"); });
    passo([] { Global().Selection().ParagraphFormat().setAlignment(allineamentoCentro); });
}

void scriviRigheIntestazione(const Word::Tabella& tabella) {
    for (std::int16_t colonna = 1; colonna <= 6; ++colonna) {
        passo([&] { tabella.Cell(1, colonna).Range().InsertAfter(titoliReport[colonna - 1]); });
    }
    for (std::int16_t colonna = 1; colonna <= 6; ++colonna) {
        passo([&] { tabella.Cell(2, colonna).Range().InsertAfter(unitaReport[colonna - 1]); });
    }
}

// Word table row `rigaWord`, from the table's row k.
void scriviRigaDati(const Tabella& t, const Word::Tabella& tabella, std::int32_t rigaWord, int k,
                    Separatore separatore) {
    for (std::int16_t colonna = 1; colonna <= 6; ++colonna) {
        passo([&] {
            tabella.Cell(rigaWord, colonna)
                .Range()
                .InsertAfter(testo(testoDellaColonna(colonna, t.riga(k), separatore)));
        });
    }
}

// The document's t-th table, by its position.
void impostaLarghezze(std::int32_t t) {
    for (std::int32_t colonna = 1; colonna <= 6; ++colonna) {
        passo([&] {
            const float larghezza = Global().CentimetersToPoints(2.5f);
            Global().ActiveDocument().Tables(t).Columns(colonna).SetWidth(larghezza,
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

// A single-row table for the table's row numPassi + scarto.
void scriviTabellaMassimo(const Tabella& t, std::int32_t numero, int scarto,
                          Separatore separatore) {
    Word::Tabella tabella;
    passo([&] { tabella = aggiungiTabella(3); });
    scriviRigheIntestazione(tabella);
    scriviRigaDati(t, tabella, 3, t.numPassi + scarto, separatore);
    impostaLarghezze(numero);
    passo([] { Global().Selection().MoveDown(unitaRiga, 4, sposta); });
}

void scriviTabelle(Word::Applicazione& appWord, const Tabella& t, Separatore separatore) {
    Word::Tabella risultati;
    passo([&] { risultati = aggiungiTabella(t.numPassi + 2); });
    scriviRigheIntestazione(risultati);
    for (int k = 1; k <= t.numPassi; ++k) {
        scriviRigaDati(t, risultati, k + 2, k, separatore);
    }
    impostaLarghezze(1);
    passo([&] { Global().Selection().MoveDown(unitaRiga, t.numPassi + 3, sposta); });

    scriviEtichetta(appWord, etichettaMassimaVelocita);
    scriviTabellaMassimo(t, 2, 1, separatore);
    scriviEtichetta(appWord, etichettaMassimaPortata);
    scriviTabellaMassimo(t, 3, 2, separatore);

    passo([] { Modulo2::FormattaIntestazioni(); });
}

} // namespace

void Modulo2::CreaDocumentoWord(const Tabella& tabella, const Collegamento& collegamento,
                                Separatore separatore) {
    std::optional<Word::Applicazione> appWord;
    try {
        appWord = collegamento.GetObject();
    } catch (const ErroreRuntime&) {
        try {
            appWord = collegamento.CreateObject();
        } catch (const ErroreRuntime& errore) {
            collegamento.MsgBox(errore.descrizione());
            return;
        }
    }
    passo([&] { appWord->setVisible(true); });
    passo([&] { appWord->Application().setWindowState(1); });
    passo([&] { appWord->Documents().Add(); });
    scriviIntestazione(*appWord, tabella.ingressi, separatore);
    scriviTabelle(*appWord, tabella, separatore);
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
