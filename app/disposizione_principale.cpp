#include "app/form_principale.h"

#include "app/twips.h"
#include "app/vista_griglia.h"

#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>

#include <algorithm>
#include <array>

// The main window's layout in twips, its growth, and its keyboard focus.

namespace {

constexpr int larghezzaClienteTwips = 7524;
constexpr int altezzaClienteTwips = 6468;

QFont carattere(const char* famiglia, double punti) {
    QFont f(famiglia);
    f.setPointSizeF(punti);
    f.setWeight(QFont::Normal);
    f.setItalic(false);
    return f;
}

} // namespace

void FormPrincipale::disponiControlli() {
    const int dpiX = logicalDpiX();
    const int dpiY = logicalDpiY();
    const auto posiziona = [&](QWidget* controllo, int sinistra, int alto, int larghezza,
                               int altezza) {
        controllo->setGeometry(rettangoloTwips(sinistra, alto, larghezza, altezza, dpiX, dpiY));
    };
    posiziona(Label1, 756, 240, 2532, 252);
    posiziona(Text1, 3396, 252, 1416, 360);
    posiziona(Label6, 756, 600, 2532, 252);
    posiziona(Text4, 3396, 600, 1416, 360);
    posiziona(Label2, 756, 960, 1812, 252);
    posiziona(Text2, 3396, 960, 1416, 360);
    posiziona(Label3, 756, 1320, 2292, 252);
    posiziona(Combo1, 3396, 1320, 3612, 288);
    posiziona(Label4, 756, 1740, 2292, 312);
    posiziona(Text3, 3396, 1620, 1416, 360);
    posiziona(Label5, 756, 2100, 2292, 252);
    posiziona(Text5, 3396, 1980, 1416, 360);
    posiziona(messaggio_, 396, 2376, 6732, 252);
    posiziona(griglia1, 396, 2640, 6732, 2892);
    posiziona(Command3, 1116, 5760, 1692, 492);
    posiziona(Command4, 2916, 5760, 1692, 492);
    posiziona(Command2, 4716, 5760, 1692, 492);

    for (QLabel* etichetta : {Label1, Label2, Label3, Label4, Label5, Label6}) {
        etichetta->setFont(carattere("Arial", 10.2));
        etichetta->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    }
    for (QLineEdit* casella : {Text1, Text2, Text3, Text4, Text5}) {
        casella->setFont(carattere("MS Sans Serif", 9.6));
        casella->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    }
    Text4->setAlignment(Qt::AlignCenter);
    Text5->setAlignment(Qt::AlignCenter);
    Text4->setEnabled(false);

    Combo1->setEditable(true);
    Combo1->setInsertPolicy(QComboBox::NoInsert);
    Combo1->setCompleter(nullptr);
    Combo1->setMaxVisibleItems(3);

    messaggio_->setFont(carattere("MS Sans Serif", 8.4));

    // The window opens with its client area at its designed size, below the
    // menu bar; it may grow, never shrink below that.
    const QSize cliente(twipsInPixel(larghezzaClienteTwips, dpiX),
                        twipsInPixel(altezzaClienteTwips, dpiY));
    areaCliente_->setMinimumSize(cliente);
    areaCliente_->resize(cliente);
    griglia1Progetto_ = griglia1->geometry();
    for (QPushButton* pulsante : {Command2, Command3, Command4}) {
        pulsantiProgetto_.push_back({pulsante, pulsante->geometry()});
    }
    messaggioProgetto_ = messaggio_->geometry();
    areaCliente_->installEventFilter(this);
    adjustSize();
    if (const QScreen* schermo = QGuiApplication::primaryScreen()) {
        move(schermo->availableGeometry().center() - rect().center());
    }
}

bool FormPrincipale::eventFilter(QObject* oggetto, QEvent* evento) {
    if (evento->type() == QEvent::ShortcutOverride && qobject_cast<QLineEdit*>(oggetto) &&
        static_cast<QKeyEvent*>(evento)->keyCombination() == QKeyCombination(Qt::CTRL, Qt::Key_E)) {
        // A line edit takes Ctrl+E as "end of line": unaccepted, the key
        // reaches "Scrivi su file" from a box as from the grid.
        return true;
    }
    // Focus that moves to a menu or to another window comes back: the user
    // has not left the box.
    const auto lasciata = [evento] {
        if (evento->type() != QEvent::FocusOut) {
            return false;
        }
        const Qt::FocusReason motivo = static_cast<QFocusEvent*>(evento)->reason();
        return motivo != Qt::PopupFocusReason && motivo != Qt::ActiveWindowFocusReason &&
               motivo != Qt::MenuBarFocusReason;
    };
    if (oggetto == Combo1->lineEdit() && lasciata()) {
        // The coefficient before its words: a long entry left scrolled to
        // its end would hide the value.
        Combo1->lineEdit()->setCursorPosition(0);
    }
    if (oggetto == Text3 && lasciata()) {
        gestisci(&FormPrincipale::Text3_LostFocus);
    } else if (oggetto == areaCliente_ && evento->type() == QEvent::Resize) {
        // The controls keep their places; the grid takes the room the window
        // gains and the buttons follow its bottom edge.
        const QSize guadagno = areaCliente_->size() - areaCliente_->minimumSize();
        griglia1->setGeometry(
            griglia1Progetto_.adjusted(0, 0, guadagno.width(), guadagno.height()));
        messaggio_->setGeometry(messaggioProgetto_.adjusted(0, 0, guadagno.width(), 0));
        aggiornaRigaErrori();
        for (const auto& [pulsante, progetto] : pulsantiProgetto_) {
            pulsante->setGeometry(progetto.translated(0, guadagno.height()));
        }
    }
    return QMainWindow::eventFilter(oggetto, evento);
}

// Tab and Shift+Tab follow the tab indices of the controls (the grid 0, the
// buttons 7 to 9, the boxes 10 to 15), skipping what cannot take the focus.
// Kept here rather than in Qt's focus chain, which the editable combo box's
// own line edit puts out of order.
bool FormPrincipale::focusNextPrevChild(bool avanti) {
    const std::array<QWidget*, 10> ordine{griglia1, Command4, Command3, Command2, Text4,
                                          Text1,    Text2,    Combo1,   Text3,    Text5};
    const QWidget* attuale = QApplication::focusWidget();
    const auto trovato = std::find_if(ordine.begin(), ordine.end(), [&](const QWidget* controllo) {
        return controllo == attuale || controllo->isAncestorOf(attuale);
    });
    if (trovato == ordine.end()) {
        return QMainWindow::focusNextPrevChild(avanti);
    }
    const std::size_t n = ordine.size();
    const std::size_t da = static_cast<std::size_t>(trovato - ordine.begin());
    for (std::size_t passo = 1; passo < n; ++passo) {
        QWidget* prossimo = ordine[(da + (avanti ? passo : n - passo)) % n];
        if (prossimo->isEnabled() && prossimo->isVisible() &&
            (prossimo->focusPolicy() & Qt::TabFocus) != 0) {
            prossimo->setFocus(avanti ? Qt::TabFocusReason : Qt::BacktabFocusReason);
            if (prossimo == Combo1) {
                // All selected, as Tab leaves a box, but seen from its start.
                QLineEdit* casella = Combo1->lineEdit();
                casella->setSelection(static_cast<int>(casella->text().size()),
                                      -static_cast<int>(casella->text().size()));
            }
            return true;
        }
    }
    return false;
}
