// "Calcolo": the main window's boxes, the line above the grid and the grid
// of the table, recomputed at every keystroke.
import { $, esc, segnala } from './dom.js';
import { creaCombo } from './combo.js';
import { stato, ingressiTabella } from './stato.js';
import { creaRigheVirtuali } from './righe_virtuali.js';

const CASELLE = ['raggio', 'pendenza', 'incremento', 'coefficiente'];
let ultima = null;
let intestazione = '';
let righeGriglia = null;
let inMano = { da: 0, righe: [] };
let totale = 0;
// Enough rows to fill the box: a table that grows past a screenful at a
// keystroke is then drawn with no second call.
const RIGHE_MINIME = 60;

export function preparaCalcolo(cambiato) {
  for (const chiave of CASELLE) {
    $(chiave).addEventListener('input', (e) => {
      stato.progetto.ingressi[chiave] = e.target.value;
      ricalcolaTabella();
      cambiato();
    });
  }
  creaCombo($('coefficiente'), $('coefficiente-apri'), $('coefficiente-lista'),
    stato.voci.coefficienti.map((v) => v.testo), () => {
      stato.progetto.ingressi.coefficiente = $('coefficiente').value;
      ricalcolaTabella();
      cambiato();
    });
  // The box keeps what the user typed until they leave it; then it shows
  // the increment the table was computed with.
  $('incremento').addEventListener('blur', () => {
    const testo = ultima?.incrementoDaRiscrivere;
    if (testo == null || testo === $('incremento').value) return;
    $('incremento').value = testo;
    stato.progetto.ingressi.incremento = testo;
    ricalcolaTabella();
    cambiato();
  });
}

export function mostraIngressiCalcolo() {
  for (const chiave of CASELLE) $(chiave).value = stato.progetto.ingressi[chiave] ?? '';
  ricalcolaTabella();
}

// The core computes the whole table at each call but writes out only the
// rows asked for: those in view, or all of a short table.
const chiedi = (da, quante) => stato.nucleo.tabella({ ...ingressiTabella(), da, quante });

export function ricalcolaTabella() {
  righeGriglia ??= creaRigheVirtuali($('griglia'), $('griglia').parentElement, rigaHtml, { prepara, aggiorna });
  const [da, a] = righeGriglia.finestra(totale);
  ultima = chiedi(da, Math.max(a - da, RIGHE_MINIME));
  inMano = { da: ultima.da ?? 0, righe: ultima.righe ?? [] };
  totale = ultima.totaleRighe ?? inMano.righe.length;

  $('sezione').value = ultima.tipoSezione ?? '';
  for (const chiave of CASELLE) segnala($(chiave), ultima.segnali?.[chiave]);
  const messaggio = $('messaggio');
  messaggio.textContent = ultima.messaggio?.testo ?? '';
  messaggio.style.color = ultima.messaggio?.colore || '';

  const testata = JSON.stringify(ultima.intestazione ?? []);
  if (testata !== intestazione) {
    intestazione = testata;
    $('griglia').tHead.innerHTML = (ultima.intestazione ?? [])
      .map((riga) => `<tr>${riga.map((t) => `<th>${esc(t)}</th>`).join('')}</tr>`).join('');
  }
  righeGriglia.mostra(totale);
  return ultima;
}

function prepara(da, a) {
  if (da >= inMano.da && a <= inMano.da + inMano.righe.length) return;
  const r = chiedi(da, a - da);
  inMano = { da: r.da ?? da, righe: r.righe ?? [] };
}

function rigaHtml(i) {
  let html = `<tr data-i="${i}">`;
  for (const testo of inMano.righe[i - inMano.da] ?? []) html += `<td>${esc(testo)}</td>`;
  return `${html}</tr>`;
}

function aggiorna(tr, i) {
  const testi = inMano.righe[i - inMano.da];
  const celle = tr.cells;
  if (!testi || celle.length !== testi.length) return false;
  for (let j = 0; j < testi.length; j++) {
    const nodo = celle[j].firstChild;
    if (nodo === null) celle[j].textContent = testi[j];
    else if (nodo.data !== testi[j]) nodo.data = testi[j];
  }
  return true;
}

// The last answer, with every row: for the report.
export function tabellaIntera() {
  return stato.nucleo.tabella(ingressiTabella());
}
