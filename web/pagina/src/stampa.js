// "Stampa relazione": the report the browser prints. Everything in it is as
// typed or as the core wrote it; the page only arranges it.
import { $, esc, righeHtml } from './dom.js';
import { stato } from './stato.js';
import { esitiHtml, pozzettiHtml } from './rete.js';

const DATI = [
  ['opera', 'Opera'], ['tratto', 'Tratto'], ['committente', 'Committente'],
  ['progettista', 'Progettista'], ['data', 'Data'], ['note', 'Note'],
];

const coppie = (voci) => `<table class="coppie">${voci
  .map(([etichetta, valore]) => `<tr><th>${esc(etichetta)}</th><td>${esc(valore || '—')}</td></tr>`).join('')}</table>`;

// A lead-in and its lines, as the report lists them.
const elencoHtml = (e, classe) => (e?.voci?.length
  ? `<div class="${classe}"><p>${esc(e.titolo)}</p><ul>${e.voci.map((v) => `<li>${esc(v)}</li>`).join('')}</ul></div>`
  : '');

// The conclusion as the core states it for the whole project, the same the
// report writes: the verdicts, the failures counted by check and tabled,
// the exceptions and the provisions; its verdict for the styles.
function conclusioneHtml() {
  const c = stato.nucleo.conclusione({ progetto: stato.progetto, separatore: stato.separatore });
  const paragrafi = c.errore ? [c.errore] : c.conclusioni ?? [];
  const idonea = c.idonea == null ? '' : c.idonea ? 'si' : 'no';
  let s = paragrafi.map((f) => `<p>${esc(f)}</p>`).join('') + elencoHtml(c.conteggi, 'conteggi');
  if (c.mancanze?.righe?.length) {
    s += `<div class="mancanze"><p class="titolo-figura">${esc(c.mancanze.didascalia)}</p>`
      + `<table class="tabella"><thead>${righeHtml([c.mancanze.colonne], 'th')}</thead>`
      + `<tbody>${righeHtml(c.mancanze.righe)}</tbody></table></div>`;
  }
  s += elencoHtml(c.deroghe, 'deroghe') + elencoHtml(c.provvedimenti, 'provvedimenti');
  return `<section class="conclusione" data-idonea="${idonea}"><h2>Conclusione</h2>${s}</section>`;
}

export function componiRelazione({ tabella, risposte, rete }) {
  const p = stato.progetto;
  const i = p.ingressi;
  const v = p.verifiche;
  const legge = stato.voci.leggi.find((l) => l.chiave === (v.legge || 'bazin'))?.nome ?? v.legge;
  let s = '<h1>Relazione di calcolo</h1><p class="sottotitolo">Sezione ovoidale inglese</p>';

  s += '<h2>Dati del progetto</h2>' + coppie(DATI.map(([k, e]) => [e, p.dati[k]]));
  if (p.dati.descrizione) s += `<h3>Descrizione dell'opera</h3><p class="descrizione">${esc(p.dati.descrizione)}</p>`;

  s += '<h2>Dati di calcolo</h2>' + coppie([
    ['Raggio caratteristico (cm)', i.raggio], ['Sezione', tabella?.tipoSezione],
    ['Pendenza (m/m)', i.pendenza], ['Coeff. scabrezza Bazin', i.coefficiente],
    ['Incremento altezza (mm)', i.incremento],
  ]);
  if (tabella?.messaggio?.testo) s += `<p class="avviso">${esc(tabella.messaggio.testo)}</p>`;

  if (tabella?.righe?.length) {
    s += '<h2>Tabella di moto uniforme</h2>'
      + `<table class="tabella"><thead>${righeHtml(tabella.intestazione ?? [], 'th')}</thead><tbody>${righeHtml(tabella.righe)}</tbody></table>`;
  }

  s += '<h2>Scala di deflusso e verifiche</h2>' + coppie([
    ['Portata di progetto (l/s)', v.portataProgetto], ['Portata minima (l/s)', v.portataMinima],
    ['Velocità di progetto (cm/s)', v.velocitaProgetto], ['Geometria', v.geometria || 'tabellare'],
    ['Legge di resistenza', legge], ['Coefficiente della legge', v.scabrezza || (v.legge === 'bazin' || !v.legge ? 'γ della tabella' : '')],
    ...(v.legge === 'colebrook' ? [['Temperatura dell\'acqua (°C)', v.temperatura]] : []),
    ['Velocità minima (cm/s)', v.velocitaMinima], ['Velocità massima (cm/s)', v.velocitaMassima],
    ['Riempimento massimo h/H (%)', v.riempimentoMassimo],
  ]);
  if (risposte?.errore) s += `<p class="avviso">${esc(risposte.errore)}</p>`;
  if (risposte?.righe?.length) {
    s += `<p class="titolo-figura">${esc(risposte.titolo)}</p>`
      + `<table class="tabella"><thead><tr>${risposte.titoli.map((t) => `<th>${esc(t)}</th>`).join('')}</tr></thead><tbody>`
      + risposte.righe.map((r) => `<tr${r.conforme === false ? ' class="non-conforme"' : ''}>${r.testi.map((t) => `<td>${esc(t)}</td>`).join('')}</tr>`).join('')
      + '</tbody></table>';
  }
  if (risposte?.messaggi?.length) s += `<ul>${risposte.messaggi.map((m) => `<li>${esc(m)}</li>`).join('')}</ul>`;
  s += `<div class="figure-relazione">${$('r-grafico').outerHTML.replace('id="r-grafico"', '')}${$('r-sezione').outerHTML.replace('id="r-sezione"', '')}</div>`;

  if (p.tratti.length > 0 && rete) {
    s += '<section class="rete-relazione"><h2>Verifica dei tratti</h2>' + coppie([
      ['Catalogo dei raggi (cm)', p.catalogo || stato.voci.catalogo], ['Allineamento ai pozzetti', p.rete.allineamento],
      ['Ricoprimento minimo (m)', p.rete.ricoprimentoMinimo], ['Profondità massima (m)', p.rete.profonditaMassima],
      ['Salto massimo (m)', p.rete.saltoMassimo],
    ]);
    const esiti = esitiHtml(rete);
    s += `<table class="tabella esiti"><thead>${esiti.testa}</thead><tbody>${esiti.corpo}</tbody></table>`;
    if (rete.pozzetti?.length) {
      const z = pozzettiHtml(rete);
      s += `<h3>Pozzetti</h3><table class="tabella pozzetti-relazione"><thead>${z.testa}</thead><tbody>${z.corpo}</tbody></table>`;
    }
    if (rete.errori?.length) s += `<ul class="errori">${rete.errori.map((e) => `<li>${esc(e)}</li>`).join('')}</ul>`;
    s += '</section>';
  }

  s += conclusioneHtml();
  $('relazione').innerHTML = s;
}
