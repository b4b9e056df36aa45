// The body of a table whose rows may be thousands. A short table is written
// whole. A long one keeps in the page only the rows in view and a few more,
// between two empty rows as tall as the rest: the browser lays out tables
// slowly, seconds for ten thousand rows, and a page that recomputes at
// every keystroke cannot wait for it. Its rows are one line each, so that
// they all have the same height.

const SOGLIA = 300;
const MARGINE = 8;

// rigaHtml(i): the i-th row's <tr>; contenitore: the scrolling box;
// prepara(da, a), if given, is told which rows are about to be written, so
// that it may fetch their texts; aggiorna(tr, i), if given, rewrites the
// texts of a row already in the page and says whether it could (rewriting
// a text costs far less than making a row anew).
export function creaRigheVirtuali(tabella, contenitore, rigaHtml, { prepara = () => {}, aggiorna = () => false } = {}) {
  const corpo = tabella.tBodies[0];
  let quante = 0;
  let virtuale = false;
  let da = 0;
  let a = 0;
  let altezzaRiga = 22;
  let misurata = false;
  let attesa = 0;

  // As wide as the header: a wider cell would add columns to the table.
  const vuota = (altezza) => {
    const colonne = [...(tabella.tHead?.rows[0]?.cells ?? [])].reduce((n, c) => n + c.colSpan, 0) || 1;
    return `<tr class="spazio" aria-hidden="true"><td colspan="${colonne}" style="height:${altezza}px"></td></tr>`;
  };

  // The rows in view when the table has n of them.
  function finestra(n) {
    if (n <= SOGLIA) return [0, n];
    const righe = Math.ceil((contenitore.clientHeight || 800) / altezzaRiga) + 2 * MARGINE;
    const inCima = Math.floor((contenitore.scrollTop - corpo.offsetTop) / altezzaRiga) - MARGINE;
    const primo = Math.max(0, Math.min(n - righe, inCima));
    return [primo, Math.min(n, primo + righe)];
  }

  function disegna(sempre) {
    const [primo, ultimo] = finestra(quante);
    if (!sempre && primo === da && ultimo === a) return;
    const stesse = primo === da && ultimo === a && corpo.rows.length === a - da + 2;
    [da, a] = [primo, ultimo];
    prepara(da, a);
    if (stesse && riscrivi(1, da, a)) {
      corpo.rows[corpo.rows.length - 1].cells[0].style.height = `${(quante - a) * altezzaRiga}px`;
      return;
    }

    // The box being edited keeps the focus across the redraw.
    const attiva = corpo.contains(document.activeElement) ? document.activeElement : null;
    const dove = attiva && [attiva.closest('tr')?.dataset.i, attiva.dataset.c, attiva.selectionStart, attiva.selectionEnd];

    let html = vuota(da * altezzaRiga);
    for (let i = da; i < a; i++) html += rigaHtml(i);
    corpo.innerHTML = html + vuota((quante - a) * altezzaRiga);

    if (dove) {
      const nuova = corpo.querySelector(`tr[data-i="${dove[0]}"] [data-c="${dove[1]}"]`);
      if (nuova) {
        nuova.focus({ preventScroll: true });
        nuova.setSelectionRange?.(dove[2], dove[3]);
      }
    }
  }

  // Rewrites rows da…a-1 in place, from the body's row k on.
  function riscrivi(k, primo, ultimo) {
    for (let i = primo; i < ultimo; i++) {
      const tr = corpo.rows[k + i - primo];
      if (Number(tr.dataset.i) !== i || !aggiorna(tr, i)) return false;
    }
    return true;
  }

  contenitore.addEventListener('scroll', () => {
    if (!virtuale || attesa) return;
    attesa = requestAnimationFrame(() => {
      attesa = 0;
      disegna(false);
    });
  }, { passive: true });

  return {
    // Shows n rows, or shows them again after a change of their texts.
    mostra(n) {
      quante = n;
      virtuale = n > SOGLIA;
      tabella.classList.toggle('virtuale', virtuale);
      if (!virtuale) {
        const stesse = corpo.rows.length === n && !corpo.querySelector('tr.spazio');
        [da, a] = [0, n];
        prepara(0, n);
        if (stesse && riscrivi(0, 0, n)) return;
        let html = '';
        for (let i = 0; i < n; i++) html += rigaHtml(i);
        corpo.innerHTML = html;
        return;
      }
      disegna(true);
      // The rows' height is the one the browser gave them, measured once:
      // measuring makes the browser lay out the page there and then.
      if (misurata) return;
      const altezza = corpo.rows[1]?.getBoundingClientRect().height;
      if (altezza > 0) {
        misurata = true;
        if (Math.abs(altezza - altezzaRiga) > 0.5) {
          altezzaRiga = altezza;
          disegna(true);
        }
      }
    },
    finestra,
    // The row i, if it is in the page.
    riga: (i) => (i >= da || !virtuale) && (i < a || !virtuale) ? corpo.querySelector(`tr[data-i="${i}"]`) : null,
  };
}
