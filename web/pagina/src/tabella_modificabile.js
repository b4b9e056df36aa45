// A table of text boxes the user edits like a spreadsheet: rows added and
// deleted, and tab-separated text pasted into a cell spread over the cells
// from there on, adding the rows it needs.
import { esc } from './dom.js';
import { creaRigheVirtuali } from './righe_virtuali.js';

// colonne: [{ titolo, classe? }]; righe(): the project's array of rows;
// leggi(riga) / scrivi(riga, colonna, testo): a row's cells; nuova(): an
// empty row; cambiato(): after every edit; segnale(i, c): the core's
// reason for refusing that cell, if it did.
export function creaTabellaModificabile(tabella, { colonne, righe, leggi, scrivi, nuova, cambiato, segnale, lista = {} }) {
  tabella.tHead.innerHTML = `<tr>${colonne.map((c) => `<th>${esc(c.titolo)}</th>`).join('')}<th></th></tr>`;
  const corpo = tabella.tBodies[0];

  const casellaHtml = (i, c, testo) => {
    const motivo = segnale(i, c);
    const classi = [colonne[c].classe, motivo && 'rifiutata'].filter(Boolean).join(' ');
    return `<td><input data-c="${c}" value="${esc(testo)}" autocomplete="off" spellcheck="false"`
      + `${lista[c] ? ` list="${lista[c]}"` : ''}${classi ? ` class="${classi}"` : ''}${motivo ? ` title="${esc(motivo)}"` : ''}></td>`;
  };
  const virtuali = creaRigheVirtuali(tabella, tabella.parentElement, (i) =>
    `<tr data-i="${i}">${leggi(righe()[i]).map((testo, c) => casellaHtml(i, c, testo)).join('')}`
    + '<td><button type="button" class="elimina" tabindex="-1" title="Elimina la riga" aria-label="Elimina la riga">✕</button></td></tr>');

  const ridisegna = () => virtuali.mostra(righe().length);
  const posizione = (elemento) => [Number(elemento.closest('tr').dataset.i), Number(elemento.dataset.c)];

  corpo.addEventListener('input', (e) => {
    const [i, c] = posizione(e.target);
    scrivi(righe()[i], c, e.target.value);
    cambiato();
  });
  corpo.addEventListener('click', (e) => {
    if (!e.target.classList.contains('elimina')) return;
    const [i] = posizione(e.target);
    righe().splice(i, 1);
    ridisegna();
    cambiato();
  });
  corpo.addEventListener('paste', (e) => {
    const testo = e.clipboardData?.getData('text/plain') ?? '';
    if (!/[\t\n]/.test(testo.replace(/\r?\n$/, ''))) return; // one value: the box's own paste
    e.preventDefault();
    const [i0, c0] = posizione(e.target);
    const blocco = testo.replace(/\r\n?/g, '\n').replace(/\n$/, '').split('\n').map((r) => r.split('\t'));
    const tutte = righe();
    blocco.forEach((valori, k) => {
      while (tutte.length <= i0 + k) tutte.push(nuova());
      valori.forEach((valore, m) => {
        if (c0 + m < colonne.length) scrivi(tutte[i0 + k], c0 + m, valore.trim());
      });
    });
    ridisegna();
    cambiato();
  });

  return {
    ridisegna,
    aggiungi() {
      righe().push(nuova());
      ridisegna();
      tabella.parentElement.scrollTop = tabella.parentElement.scrollHeight;
      ridisegna();
      virtuali.riga(righe().length - 1)?.querySelector('input').focus();
      cambiato();
    },
    // After a recomputation: the boxes in view framed as the core read
    // them, the others when they come into view.
    aggiornaSegnali() {
      for (const casella of corpo.querySelectorAll('input')) {
        const [i, c] = posizione(casella);
        const motivo = segnale(i, c);
        casella.classList.toggle('rifiutata', Boolean(motivo));
        casella.title = motivo ?? '';
      }
    },
    // Writes a cell's text in its box, if the box is in the page.
    scriviCasella(i, c, testo) {
      const casella = virtuali.riga(i)?.querySelector(`[data-c="${c}"]`);
      if (casella) casella.value = testo;
    },
  };
}
