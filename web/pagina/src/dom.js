// Small helpers shared by the page's parts.

export const $ = (id) => document.getElementById(id);

const ENTITA = { '&': '&amp;', '<': '&lt;', '>': '&gt;', '"': '&quot;', "'": '&#39;' };
// The core's texts go into innerHTML strings (fast for big tables): escaped.
export const esc = (testo) => String(testo ?? '').replace(/[&<>"']/g, (c) => ENTITA[c]);

// Frames a box as the core read it: red when refused, orange when read in
// part, with the reason as its tooltip and, where the box has one, in the
// line beside it.
export function segnala(casella, segnale) {
  const lettura = segnale?.lettura ?? 'buona';
  const motivo = lettura === 'buona' ? '' : segnale?.motivo ?? '';
  casella.classList.toggle('rifiutata', lettura === 'rifiutata');
  casella.classList.toggle('inparte', lettura === 'inparte');
  casella.title = motivo;
  const riga = casella.closest('.campo')?.querySelector('.motivo');
  if (riga) {
    riga.textContent = motivo;
    riga.className = `motivo ${lettura === 'buona' ? '' : lettura}`;
  }
}

// Rows of texts as table cells; the first cell of a body row is its label.
export function righeHtml(righe, tag = 'td') {
  let html = '';
  for (const riga of righe) {
    html += '<tr>';
    for (const testo of riga) html += `<${tag}>${esc(testo)}</${tag}>`;
    html += '</tr>';
  }
  return html;
}

// The page-wide news line in the header (an opened file, an export, a fault).
let timerNotizia = 0;
export function notizia(testo, errore = false) {
  const riga = $('notizia');
  riga.textContent = testo;
  riga.classList.toggle('errore', errore);
  clearTimeout(timerNotizia);
  if (!errore && testo) timerNotizia = setTimeout(() => { riga.textContent = ''; }, 8000);
}
