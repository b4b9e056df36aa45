// "Tratti e pozzetti": the reaches and manholes as editable tables, the
// network's settings, and the core's verdicts on them, recomputed at every
// edit.
import { $, esc, notizia, segnala } from './dom.js';
import { creaTabellaModificabile } from './tabella_modificabile.js';
import { creaRigheVirtuali } from './righe_virtuali.js';
import { scarica, scegliFile } from './file.js';
import { stato, ingressiRete, trattoVuoto, pozzettoVuoto } from './stato.js';

// The reaches' columns, in the order of their cells and of the CSV keys the
// core names a faulty cell by.
export const COLONNE_TRATTI = [
  ['tratto', 'Tratto'], ['pozzetto_monte', 'Pozzetto monte'], ['pozzetto_valle', 'Pozzetto valle'],
  ['lunghezza', 'Lunghezza (m)', 'numero'], ['pendenza', 'Pendenza (m/m)', 'numero'],
  ['quota_monte', 'Quota monte (m)', 'numero'], ['quota_valle', 'Quota valle (m)', 'numero'],
  ['raggio', 'Raggio (cm)', 'numero'], ['portata', 'Portata (l/s)', 'numero'],
  ['portata_minima', 'Portata minima (l/s)', 'numero'], ['legge', 'Legge'], ['scabrezza', 'Scabrezza', 'numero'],
  ['esistente', 'Esistente'],
].map(([chiave, titolo, classe]) => ({ chiave, titolo, classe }));
const COLONNA_RAGGIO = 7;
const LENTA = 150; // ms
const CAMPI_POZZETTO = ['nome', 'terreno', 'nota', 'allineamento'];
const CAMPI_RETE = ['ricoprimentoMinimo', 'profonditaMassima', 'saltoMassimo'];

let tratti = null;
let pozzetti = null;
let ultima = null;
let righeEsiti = null;
let righePozzetti = null;

const colonna = (chiave) => COLONNE_TRATTI.findIndex((c) => c.chiave === chiave);

export function preparaRete() {
  tratti = creaTabellaModificabile($('tratti'), {
    colonne: COLONNE_TRATTI,
    righe: () => stato.progetto.tratti,
    leggi: (t) => t.celle,
    scrivi: (t, c, testo) => { t.celle[c] = testo; },
    nuova: trattoVuoto,
    cambiato: richiediRete,
    segnale: (i, c) => {
      const errore = ultima?.righe?.[i]?.errore;
      return errore && Math.max(0, colonna(errore.colonna)) === c ? errore.motivo : null;
    },
    lista: { 10: 'chiavi-leggi' },
  });
  pozzetti = creaTabellaModificabile($('pozzetti'), {
    colonne: [{ titolo: 'Pozzetto' }, { titolo: 'Quota terreno (m)', classe: 'numero' }, { titolo: 'Nota' }, { titolo: 'Allineamento' }],
    righe: () => stato.progetto.pozzetti,
    leggi: (z) => CAMPI_POZZETTO.map((k) => z[k] ?? ''),
    scrivi: (z, c, testo) => { z[CAMPI_POZZETTO[c]] = testo; },
    nuova: pozzettoVuoto,
    cambiato: richiediRete,
    segnale: () => null,
  });
  righeEsiti = creaRigheVirtuali($('esiti'), $('esiti').parentElement, (i) => rigaEsitoHtml(ultima, i));
  righePozzetti = creaRigheVirtuali($('esiti-pozzetti'), $('esiti-pozzetti').parentElement,
    (i) => rigaPozzettoHtml(ultima.pozzetti[i], i));
  $('chiavi-leggi').innerHTML = stato.voci.leggi.map((l) => `<option value="${esc(l.chiave)}">${esc(l.nome)}</option>`).join('');
  $('n-catalogo').placeholder = stato.voci.catalogo;
  $('n-allineamento').innerHTML = stato.voci.allineamenti.map((a) => `<option>${esc(a)}</option>`).join('');

  $('aggiungi-tratto').addEventListener('click', () => tratti.aggiungi());
  $('aggiungi-pozzetto').addEventListener('click', () => pozzetti.aggiungi());
  $('n-catalogo').addEventListener('input', (e) => {
    stato.progetto.catalogo = e.target.value;
    richiediRete();
  });
  $('n-allineamento').addEventListener('change', (e) => {
    stato.progetto.rete.allineamento = e.target.value;
    richiediRete();
  });
  for (const campo of CAMPI_RETE) {
    $(`n-${campo}`).addEventListener('input', (e) => {
      stato.progetto.rete[campo] = e.target.value;
      richiediRete();
    });
  }
  $('dimensiona').addEventListener('click', dimensiona);
  $('importa-csv').addEventListener('click', importa);
  for (const bottone of document.querySelectorAll('[data-esporta]')) {
    bottone.addEventListener('click', () => esporta(bottone.dataset.esporta, bottone.dataset.formato));
  }
}

export function mostraIngressiRete() {
  const p = stato.progetto;
  $('n-catalogo').value = p.catalogo ?? '';
  $('n-allineamento').value = p.rete.allineamento || 'cieli';
  for (const campo of CAMPI_RETE) $(`n-${campo}`).value = p.rete[campo] ?? '';
  tratti.ridisegna();
  pozzetti.ridisegna();
}

// A line of thousands of reaches takes the core a second or more: its edits
// are then verified once the typing stops, not at every key.
let durata = 0;
let rinvio = 0;
function richiediRete() {
  clearTimeout(rinvio);
  if (durata < LENTA) ricalcolaRete();
  else rinvio = setTimeout(ricalcolaRete, 400);
}

export function ricalcolaRete() {
  clearTimeout(rinvio);
  rinvio = 0;
  const inizio = performance.now();
  ultima = stato.nucleo.rete(ingressiRete());
  durata = performance.now() - inizio;
  const r = ultima;
  $('n-errore').textContent = r.errore ?? '';
  for (const [chiave, segnale] of Object.entries(r.segnali ?? {})) {
    const casella = document.getElementById(`n-${chiave}`);
    if (casella) segnala(casella, segnale);
  }

  tratti.aggiornaSegnali();
  mostraEsiti(r);
  $('n-errori').innerHTML = (r.errori ?? []).map((e) => `<li>${esc(e)}</li>`).join('');
  $('n-riepilogo').textContent = r.riepilogo ?? '';
  return r;
}

export const ultimaRete = () => ultima;

// The verdicts, one row per reach in the order of the reaches; a reach the
// core could not read shows why, under its name. The verdict with its
// reasons is the cell's title too, for the long tables whose rows are one
// line each.
function rigaEsitoHtml(r, i) {
  const riga = r.righe[i];
  if (!riga.celle) {
    const nome = stato.progetto.tratti[i]?.celle[0] ?? '';
    const motivo = esc(riga.errore?.motivo ?? riga.motivo ?? '');
    const colonne = r.intestazione?.[0]?.length ?? 2;
    return `<tr data-i="${i}" class="non-letto"><td>${esc(nome)}</td><td colspan="${colonne - 1}" class="motivo-riga" title="${motivo}">${motivo}</td></tr>`;
  }
  const ultima = riga.celle.length - 1;
  const celle = riga.celle.map((t, j) => {
    if (j < ultima) return `<td>${esc(t)}</td>`;
    const titolo = esc(riga.avvisi ? `${t}\n${riga.avvisi}` : t);
    const avvisi = riga.avvisi ? `<div class="avvisi">${esc(riga.avvisi)}</div>` : '';
    return `<td class="esito" title="${titolo}">${esc(t)}${avvisi}</td>`;
  }).join('');
  return `<tr data-i="${i}"${riga.verificato ? '' : ' class="non-verificato"'}>${celle}</tr>`;
}

function rigaPozzettoHtml(z, i) {
  const celle = z.celle ?? [];
  const titolo = esc(z.difetti ? `${celle.at(-1)}\n${z.difetti}` : celle.at(-1) ?? '');
  const difetti = z.difetti ? `<div class="difetti">${esc(z.difetti)}</div>` : '';
  return `<tr data-i="${i}"${z.verificato === false ? ' class="non-verificato"' : ''}>${celle
    .map((t, j) => (j === celle.length - 1 ? `<td class="esito" title="${titolo}">${esc(t)}${difetti}</td>` : `<td>${esc(t)}</td>`)).join('')}</tr>`;
}

const testaHtml = (righe) => righe.map((riga) => `<tr>${riga.map((t) => `<th>${esc(t)}</th>`).join('')}</tr>`).join('');
const righeTesta = (intestazione = []) => (Array.isArray(intestazione[0]) ? intestazione : [intestazione]);

// Every row, for the report.
export function esitiHtml(r) {
  return {
    testa: testaHtml(r.intestazione ?? []),
    corpo: (r.righe ?? []).map((_, i) => rigaEsitoHtml(r, i)).join(''),
  };
}

export function pozzettiHtml(r) {
  return {
    testa: testaHtml(righeTesta(r.intestazionePozzetti)),
    corpo: (r.pozzetti ?? []).map((z, i) => rigaPozzettoHtml(z, i)).join(''),
  };
}

function mostraEsiti(r) {
  const testa = testaHtml(r.intestazione ?? []);
  if ($('esiti').tHead.innerHTML !== testa) $('esiti').tHead.innerHTML = testa;
  // A fault of the settings leaves no verdict to show: the line above says why.
  righeEsiti.mostra(r.errore ? 0 : r.righe?.length ?? 0);
  $('esiti-pozzetti').tHead.innerHTML = testaHtml(righeTesta(r.intestazionePozzetti));
  righePozzetti.mostra(r.pozzetti?.length ?? 0);
}

// Writes the radius the core chose into each reach left to size.
function dimensiona() {
  if (rinvio) ricalcolaRete(); // an edit still waiting
  const righe = ultima?.righe ?? [];
  let scritti = 0;
  let nonVerificati = 0;
  righe.forEach((riga, i) => {
    const tratto = stato.progetto.tratti[i];
    if (riga.raggioDaScrivere == null || !tratto) return;
    tratto.celle[COLONNA_RAGGIO] = riga.raggioDaScrivere;
    tratti.scriviCasella(i, COLONNA_RAGGIO, riga.raggioDaScrivere);
    scritti++;
    if (!riga.verificato) nonVerificati++;
  });
  ricalcolaRete();
  // A reach no size fits gets the smallest within the filling and stays failing.
  const restano = nonVerificati === 0 ? ''
    : `, di cui ${nonVerificati} ${nonVerificati === 1 ? 'resta non verificato' : 'restano non verificati'} (il motivo dice il rimedio)`;
  notizia(`Dimensiona: ${scritti} ${scritti === 1 ? 'raggio scritto' : 'raggi scritti'}${restano}`);
}

async function importa() {
  const { nome, testo, errore } = await scegliFile('.csv,.txt,text/csv', { windows1252: true });
  if (errore) {
    notizia(`Impossibile importare «${nome}», ${errore}.`, true);
    return;
  }
  const r = stato.nucleo.importaCsv({ testo });
  if (r.errore) {
    notizia(r.errore, true);
    return;
  }
  stato.progetto.tratti = (r.tratti ?? []).map((celle) => ({ celle }));
  stato.progetto.pozzetti = (r.pozzetti ?? []).map((z) => ({ ...pozzettoVuoto(), ...z }));
  mostraIngressiRete();
  ricalcolaRete();
  notizia('Tratti importati');
}

function esporta(cosa, formato) {
  const ingresso = cosa === 'esiti'
    ? { ...ingressiRete(), formato }
    : { tratti: ingressiRete().tratti, pozzetti: ingressiRete().pozzetti, formato };
  const r = cosa === 'esiti' ? stato.nucleo.esportaEsiti(ingresso) : stato.nucleo.esportaTratti(ingresso);
  if (r.errore) {
    notizia(r.errore, true);
    return;
  }
  scarica(`${cosa}${formato === 'csv-it' ? '-it' : ''}.csv`, r.testo, 'text/csv');
}
